#pragma once

#include <QLabel>

namespace lumivane {

// One line of text that may be longer than the room it has, such as a path: it is shortened in
// the middle, where a path is least telling, and the whole text is its tooltip and what a screen
// reader reads.
class ElidedLabel final : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    [[nodiscard]] const QString &fullText() const { return m_fullText; }

    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showElided();

    QString m_fullText;
};

}  // namespace lumivane
