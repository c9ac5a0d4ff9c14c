// The desktop window restyling one large page as a user runs it, on the display at hand (run it
// under a real X server, scripts/measure-window-run does). It watches the interface thread while
// the run goes on its worker: how long the run takes, how often the window painted and how long
// the longest stretch without a paint was, and how long the longest gap between the ticks of a
// 10 ms timer was (the event loop's own pace). Then it lets the window sit idle and prints the
// memory the process holds. Not a test: it only prints.
//
//   build/bin/lumivane-window-bench [MB] [--screenshot FILE]
//
// MB is the size of the generated sales page (default 20). --screenshot saves the window as it
// looks one second into the run.

#include "page_generator.h"

#include "engine/run_outcome.h"
#include "snippets/snippet_folder.h"
#include "ui/main/frmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// Answers for the user: Yes to replacing an earlier output, and nothing opened.
class QuietHost final : public WindowHost {
public:
    void inform(const QString & /*title*/, const QString &text, MessageIcon icon) override
    {
        if (icon == MessageIcon::Error) {
            QTextStream(stderr) << text << Qt::endl;
        }
    }
    bool askYesNo(const QString & /*title*/, const QString & /*text*/) override { return true; }
    void openFolder(const QString & /*folder*/) override {}
    void showInFolder(const QString & /*file*/) override {}
    void openPage(const QString & /*page*/) override {}
    void notice(const QString & /*text*/) override {}
};

// Counts the paints of one window's widgets, with the time of each.
class PaintWatch final : public QObject {
public:
    PaintWatch(QWidget *window, const QElapsedTimer &clock)
        : m_window(window)
        , m_clock(clock)
    {}

    std::vector<qint64> paints;  // ms on the clock

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window) {
            paints.push_back(m_clock.elapsed());
        }
        return false;
    }

private:
    QWidget *m_window;
    const QElapsedTimer &m_clock;
};

// Lets the event loop run until `done` holds or `milliseconds` have passed.
template <typename Done>
void waitUntil(Done done, int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

void wait(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

// The longest time between two moments, the run's start and end included.
qint64 longestGap(std::vector<qint64> moments, qint64 start, qint64 end)
{
    moments.push_back(start);
    moments.push_back(end);
    std::sort(moments.begin(), moments.end());
    qint64 longest = 0;
    for (std::size_t i = 1; i < moments.size(); ++i) {
        if (moments[i] >= start && moments[i] <= end) {
            longest = std::max(longest, moments[i] - std::max(moments[i - 1], start));
        }
    }
    return longest;
}

// Resident memory of this process, and its peak, in MiB.
std::pair<double, double> residentMemory()
{
    QFile status(u"/proc/self/status"_s);
    double now = 0;
    double peak = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            const auto kib = [&] {
                return line.simplified().split(' ').value(1).toDouble() / 1024;
            };
            if (line.startsWith("VmRSS:")) {
                now = kib();
            } else if (line.startsWith("VmHWM:")) {
                peak = kib();
            }
        }
    }
    return {now, peak};
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().sliced(1);
    QString screenshot;
    if (const qsizetype at = arguments.indexOf(u"--screenshot"_s);
        at >= 0 && at + 1 < arguments.size()) {
        screenshot = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    const double megabytes = arguments.isEmpty() ? 20.0 : arguments.first().toDouble();
    QTextStream out(stdout);

    QTemporaryDir folder;
    const QString page = folder.filePath(u"sales.html"_s);
    QFile file(page);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bench::salesPage(qsizetype(megabytes * 1024 * 1024))) < 0) {
        QTextStream(stderr) << u"cannot write "_s << page << Qt::endl;
        return 1;
    }
    file.close();

    frmMain window(SnippetFolder::ofProgram(), std::make_unique<QuietHost>());
    window.show();
    wait(500);
    window.setSelectedFile(page);
    wait(3000);  // the page check on selection, and the window settled
    const auto [before, peakBefore] = residentMemory();

    QElapsedTimer clock;
    clock.start();
    PaintWatch paints(&window, clock);
    app.installEventFilter(&paints);
    std::vector<qint64> ticks;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
    ticker.start(10);
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1000, &window, [&] { window.grab().save(screenshot, "PNG"); });
    }

    qint64 start = 0;
    qint64 end = -1;
    QObject::connect(&window, &frmMain::runFinished,
                     [&](const RunOutcome &) { end = clock.elapsed(); });
    start = clock.elapsed();
    window.findChild<QPushButton *>(u"cmdGo"_s)->click();
    waitUntil([&] { return end >= 0; }, 600'000);
    ticker.stop();
    app.removeEventFilter(&paints);

    std::vector<qint64> duringRun;
    std::copy_if(paints.paints.begin(), paints.paints.end(), std::back_inserter(duringRun),
                 [&](qint64 at) { return at >= start && at <= end; });
    wait(3000);  // idle
    const auto [after, peak] = residentMemory();

    out << u"page: %1 MB (%2)\n"_s.arg(megabytes).arg(QGuiApplication::platformName());
    out << u"run: %1 ms\n"_s.arg(end - start);
    out << u"window paints during the run: %1, longest time without one: %2 ms\n"_s
               .arg(duringRun.size())
               .arg(longestGap(duringRun, start, end));
    out << u"10 ms timer ticks during the run: %1, longest gap: %2 ms\n"_s.arg(ticks.size())
               .arg(longestGap(ticks, start, end));
    out << u"memory: %1 MiB before the run, %2 MiB idle 3 s after it, peak %3 MiB\n"_s
               .arg(before, 0, 'f', 1)
               .arg(after, 0, 'f', 1)
               .arg(std::max(peak, peakBefore), 0, 'f', 1);
    return 0;
}
