#pragma once

// The window's run, on a worker thread of its own: the same synchronous restyle as everywhere,
// from the checks to the opened folder, while the interface thread goes on painting. The run's
// messages and questions come back to the interface thread (see GuiThreadHost); so does the step
// it has reached, for the busy indicator. Each run has its own texts, which are freed with their
// memory handed back to the system when it ends: nothing of a large page stays behind.

#include "engine/run_options.h"
#include "engine/run_outcome.h"
#include "snippets/snippet_folder.h"
#include "ui/main/window_host.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>

namespace lumivane {

class GuiThreadHost;

class BackgroundRun final : public QObject, private RunHost {
    Q_OBJECT

public:
    // Every message goes through `host`, which must outlive this object.
    BackgroundRun(WindowHost &host, QObject *parent);
    ~BackgroundRun() override;

    // Starts a run; `seed` picks its animations. Does nothing while a run is going.
    void start(const SnippetFolder &snippets, const RunOptions &options, quint64 seed);
    [[nodiscard]] bool isRunning() const;

signals:
    // What the run is doing now, in the user's words.
    void activity(const QString &what);
    // A remark of the run's on the page, for the window to show beside the result.
    void noticed(const QString &text);
    void finished(const lumivane::RunOutcome &outcome);

private:
    // The run's host calls, on the interface thread. Opening the folder shows the written page
    // selected in it.
    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;
    void notice(const QString &text) override;

    WindowHost &m_host;
    std::shared_ptr<GuiThreadHost> m_bridge;
    QFutureWatcher<RunOutcome> m_watcher;
    QString m_outputFile;
};

}  // namespace lumivane
