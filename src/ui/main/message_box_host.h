#pragma once

// The window's side of a run: every message is a modal message box over the window, and the
// output folder opens in the desktop's file manager. The main window shows its own messages
// ("About", refused values) and the intake dialog's through the same host, so that tests can
// replace all of them at once.

#include "engine/run_host.h"

#include <QObject>
#include <QString>

class QWidget;

namespace lumivane {

class MessageBoxHost final : public QObject, public RunHost {
    Q_OBJECT

public:
    // `parent` is the window the boxes belong to; it must outlive the host.
    explicit MessageBoxHost(QWidget *parent);

    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;
    // No box: a remark must not stop the run or wait for the user. It is kept, and announced, for
    // the window to show in a place of its own.
    void notice(const QString &text) override;

    // The latest remark; empty before the first.
    [[nodiscard]] const QString &lastNotice() const { return m_lastNotice; }

signals:
    void noticed(const QString &text);

private:
    [[nodiscard]] QWidget *boxParent() const;

    QWidget *m_parent;
    QString m_lastNotice;
};

}  // namespace lumivane
