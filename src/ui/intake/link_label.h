#pragma once

#include <QLabel>

namespace lumivane {

// A label that looks and acts like a hyperlink: the dialog's mode switches are plain text the
// user clicks, not buttons, so they must read as links and answer a click.
class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

}  // namespace lumivane
