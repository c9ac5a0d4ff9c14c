#pragma once

// Checks on the option values that the run writes into a page as they are. Font names and sizes
// end up inside a style block and the back-button address inside a script: anything beyond plain
// values could break the page, and an address that is not a web address would send visitors
// nowhere, so a value that fails here is refused before the run starts. The window and the
// command line refuse with the same checks, each naming the value its own way.

#include <QString>

#include <optional>

namespace lumivane {

// A size in pixels as the font stage writes it: a whole number of up to four digits, optionally
// followed by a point and one or two digits ("34", "12.5").
[[nodiscard]] bool isPixelSize(const QString &text);

// The heading sizes offered and accepted: from 8 to 200 pixels. Smaller text cannot be read and
// larger headings do not fit on a screen; both are typing errors rather than wishes.
inline constexpr int SmallestHeadingSize = 8;
inline constexpr int LargestHeadingSize = 200;

// A pixel size (see isPixelSize) from SmallestHeadingSize to LargestHeadingSize.
[[nodiscard]] bool isHeadingSize(const QString &text);

// A web-font family name: starts with a letter or digit, then letters, digits, blanks, dots and
// hyphens, at most 100 characters in all ("Open Sans", "M PLUS 1p").
[[nodiscard]] bool isFontName(const QString &text);

// What is wrong with a back-button address, as the end of a sentence ("has no site after
// http://."); nothing when it is a whole http or https address. An address without a scheme is
// refused rather than guessed: written as it is, a browser would read it as a path on the
// visitor's own site.
[[nodiscard]] std::optional<QString> redirectAddressProblem(const QString &address);

}  // namespace lumivane
