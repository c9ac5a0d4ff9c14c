#pragma once

// The placeholders that snippet templates hold and the run fills, each at every occurrence and
// with exact letter case.

namespace lumivane::placeholder {
inline constexpr auto FontDash = "#FONTDASH#";
inline constexpr auto FontNoDash = "#FONTNODASH#";
inline constexpr auto HeadingSizes = "#HSIZE#";
inline constexpr auto Location = "[LOCATION]";
}  // namespace lumivane::placeholder
