#include "engine/option_checks.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace lumivane {

// Anchored at the very ends of the text: "$" alone would also accept a line break after the value,
// which would end up inside the style block.

bool isPixelSize(const QString &text)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(u"[0-9]{1,4}(\\.[0-9]{1,2})?"_s));
    return pattern.match(text).hasMatch();
}

bool isFontName(const QString &text)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(u"[\\p{L}\\p{N}][\\p{L}\\p{N} .-]{0,99}"_s));
    return pattern.match(text).hasMatch();
}

}  // namespace lumivane
