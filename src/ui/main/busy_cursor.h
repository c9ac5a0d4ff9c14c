#pragma once

// The busy cursor for as long as this object lives: whichever way a run ends, returning early,
// refused or failed, the cursor comes back.

#include <QCursor>
#include <QGuiApplication>

namespace lumivane {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

}  // namespace lumivane
