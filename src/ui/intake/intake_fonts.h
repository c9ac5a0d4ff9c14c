#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace lumivane::intake_fonts {

// The dialog is drawn in Verdana; systems without it get its closest common relative.
QFont verdana(qreal pointSize);

// The small dialog font, MS Sans Serif 8.25 pt, or the system's own sans-serif where that old
// bitmap font is missing.
QFont smallSans();

void setTextColour(QWidget *widget, const QColor &colour);

}  // namespace lumivane::intake_fonts
