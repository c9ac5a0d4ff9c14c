// Prints how long the run's pieces take, and how much memory they use, on generated sales pages
// of growing size. Run it from the build folder: build/bin/lumivane-bench [megabytes...]

#include "engine/restyle_run.h"
#include "platform/components.h"
#include "platform/html_document.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// A sales-page section: headings, paragraphs with entities and curly quotes, images, a list.
QByteArray generatedPage(qsizetype bytes)
{
    const QByteArray section =
        "<section class=\"offer\"><h1 class=\"headline\">Grow a Green Thumb in 30 Days</h1>\n"
        "<p>Only <b>\xE2\x82\xAC"
        "47</b> &amp; a \xE2\x80\x9Cno questions asked\xE2\x80\x9D guarantee. "
        "Thousands of readers have already <a href=\"#order\">ordered</a> it.</p>\n"
        "<img src=\"images/product.png\" alt=\"Product\" width=\"480\" height=\"300\">\n"
        "<ul><li>Seven lessons</li><li>Twenty templates</li><li>A private group</li></ul>\n"
        "<h2>What you get</h2><p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do "
        "eiusmod tempor incididunt ut labore et dolore magna aliqua.</p></section>\n";
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Offer</title>"
                      "</head><body>\n";
    while (page.size() < bytes) {
        page += section;
    }
    return page + "</body></html>\n";
}

// Milliseconds of the fastest of a few runs: the least disturbed by the rest of the machine.
double fastestMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

// Peak resident memory of this process so far, in MiB (Linux only; 0 elsewhere).
double peakMemoryMiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

class QuietHost final : public RunHost {
public:
    void inform(const QString &, const QString &, MessageIcon) override {}
    bool askYesNo(const QString &, const QString &) override { return true; }
    void openFolder(const QString &) override {}
};

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QList<double> sizes;
    for (const QString &argument : QCoreApplication::arguments().sliced(1)) {
        sizes.append(argument.toDouble());
    }
    if (sizes.isEmpty()) {
        sizes = {0.1, 1, 4};
    }

    QTemporaryDir folder;
    const QString page = folder.filePath(u"page.html"_s);
    QuietHost host;
    QRandomGenerator random(1);
    RestyleRun run(SnippetFolder::besideExecutable(), host, random);

    out << u"size MB | parse ms | read back ms | whole run ms | MB/s whole run | peak MiB"_s
        << Qt::endl;
    for (const double megabytes : sizes) {
        const QByteArray bytes = generatedPage(static_cast<qsizetype>(megabytes * 1024 * 1024));
        QFile file(page);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return 1;
        }
        file.close();

        const int runs = megabytes < 2 ? 5 : 3;
        const double parse = fastestMs(runs, [&] { (void)Document::Navigate2(page); });
        const auto document = Document::Navigate2(page);
        const double readBack = fastestMs(runs, [&] { (void)document.value().readBack(); });
        RunOptions options;
        options.selectedFile = page;
        options.fontName = u"Open Sans"_s;
        bool written = true;
        const double whole =
            fastestMs(runs, [&] { written = run.cmdGo_Click(options).written() && written; });
        if (!written) {
            out << u"the run failed; is the snippet folder beside the program?"_s << Qt::endl;
            return 1;
        }
        out << QString::asprintf("%7.2f | %8.1f | %12.1f | %12.1f | %14.1f | %8.1f",
                                 static_cast<double>(bytes.size()) / 1024 / 1024, parse, readBack,
                                 whole,
                                 static_cast<double>(bytes.size()) / 1024 / 1024 / (whole / 1000),
                                 peakMemoryMiB())
            << Qt::endl;
    }
    return 0;
}
