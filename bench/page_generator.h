#pragma once

// Pages for measuring the run: the same bytes on every machine and every run, so that figures
// taken on different days compare.

#include <QByteArray>

namespace lumivane::bench {

// A long sales page of about `bytes` bytes (UTF-8): a head with styles and a script, then blocks
// of about 2 KB, each with an image, an inline SVG icon with a title, paragraphs with entities and
// non-ASCII text, and every fourth block opening with an <h1>; a table every eighth block.
QByteArray salesPage(qsizetype bytes);

// A gallery: `images` images in figures, few other elements, so that the work per element and
// per marker shows rather than the work per byte.
QByteArray galleryPage(int images);

}  // namespace lumivane::bench
