#pragma once

#include <QString>

namespace lumivane {

// The text that goes into the page head: the animation link text and its style block when
// animations are on, then the font style block when fonts are on, with nothing in between.
QString buildHeadInsert(bool animations, const QString &animationLinkText,
                        const QString &animationStyleText, bool fonts,
                        const QString &fontStyleText);

}  // namespace lumivane
