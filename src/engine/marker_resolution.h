#pragma once

#include <QString>

namespace lumivane {

// Removes the opening markers that the animation tagging wrote and turns its closing markers into
// the duration of the chosen speed: "Fast" drops them, "Natural" and "Slow" end the class
// attribute there and add data-wow-duration="2s" or "3s". Only markers inside the class values of
// tagged elements are touched. A speed outside the list resolves as "Natural".
QString resolveMarkers(const QString &page, int speed);

}  // namespace lumivane
