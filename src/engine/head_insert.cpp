#include "engine/head_insert.h"

using namespace Qt::StringLiterals;

namespace lumivane {

QString buildHeadInsert(bool animations, const QString &animationLinkText,
                        const QString &animationStyleText, bool fonts, const QString &fontStyleText)
{
    // The pieces follow one another directly, without line breaks or spaces between them.
    QString insert;
    if (animations) {
        insert += animationLinkText + u"<style>"_s + animationStyleText + u"</style>"_s;
    }
    if (fonts) {
        insert += u"<style>"_s + fontStyleText + u"</style>"_s;
    }
    return insert;
}

}  // namespace lumivane
