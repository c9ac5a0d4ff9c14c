#include "ui/main/classic_fonts.h"

#include <QFontDatabase>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

QFont fontOf(const QStringList &families, qreal pointSize, Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(weight == Weight::Bold);
    return font;
}

}  // namespace

QFont verdanaFont(qreal pointSize, Weight weight)
{
    return fontOf({u"Verdana"_s, u"DejaVu Sans"_s, u"Bitstream Vera Sans"_s}, pointSize, weight);
}

QFont msSansSerifFont(qreal pointSize, Weight weight)
{
    const QString systemSans = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return fontOf({u"MS Sans Serif"_s, u"Microsoft Sans Serif"_s, systemSans}, pointSize, weight);
}

}  // namespace lumivane
