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

// Pages that share an output go into one unit, in the order given; every other page is a unit of
// its own.
std::vector<Unit> unitsOf(const QStringList &pages)
{
    std::vector<Unit> units;
    QHash<QString, std::size_t> unitOfOutput;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString output = outputIdentity(pages.at(i));
        if (const auto existing = unitOfOutput.constFind(output);
            existing != unitOfOutput.constEnd()) {
            units[existing.value()].push_back(i);
        } else {
            unitOfOutput.insert(output, units.size());
            units.push_back({i});
        }
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
    if (outcome.written()) {
        return {PageResult::Kind::Written, outcome.outputPath, {}};
    }
    if (host.keptExisting()) {
        return {PageResult::Kind::Skipped,
                {},
                u"%1 exists; give --yes to replace it."_s.arg(OutputFileName(page))};
    }
    return {PageResult::Kind::Failed,
            {},
            host.problem().isEmpty() ? u"not written."_s : host.problem()};
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
    const QString folder = FolderOfPath(page);
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    return (realFolder.isEmpty() ? folder : realFolder + QDir::separator()) + OutputFileName(page);
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
