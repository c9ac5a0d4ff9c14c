#pragma once

// A run's host for a run on a worker thread: every message and question is handed to the
// interface thread, where the window's own host shows it, and the worker waits for the answer, so
// the run keeps its one order of steps. Once closed (the window is going away), nothing more
// reaches the window: a waiting question is answered No, which keeps an existing file as it is,
// and messages are dropped.

#include "engine/run_host.h"

#include <QPointer>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QObject;
class QThread;

namespace lumivane {

class GuiThreadHost final : public RunHost {
public:
    // `target` is used on the thread of `context` only; both must outlive the host or be closed
    // off with close() before they go.
    GuiThreadHost(RunHost &target, QObject *context);

    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;
    // Handed over without waiting: a remark needs no answer.
    void notice(const QString &text) override;

    // Runs `work` on the interface thread later, without waiting; dropped after close().
    void post(std::function<void()> work);
    // From the interface thread: no call reaches the target any more, and a worker waiting for
    // an answer goes on without one.
    void close();

private:
    // Runs `work` on the interface thread and waits until it has run; false when the host was
    // closed before it could run.
    bool call(std::function<void()> work);

    struct Shared {
        std::mutex mutex;
        std::condition_variable answered;
        bool closed = false;
    };

    RunHost &m_target;
    QObject *m_context;  // touched only while the host is open
    QThread *m_contextThread;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

}  // namespace lumivane
