#pragma once

// The web font and heading sizes: fills the placeholders of the font stylesheet template.

#include "engine/run_options.h"

#include <QString>

#include <array>

namespace lumivane {

// " h1{font-size:34px;} h3{font-size:26px;}" for the ticked headings, in the order h1, h2, h3.
QString headingRules(const std::array<HeadingSize, 3> &sizes);

// The template with "#FONTDASH#" (spaces turned into "+"), "#FONTNODASH#" and "#HSIZE#" filled,
// in that order.
QString fillFontTemplate(const QString &txtSnippet, const QString &fontName,
                         const std::array<HeadingSize, 3> &sizes);

}  // namespace lumivane
