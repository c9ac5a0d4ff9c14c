#pragma once

// The window's side of a run: every message is a modal message box over the window, and the
// output folder opens in the desktop's file manager. The main window shows its own messages
// ("About", refused values) and the intake dialog's through the same host, so that tests can
// replace all of them at once.

#include "engine/run_host.h"

class QWidget;

namespace lumivane {

class MessageBoxHost final : public RunHost {
public:
    // `parent` is the window the boxes belong to; it must outlive the host.
    explicit MessageBoxHost(QWidget *parent);

    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;

private:
    [[nodiscard]] QWidget *boxParent() const;

    QWidget *m_parent;
};

}  // namespace lumivane
