#pragma once

#include <QSize>

class QWidget;

namespace lumivane {

// Gives a window the size it was drawn for, or less where the screen is smaller (a laptop at
// 200 % scaling has little room), and centres it on the screen. The windows scroll what no longer
// fits.
void fitOnScreen(QWidget *window, QSize preferred);

}  // namespace lumivane
