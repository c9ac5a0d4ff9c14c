#include "engine/option_checks.h"

#include <QRegularExpression>
#include <QUrl>

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

bool isHeadingSize(const QString &text)
{
    if (!isPixelSize(text)) {
        return false;
    }
    const double pixels = text.toDouble();
    return pixels >= SmallestHeadingSize && pixels <= LargestHeadingSize;
}

bool isFontName(const QString &text)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(u"[\\p{L}\\p{N}][\\p{L}\\p{N} .-]{0,99}"_s));
    return pattern.match(text).hasMatch();
}

std::optional<QString> redirectAddressProblem(const QString &address)
{
    if (address.isEmpty()) {
        return u"is empty."_s;
    }
    for (const QChar c : address) {
        if (c.isSpace()) {
            return u"holds spaces or line breaks; a web address has none."_s;
        }
    }
    static const QRegularExpression scheme(u"^([A-Za-z][A-Za-z0-9+.-]*):"_s);
    const QRegularExpressionMatch match = scheme.match(address);
    if (!match.hasMatch()) {
        return u"has no http:// or https:// at its start. Did you mean \"https://%1\"?"_s.arg(
            address);
    }
    const QString name = match.captured(1).toLower();
    if (name != u"http"_s && name != u"https"_s) {
        return u"is not a web address: it must start with http:// or https://."_s;
    }
    const QUrl url(address, QUrl::TolerantMode);
    if (!address.sliced(match.capturedLength()).startsWith(u"//"_s) || !url.isValid() ||
        url.host().isEmpty()) {
        return u"has no site after %1://, such as %1://example.com/offer."_s.arg(name);
    }
    return std::nullopt;
}

}  // namespace lumivane
