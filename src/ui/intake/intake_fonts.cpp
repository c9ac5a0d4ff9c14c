#include "ui/intake/intake_fonts.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace lumivane::intake_fonts {

QFont verdana(qreal pointSize)
{
    QFont font;
    font.setFamilies({u"Verdana"_s, u"DejaVu Sans"_s});
    font.setPointSizeF(pointSize);
    return font;
}

QFont smallSans()
{
    QFont font;
    font.setFamilies(
        {u"MS Sans Serif"_s, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
    font.setPointSizeF(8.25);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

}  // namespace lumivane::intake_fonts
