#pragma once

#include <QPixmap>

namespace lumivane {

// The picture in the middle of the intake dialog that shows where pages are dropped: a page
// with an arrow pointing into a dashed drop frame. Drawn here so no image file has to ship.
QPixmap dropZonePicture(int side);

}  // namespace lumivane
