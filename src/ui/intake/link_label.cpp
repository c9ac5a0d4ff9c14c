#include "ui/intake/link_label.h"

#include "ui/intake/intake_fonts.h"

#include <QMouseEvent>

namespace lumivane {

LinkLabel::LinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    QFont font = intake_fonts::smallSans();
    font.setBold(true);
    font.setUnderline(true);
    setFont(font);
    intake_fonts::setTextColour(this, QColor(0, 0, 192));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Like a link, a press that is dragged off the text and released elsewhere does nothing.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace lumivane
