#include "engine/back_button.h"

#include "platform/components.h"
#include "snippets/placeholders.h"

using namespace Qt::StringLiterals;

namespace lumivane {

QString escapeRedirectAddress(const QString &address)
{
    // Quotes and the backtick end a script string, a backslash escapes its next character, '<'
    // and '>' start or end a tag (such as </script>), and line ends (U+2028 and U+2029 count as
    // such in scripts) end a string literal. Percent-encoded, each stands for the same character
    // in an address; every other character, '%' included, is left as typed.
    static constexpr QStringView breaking = u"\"'`\\<>\r\n\u2028\u2029";
    QString escaped;
    escaped.reserve(address.size());
    for (const QChar c : address) {
        if (!breaking.contains(c)) {
            escaped.append(c);
            continue;
        }
        // Each UTF-8 byte of the character as %XX, as a browser would encode it.
        for (const char byte : QString(c).toUtf8()) {
            escaped.append(u'%');
            escaped.append(
                QString::number(static_cast<uchar>(byte), 16).toUpper().rightJustified(2, u'0'));
        }
    }
    return escaped;
}

QString fillBackButtonScript(const QString &txtSnippet, const QString &address)
{
    return ReplaceText(txtSnippet, QString::fromLatin1(placeholder::Location),
                       escapeRedirectAddress(address));
}

}  // namespace lumivane
