#include "app/batch_run.h"

#include "app/page_random.h"
#include "engine/output_naming.h"
#include "engine/restyle_run.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane::cli {

namespace {

using Unit = std::vector<qsizetype>;  // indexes of pages run one after the other

// A page's folder by its real path, so that two spellings or links to one folder agree.
QString realFolderOf(const QString &page)
{
    const QString folder = FolderOfPath(page);
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? folder : real + QDir::separator();
}

// Pages that touch one file go into one unit, in the order given: those that write the same
// output, and a page that is itself the output of another (offer_modified.html named beside
// offer.html), which must be read after that page wrote it, as it would be one page at a time.
// Every other page is a unit of its own.
std::vector<Unit> unitsOf(const QStringList &pages)
{
    std::vector<Unit> units;
    QHash<QString, std::size_t> unitOfFile;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString output = outputIdentity(pages.at(i));
        const QString source = realFolderOf(pages.at(i)) + FileNameOfPath(pages.at(i));
        std::size_t unit = units.size();
        for (const QString &file : {output, source}) {
            if (const auto found = unitOfFile.constFind(file); found != unitOfFile.constEnd()) {
                unit = found.value();
                break;
            }
        }
        if (unit == units.size()) {
            units.emplace_back();
        }
        units[unit].push_back(i);
        unitOfFile.insert(output, unit);
        unitOfFile.insert(source, unit);
    }
    return units;
}

PageResult restyle(const QString &page, const SnippetFolder &snippets,
                   const BatchSettings &settings)
{
    PageHost host(settings.existing);
    QRandomGenerator random = pageRandom(settings.seed);
    RestyleRun run(snippets, host, random);
    RunOptions options = settings.options;
    options.selectedFile = page;
    const RunOutcome outcome = run.cmdGo_Click(options);
    switch (outcome.kind) {
    case RunOutcome::Kind::Written:
        return {PageResult::Kind::Written, outcome.outputPath, {}, host.notices()};
    case RunOutcome::Kind::Declined:
        return {PageResult::Kind::Skipped,
                {},
                u"%1 exists; give --yes to replace it."_s.arg(OutputFileName(page)),
                host.notices()};
    case RunOutcome::Kind::Refused:
    case RunOutcome::Kind::Failed:
        break;
    }
    return {PageResult::Kind::Failed, {}, outcome.message, host.notices()};
}

// Finished pages waiting for the calling thread to show them.
class FinishedQueue {
public:
    void push(qsizetype index, PageResult result)
    {
        {
            const std::scoped_lock lock(m_mutex);
            m_results.emplace_back(index, std::move(result));
        }
        m_arrived.notify_one();
    }

    // Waits up to `timeout` for at least one page and takes everything waiting.
    std::vector<std::pair<qsizetype, PageResult>> take(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, timeout, [this] { return !m_results.empty(); });
        return std::exchange(m_results, {});
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::pair<qsizetype, PageResult>> m_results;
};

}  // namespace

QString outputIdentity(const QString &page)
{
    return realFolderOf(page) + OutputFileName(page);
}

void runBatch(const QStringList &pages, const SnippetFolder &snippets,
              const BatchSettings &settings,
              const std::function<void(qsizetype, const PageResult &)> &finished,
              const std::function<void()> &waiting)
{
    if (pages.isEmpty()) {
        return;
    }
    const std::vector<Unit> units = unitsOf(pages);
    FinishedQueue queue;
    std::atomic<std::size_t> nextUnit = 0;
    const auto work = [&] {
        // Pages are handed out one unit at a time, so a thread that meets small pages simply
        // takes more of them.
        for (std::size_t unit = nextUnit++; unit < units.size(); unit = nextUnit++) {
            for (const qsizetype index : units[unit]) {
                queue.push(index, restyle(pages.at(index), snippets, settings));
            }
        }
    };

    const auto threadCount =
        std::clamp<std::size_t>(static_cast<std::size_t>(settings.jobs), 1, units.size());
    std::vector<std::jthread> workers;
    workers.reserve(threadCount);
    for (std::size_t i = 0; i < threadCount; ++i) {
        workers.emplace_back(work);
    }

    using namespace std::chrono_literals;
    for (qsizetype shown = 0; shown < pages.size();) {
        for (const auto &[index, result] : queue.take(100ms)) {
            finished(index, result);
            ++shown;
        }
        waiting();
    }
}

}  // namespace lumivane::cli
