#pragma once

// The window's side of a run: every message is a modal message box over the window, and the
// written page is shown in the desktop's file manager or opened in its browser. The main window
// shows its own messages ("About", refused values) and the intake dialog's through the same host,
// so that tests can replace all of them at once.

#include "ui/main/window_host.h"

#include <memory>

#include <QObject>
#include <QString>

class QWidget;

namespace lumivane {

class DesktopOpener;

class MessageBoxHost final : public WindowHost {
public:
    // `parent` is the window the boxes belong to; it must outlive the host.
    explicit MessageBoxHost(QWidget *parent);
    ~MessageBoxHost() override;

    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;
    // A remark during a run, in a box of its own that waits for nobody.
    void notice(const QString &text) override;
    void showInFolder(const QString &file) override;
    void openPage(const QString &page) override;

    // The program that opens folders and pages (see DesktopOpener).
    void setOpenProgram(const QString &program);

private:
    [[nodiscard]] QWidget *boxParent() const;

    QWidget *m_parent;
    std::unique_ptr<DesktopOpener> m_opener;
};

}  // namespace lumivane
