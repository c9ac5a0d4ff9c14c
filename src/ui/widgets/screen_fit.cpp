#include "ui/widgets/screen_fit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace lumivane {

namespace {

// Room left for the title bar and borders that the window manager adds; the window's own frame is
// not known before it is shown.
constexpr QSize frameAllowance(16, 48);

}  // namespace

void fitOnScreen(QWidget *window, QSize preferred)
{
    const QScreen *screen = window->screen();
    if (screen == nullptr) {
        window->resize(preferred);
        return;
    }
    const QRect available = screen->availableGeometry();
    window->resize(
        preferred.boundedTo(available.size() - frameAllowance).expandedTo(window->minimumSize()));
    QRect frame = window->frameGeometry();
    frame.moveCenter(available.center());
    window->move(std::max(frame.left(), available.left()), std::max(frame.top(), available.top()));
}

}  // namespace lumivane
