#include "engine/font_stage.h"

#include "platform/components.h"
#include "snippets/placeholders.h"

using namespace Qt::StringLiterals;

namespace lumivane {

QString headingRules(const std::array<HeadingSize, 3> &sizes)
{
    QString rules;
    for (std::size_t level = 0; level < sizes.size(); ++level) {
        if (!sizes[level].enabled) {
            continue;
        }
        // Each rule opens with its own space; the size is used as typed.
        rules += u" h"_s + QString::number(level + 1) + u"{font-size:"_s + sizes[level].pixels +
                 u"px;}"_s;
    }
    return rules;
}

QString fillFontTemplate(const QString &txtSnippet, const QString &fontName,
                         const std::array<HeadingSize, 3> &sizes)
{
    // The font service joins the words of a family name with "+" in its request address; the
    // style rules name the family as listed.
    const QString joinedName = ReplaceText(fontName, u" "_s, u"+"_s);
    QString filled =
        ReplaceText(txtSnippet, QString::fromLatin1(placeholder::FontDash), joinedName);
    filled = ReplaceText(filled, QString::fromLatin1(placeholder::FontNoDash), fontName);
    filled =
        ReplaceText(filled, QString::fromLatin1(placeholder::HeadingSizes), headingRules(sizes));
    return filled;
}

}  // namespace lumivane
