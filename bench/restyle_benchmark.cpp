// Measures the whole run (page file to written page and library) and the restyle alone (the run's
// in-memory core), and each step of the run, on generated sales pages from 10 KB to 50 MB and on
// a page with 50,000 images, beside three floors taken in the same process: the parser's own
// parse of the same bytes, the old parser's (gumbo, the floor the run was first measured against),
// and reading plus writing the file. Not a test: it only prints.
//
//   build/bin/lumivane-bench             every page
//   build/bin/lumivane-bench 1 10        sales pages of 1 and 10 MB only (sizes in MB)
//   build/bin/lumivane-bench --cpu ...   processor time instead of wall time: steadier on a busy
//                                        machine, but blind to waiting for the disk
//
// Each page is measured in a child process of its own, so that one page's heap never weighs on
// the next; peak memory comes from a further child that restyles the page once and nothing else
// (the peak resident size of a process never goes down, so it must be fresh for each figure).
// Times are medians of repetitions that take turns: floor, floor, run, floor, floor, run...
// Before each, the memory freed so far goes back to the system, so that each starts like a fresh
// process (which is how the command line runs) and none profits from memory another touched.

#include "gumbo_floor.h"
#include "page_generator.h"

#include "engine/restyle_core.h"
#include "engine/restyle_run.h"
#include "engine/snippet_texts.h"
#include "platform/html5_parse.h"
#include "platform/memory_release.h"
#include "platform/step_timing.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <map>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// The steps in run order, as the run marks them, with the headings of the table.
struct StepColumn {
    const char *step;
    const char *heading;
};
constexpr std::array stepColumns{
    StepColumn{"read", "read"},
    StepColumn{"snippets", "snippets"},
    StepColumn{"decode", "decode"},
    StepColumn{"nesting check", "nesting check"},
    StepColumn{"parse", "parse"},
    StepColumn{"tree", "tree"},
    StepColumn{"tagging", "tagging"},
    StepColumn{"read back", "read back"},
    StepColumn{"release", "tree release"},
    StepColumn{"text stages", "text stages"},
    StepColumn{"encode", "encode"},
    StepColumn{"write", "write"},
    StepColumn{"library", "library copy"},
};

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Wall time, or with --cpu the processor time of this process.
bool useCpuTime = false;

class Stopwatch {
public:
    void start() { m_start = now(); }
    [[nodiscard]] double elapsedMs() const { return now() - m_start; }

private:
    static double now()
    {
        if (useCpuTime) {
            return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
        }
        return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count()) /
               1e6;
    }
    double m_start = 0;
};

// Collects the time of each step of one run.
class StepClock final : public StepListener {
public:
    void start()
    {
        m_times.clear();
        m_timer.start();
        m_last = 0;
    }
    void stepEnded(const char *step) override
    {
        const double now = m_timer.elapsedMs();
        m_times[step] += now - m_last;
        m_last = now;
    }
    [[nodiscard]] const std::map<std::string, double> &times() const { return m_times; }

private:
    Stopwatch m_timer;
    double m_last = 0;
    std::map<std::string, double> m_times;
};

class QuietHost final : public RunHost {
public:
    void inform(const QString &, const QString &, MessageIcon) override {}
    bool askYesNo(const QString &, const QString &) override { return true; }
    void openFolder(const QString &) override {}
    void notice(const QString &) override {}
};

// Every stage on, so that each text stage is measured.
RunOptions benchmarkOptions(const QString &page)
{
    RunOptions options;
    options.selectedFile = page;
    options.fontName = u"Open Sans"_s;
    options.backButton = true;
    options.backRedirect = u"https://example.com/offer"_s;
    return options;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A field of /proc/self/status in KiB (Linux; 0 elsewhere).
qint64 statusKiB(const char *field)
{
    const QByteArray status = readAll(u"/proc/self/status"_s);
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
        }
    }
    return 0;
}

// Child: times the run and the floors on one page file. Prints "name milliseconds" lines.
int timePage(const QString &page, int repetitions)
{
    QTextStream out(stdout);
    const QByteArray bytes = readAll(page);
    const QString copy = page + u".copy"_s;
    QuietHost host;
    QRandomGenerator random(7);
    RestyleRun run(SnippetFolder::ofProgram(), host, random);
    const RunOptions options = benchmarkOptions(page);
    const auto snippets = ReadSnippetTexts(SnippetFolder::ofProgram(), options);
    if (!snippets) {
        out << "error " << snippets.error() << '\n';
        return 1;
    }
    StepClock clock;
    const ScopedStepListener listening(clock);

    std::vector<double> whole;
    std::vector<double> core;
    std::vector<double> parseOnly;
    std::vector<double> gumboOnly;
    std::vector<double> readWrite;
    std::map<std::string, std::vector<double>> steps;
    // One unmeasured round first: file cache, snippet files, the allocator's first growth.
    for (int round = -1; round < repetitions; ++round) {
        Stopwatch timer;
        releaseFreedMemory();
        timer.start();
        parseAndDiscard(bytes);
        const double parsed = timer.elapsedMs();

        releaseFreedMemory();
        timer.start();
        bench::gumboParseAndDiscard(bytes);
        const double gumboParsed = timer.elapsedMs();

        releaseFreedMemory();
        timer.start();
        {
            QFile in(page);
            QFile target(copy);
            if (!in.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly) ||
                target.write(in.readAll()) != bytes.size()) {
                out << "error cannot copy the page\n";
                return 1;
            }
        }
        const double copied = timer.elapsedMs();

        // The restyle alone, in memory, as the run calls it.
        releaseFreedMemory();
        timer.start();
        if (!RestylePage(bytes, page, snippets.value(), options, random)) {
            out << "error the restyle failed\n";
            return 1;
        }
        const double restyled = timer.elapsedMs();

        // The whole run, from the page file to the written page and library.
        releaseFreedMemory();
        clock.start();
        timer.start();
        if (!run.cmdGo_Click(options).written()) {
            out << "error the run failed; is the snippet folder beside the program?\n";
            return 1;
        }
        const double ran = timer.elapsedMs();
        if (round < 0) {
            continue;
        }
        core.push_back(restyled);
        parseOnly.push_back(parsed);
        gumboOnly.push_back(gumboParsed);
        readWrite.push_back(copied);
        whole.push_back(ran);
        for (const auto &[step, ms] : clock.times()) {
            steps[step].push_back(ms);
        }
    }
    out << "whole " << median(whole) << '\n'
        << "core " << median(core) << '\n'
        << "parser " << median(parseOnly) << '\n'
        << "gumbo " << median(gumboOnly) << '\n'
        << "io " << median(readWrite) << '\n';
    for (const auto &[step, times] : steps) {
        out << "step " << QString::fromStdString(step) << '\t' << median(times) << '\n';
    }
    return 0;
}

// With LUMIVANE_BENCH_MEMORY_TRACE set, prints the peak so far at the end of each step, to show
// which step sets it.
class PeakByStep final : public StepListener {
public:
    void stepEnded(const char *step) override
    {
        if (qEnvironmentVariableIsSet("LUMIVANE_BENCH_MEMORY_TRACE")) {
            QTextStream(stderr) << step << ": peak " << statusKiB("VmHWM:") / 1024 << " MiB, now "
                                << statusKiB("VmRSS:") / 1024 << " MiB" << Qt::endl;
        }
    }
};

// Child: the peak memory of one run (or of the parser alone) in a fresh process.
int measureMemory(const QString &page, bool parserOnly)
{
    QTextStream out(stdout);
    PeakByStep trace;
    const ScopedStepListener listening(trace);
    const qint64 before = statusKiB("VmHWM:");
    if (parserOnly) {
        parseAndDiscard(readAll(page));
    } else {
        QuietHost host;
        QRandomGenerator random(7);
        RestyleRun run(SnippetFolder::ofProgram(), host, random);
        if (!run.cmdGo_Click(benchmarkOptions(page)).written()) {
            out << "error the run failed\n";
            return 1;
        }
    }
    out << "before " << before << '\n' << "peak " << statusKiB("VmHWM:") << '\n';
    return 0;
}

// Runs this program again with `arguments` and returns its "name value" lines.
QMap<QString, double> child(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    process.waitForFinished(-1);
    QMap<QString, double> values;
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &line : output.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u"error "_s)) {
            QTextStream(stderr) << line << Qt::endl;
            continue;
        }
        const qsizetype split = line.lastIndexOf(line.contains(u'\t') ? u'\t' : u' ');
        values.insert(line.first(split), line.sliced(split + 1).toDouble());
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QTextStream(stderr) << "a measuring process failed: " << arguments.join(u' ') << Qt::endl;
    }
    return values;
}

struct Measured {
    QString name;
    double megabytes = 0;
    QMap<QString, double> times;
    double peakMiB = 0;
    double runMiB = 0;  // the peak less what the process held before the run
    double parserMiB = 0;
};

// Repetitions per page: more for small pages, whose times are short and noisy.
constexpr qsizetype KiB = 1024;
constexpr qsizetype MiB = 1024 * KiB;

int repetitionsFor(qsizetype bytes)
{
    if (bytes <= 200 * KiB) {
        return 41;
    }
    if (bytes <= 2 * MiB) {
        return 11;
    }
    return bytes <= 20 * MiB ? 5 : 3;
}

Measured measure(const QString &name, const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << path << Qt::endl;
        return {};
    }
    file.close();
    Measured result;
    result.name = name;
    result.megabytes = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
    QStringList timing{u"--time"_s, path, QString::number(repetitionsFor(bytes.size()))};
    if (useCpuTime) {
        timing.prepend(u"--cpu"_s);
    }
    result.times = child(timing);
    const auto memory = child({u"--memory"_s, path});
    const auto parser = child({u"--parser-memory"_s, path});
    result.peakMiB = memory.value(u"peak"_s) / 1024.0;
    result.runMiB = (memory.value(u"peak"_s) - memory.value(u"before"_s)) / 1024.0;
    result.parserMiB = (parser.value(u"peak"_s) - parser.value(u"before"_s)) / 1024.0;
    return result;
}

QString fixed(double value, int decimals = 1)
{
    return QString::number(value, 'f', decimals);
}

void printTables(const QList<Measured> &all)
{
    QTextStream out(stdout);
    out << "\nTimes are medians of " << (useCpuTime ? "processor" : "wall") << " time.\n";
    out << "\n| page | MB | whole ms | MB/s | ms per MB | restyle ms | parse ms | whole / parse | "
           "restyle / parse | gumbo parse ms | whole / gumbo parse | read + write ms | peak MiB | "
           "run's own MiB | run's own / page size | parser alone MiB |\n"
        << "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n";
    for (const Measured &m : all) {
        const double whole = m.times.value(u"whole"_s);
        const double restyle = m.times.value(u"core"_s);
        const double parser = m.times.value(u"parser"_s);
        const double gumbo = m.times.value(u"gumbo"_s);
        out << "| " << m.name << " | " << fixed(m.megabytes, 2) << " | " << fixed(whole) << " | "
            << fixed(m.megabytes / (whole / 1000.0)) << " | " << fixed(whole / m.megabytes) << " | "
            << fixed(restyle) << " | " << fixed(parser) << " | " << fixed(whole / parser, 2)
            << " | " << fixed(restyle / parser, 2) << " | " << fixed(gumbo) << " | "
            << fixed(whole / gumbo, 2) << " | " << fixed(m.times.value(u"io"_s), 2) << " | "
            << fixed(m.peakMiB) << " | " << fixed(m.runMiB) << " | "
            << fixed(m.runMiB / m.megabytes, 1) << " | " << fixed(m.parserMiB) << " |\n";
    }

    out << "\nSteps of the whole run, ms (medians):\n\n| page |";
    for (const StepColumn &column : stepColumns) {
        out << ' ' << column.heading << " |";
    }
    out << "\n|---|";
    for (size_t i = 0; i < stepColumns.size(); ++i) {
        out << "--:|";
    }
    out << '\n';
    for (const Measured &m : all) {
        out << "| " << m.name << " |";
        for (const StepColumn &column : stepColumns) {
            out << ' ' << fixed(m.times.value(u"step "_s + QString::fromLatin1(column.step)), 2)
                << " |";
        }
        out << '\n';
    }

    // Growth: time per MB of the largest sales page against the 1 MB page.
    const Measured *oneMb = nullptr;
    const Measured *largest = nullptr;
    for (const Measured &m : all) {
        if (!m.name.startsWith(u"sales"_s)) {
            continue;
        }
        if (m.megabytes >= 0.99 && m.megabytes < 1.5) {
            oneMb = &m;
        }
        if (!largest || m.megabytes > largest->megabytes) {
            largest = &m;
        }
    }
    if (oneMb && largest && largest != oneMb) {
        const auto perMb = [](const Measured &m) {
            return m.times.value(u"whole"_s) / m.megabytes;
        };
        out << "\nTime per MB at " << fixed(largest->megabytes, 0) << " MB is "
            << fixed(perMb(*largest) / perMb(*oneMb), 2) << "x that at 1 MB.\n";
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().sliced(1);
    if (!arguments.isEmpty() && arguments.first() == u"--cpu"_s) {
        useCpuTime = true;
        arguments.removeFirst();
    }
    if (arguments.size() == 3 && arguments[0] == u"--time"_s) {
        return timePage(arguments[1], arguments[2].toInt());
    }
    if (arguments.size() == 2 && arguments[0] == u"--memory"_s) {
        return measureMemory(arguments[1], false);
    }
    if (arguments.size() == 2 && arguments[0] == u"--parser-memory"_s) {
        return measureMemory(arguments[1], true);
    }

    QList<double> sizes;
    const bool everything = arguments.isEmpty();
    bool gallery = everything;
    for (const QString &argument : arguments) {
        if (argument == u"gallery"_s) {
            gallery = true;
            continue;
        }
        bool ok = false;
        const double megabytes = argument.toDouble(&ok);
        if (!ok || megabytes <= 0) {
            QTextStream(stderr) << "usage: lumivane-bench [MB... | gallery]" << Qt::endl;
            return 2;
        }
        sizes.append(megabytes);
    }
    if (everything) {
        sizes = {10.0 / 1024, 100.0 / 1024, 1, 10, 50};
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(u"page.html"_s);
    QList<Measured> all;
    QTextStream err(stderr);
    for (const double megabytes : sizes) {
        const auto bytes = static_cast<qsizetype>(megabytes * 1024 * 1024);
        const QString name =
            bytes < MiB ? u"sales %1 KB"_s.arg(bytes / KiB) : u"sales %1 MB"_s.arg(bytes / MiB);
        err << "measuring " << name << "..." << Qt::endl;
        all.append(measure(name, bench::salesPage(bytes), path));
    }
    if (gallery) {
        err << "measuring 50,000 images..." << Qt::endl;
        all.append(measure(u"50,000 images"_s, bench::galleryPage(50000), path));
    }
    printTables(all);
    return 0;
}
