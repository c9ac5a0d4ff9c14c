#include "ui/main/background_run.h"

#include "engine/output_naming.h"
#include "engine/restyle_run.h"
#include "platform/memory_release.h"
#include "platform/step_timing.h"
#include "ui/main/gui_thread_host.h"

#include <QRandomGenerator>
#include <QtConcurrent/QtConcurrentRun>

#include <cstring>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// The run marks the end of each of its steps; the indicator names the step that comes next.
// Marks not listed here leave the indicator as it is.
struct NextActivity {
    const char *ended;
    const char *next;
};
constexpr NextActivity nextActivities[] = {
    {"read", "Reading the page"},
    {"snippets", "Reading the page"},
    {"decode", "Reading the page"},
    {"nesting check", "Reading the page"},
    {"parse", "Reading the page"},
    {"tree", "Adding the animations"},
    {"tagging", "Adding the animations"},
    {"read back", "Putting in the changes"},
    {"release", "Putting in the changes"},
    {"text stages", "Writing the page"},
    {"encode", "Writing the page"},
    {"write", "Copying the animation library"},
    {"library", "Done"},
};

// Hears the run's step marks on the worker and passes them on to the interface thread.
class StepReporter final : public StepListener {
public:
    StepReporter(GuiThreadHost &bridge, BackgroundRun &run)
        : m_bridge(bridge)
        , m_run(run)
    {}

    void stepEnded(const char *step) override
    {
        for (const NextActivity &activity : nextActivities) {
            if (std::strcmp(step, activity.ended) == 0) {
                const QString what = QString::fromLatin1(activity.next);
                m_bridge.post([run = &m_run, what] { emit run->activity(what); });
                return;
            }
        }
    }

private:
    GuiThreadHost &m_bridge;
    BackgroundRun &m_run;
};

}  // namespace

BackgroundRun::BackgroundRun(WindowHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
    connect(&m_watcher, &QFutureWatcher<RunOutcome>::finished, this, [this] {
        m_bridge.reset();
        emit finished(m_watcher.result());
    });
}

BackgroundRun::~BackgroundRun()
{
    // A run still going finishes on its own, without the window: nothing it says arrives any more
    // and an existing output is kept.
    if (m_bridge) {
        m_bridge->close();
    }
}

bool BackgroundRun::isRunning() const
{
    return m_bridge != nullptr;
}

void BackgroundRun::start(const SnippetFolder &snippets, const RunOptions &options, quint64 seed)
{
    if (isRunning()) {
        return;
    }
    m_outputFile = OutputPath(options.selectedFile);
    m_bridge = std::make_shared<GuiThreadHost>(static_cast<RunHost &>(*this), this);
    emit activity(u"Reading the page"_s);
    m_watcher.setFuture(QtConcurrent::run([bridge = m_bridge, snippets, options, seed, run = this] {
        RunOutcome outcome;
        {
            StepReporter reporter(*bridge, *run);
            const ScopedStepListener listening(reporter);
            QRandomGenerator random(seed);
            RestyleRun restyle(snippets, *bridge, random);
            outcome = restyle.cmdGo_Click(options);
        }
        // The run's texts are gone with it; the memory they took goes back to the system rather
        // than stay with a window that sits idle.
        releaseFreedMemory();
        return outcome;
    }));
}

void BackgroundRun::inform(const QString &title, const QString &text, MessageIcon icon)
{
    m_host.inform(title, text, icon);
}

bool BackgroundRun::askYesNo(const QString &title, const QString &text)
{
    return m_host.askYesNo(title, text);
}

void BackgroundRun::notice(const QString &text)
{
    emit noticed(text);
}

void BackgroundRun::openFolder(const QString & /*folder*/)
{
    // The folder is the written page's own.
    m_host.showInFolder(m_outputFile);
}

}  // namespace lumivane
