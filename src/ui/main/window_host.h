#pragma once

// What the window needs beyond a run's host: showing the written page in the file manager and
// opening it in a browser. Message boxes and the desktop implement it; tests replace both.

#include "engine/run_host.h"

namespace lumivane {

class WindowHost : public RunHost {
public:
    // Opens the folder of `file` in the file manager, with `file` selected where the platform lets
    // a program ask for that. The window does not wait for it; a failure is told to the user.
    virtual void showInFolder(const QString &file) = 0;
    // Opens `page` in the desktop's web browser, told to the user when it fails.
    virtual void openPage(const QString &page) = 0;
};

}  // namespace lumivane
