#pragma once

#include <QLabel>

namespace lumivane {

// A label that looks and acts like a hyperlink: the windows' "Learn More" and mode switches are
// plain text the user clicks, not buttons, so they must read as links and answer a click. They
// are in the tab order like any control: Enter or Space activates the focused link, and screen
// readers are told it is a link that can be pressed.
class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(QWidget *parent = nullptr);
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    void setLinkColour(const QColor &colour);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace lumivane
