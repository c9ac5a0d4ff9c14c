#pragma once

// Random entrance animations: every h1 and image of the loaded document gets the class `wow` and
// one animation class drawn from the chosen family, wrapped in markers that the marker resolution
// later turns into the final attribute text.

#include "platform/html_document.h"

#include <QRandomGenerator>
#include <QStringList>

namespace lumivane {

namespace marker {
inline constexpr auto Opening = "';;";
inline constexpr auto Closing = ";;'";
}  // namespace marker

// Tags every h1 and then every image in document order with a class drawn from `lstFX`, the
// family's pool, with a fresh shuffle of the pool for each element (the pool keeps its last
// order). An element of class wow is the page's own, animated by a library of its own, and is
// left as it is: tagged, it would get two animation classes and two durations. An empty pool tags
// nothing. Returns the number of elements tagged.
int ApplyRandomAnimations(const Document &document, QStringList &lstFX, QRandomGenerator &random);

// The elements of class wow before tagging, as a browser with scripting on sees the page: those
// the page animates with a scroll-reveal library of its own.
int CountPageAnimations(const Document &document);

// What the user is told when the page animates elements of its own.
QString PageAnimationsNotice(int count);

}  // namespace lumivane
