#pragma once

// The window's fonts were chosen on Windows; elsewhere each falls back to a look-alike that the
// system has, so the window keeps its proportions.

#include <QFont>

namespace lumivane {

enum class Weight { Normal, Bold };

// Verdana, else DejaVu Sans (drawn to the same wide proportions), else any sans-serif font.
QFont verdanaFont(qreal pointSize, Weight weight);

// MS Sans Serif, else Microsoft Sans Serif, else the system's own sans-serif font.
QFont msSansSerifFont(qreal pointSize, Weight weight);

}  // namespace lumivane
