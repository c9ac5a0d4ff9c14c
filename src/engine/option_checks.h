#pragma once

// Checks on the option values that the run writes into a page as they are. Font names and sizes
// end up inside a style block: anything beyond plain values could break the page's markup, so a
// value that fails here is refused before the run starts.

#include <QString>

namespace lumivane {

// A size in pixels as the font stage writes it: a whole number of up to four digits, optionally
// followed by a point and one or two digits ("34", "12.5").
[[nodiscard]] bool isPixelSize(const QString &text);

// A web-font family name: starts with a letter or digit, then letters, digits, blanks, dots and
// hyphens, at most 100 characters in all ("Open Sans", "M PLUS 1p").
[[nodiscard]] bool isFontName(const QString &text);

}  // namespace lumivane
