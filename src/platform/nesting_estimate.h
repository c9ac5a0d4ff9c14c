#pragma once

// A quick look at how deeply a page's elements nest, before the parser sees it. The parser slows
// down with the square of the nesting depth (10,000 nested <div>s take it a quarter of a second,
// 40,000 take it seconds, 100,000 would take it minutes), so a page nested that deeply is refused
// up front instead.

#include <QByteArrayView>
#include <QStringView>

namespace lumivane {

// Deeper than any real page: browsers stop nesting at a few hundred levels while laying a page
// out, and the parser still takes well under a second at this depth.
inline constexpr qsizetype MaximumNestingDepth = 4000;

// Whether the elements of the markup (UTF-8, or any encoding that keeps ASCII as it is) or of the
// decoded text nest more than `limit` deep. An estimate from the tags alone, one pass: void
// elements, self-closed tags, comments and the text of scripts and styles are left out, an end
// tag closes what it names, and p, li, td and the like close an open one of their own name as
// the parser does.
bool nestsDeeperThan(QByteArrayView markup, qsizetype limit);
bool nestsDeeperThan(QStringView markup, qsizetype limit);

}  // namespace lumivane
