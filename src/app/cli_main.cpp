// lumivane-cli: the restyle run for one or more pages, without a window.

#include "app/batch_display.h"
#include "app/batch_run.h"
#include "app/cli_host.h"
#include "app/cli_options.h"
#include "app/page_list.h"
#include "app/page_random.h"
#include "app/process_memory.h"
#include "engine/output_naming.h"
#include "engine/restyle_run.h"
#include "snippets/snippet_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTextStream>
#include <QThread>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

enum ExitStatus { AllWritten = 0, SomeNotWritten = 1, BadUsage = 2 };

// The window starts with the first font of the list; so does the command line.
std::optional<QString> defaultFont(const SnippetFolder &snippets, QTextStream &err)
{
    QStringList fonts;
    if (const auto read = snippets.readLines(fonts, snippet::FontList); !read) {
        err << u"lumivane-cli: error: "_s << read.error() << u" Give --font NAME or --no-font."_s
            << Qt::endl;
        return std::nullopt;
    }
    if (fonts.isEmpty() || fonts.first().trimmed().isEmpty()) {
        err << u"lumivane-cli: error: the font list is empty. Give --font NAME or --no-font."_s
            << Qt::endl;
        return std::nullopt;
    }
    return fonts.first().trimmed();
}

// A single page, as it has always run: messages as they come, and the overwrite question on the
// terminal when its output exists.
int restyleOnePage(const cli::CommandLine &line, const SnippetFolder &snippets, RunOptions options,
                   QTextStream &out, QTextStream &err)
{
    QRandomGenerator random = cli::pageRandom(line.seed);
    cli::TerminalHost host(line.overwrite, line.openFolder);
    RestyleRun run(snippets, host, random);

    // The run works on full paths: the output goes beside the page.
    options.selectedFile =
        QDir::toNativeSeparators(QFileInfo(line.pages.first()).absoluteFilePath());
    const RunOutcome outcome = run.cmdGo_Click(options);
    switch (outcome.kind) {
    case RunOutcome::Kind::Written:
        err << cli::completionLine(outcome.outputPath, line.openFolder) << Qt::endl;
        out << outcome.outputPath << Qt::endl;
        return AllWritten;
    case RunOutcome::Kind::Refused:
        err << QLatin1StringView(message::RefusedTitle) << u": "_s << outcome.message << Qt::endl;
        break;
    case RunOutcome::Kind::Failed:
        err << u"lumivane-cli: error: "_s << outcome.message << Qt::endl;
        break;
    case RunOutcome::Kind::Declined:
        break;  // the answer to the question said so
    }
    return SomeNotWritten;
}

int restyleBatch(const cli::CommandLine &line, const SnippetFolder &snippets,
                 const RunOptions &options, QTextStream &out, QTextStream &err)
{
    // The same refusal for every page: said once.
    if (!options.animations && !options.fonts) {
        err << QLatin1StringView(message::RefusedTitle) << u": "_s
            << QLatin1StringView(message::NothingToChange) << Qt::endl;
        return SomeNotWritten;
    }

    const cli::PageList list = cli::collectPages(line.pages, line.recursiveFolders);
    cli::BatchDisplay display(list.pages.size(), cli::errorIsTerminal(), out, err);
    for (const QString &problem : list.problems) {
        display.problem(problem);
    }
    if (list.pages.isEmpty()) {
        err << u"lumivane-cli: no .htm or .html page found."_s << Qt::endl;
        return SomeNotWritten;
    }

    // Outputs there already, and those that an earlier page of this batch will have written by
    // the time a later page with the same output name runs (offer.htm and offer.html).
    qsizetype existing = 0;
    QString example;
    QSet<QString> outputs;
    for (const QString &page : list.pages) {
        const QString output = OutputPath(page);
        const qsizetype before = outputs.size();
        outputs.insert(cli::outputIdentity(page));
        if (outputs.size() == before || QFileInfo::exists(output)) {
            if (existing == 0) {
                example = output;
            }
            ++existing;
        }
    }

    cli::BatchSettings settings;
    settings.options = options;
    settings.seed = line.seed;
    settings.existing =
        cli::askAboutExistingOutputs(existing, list.pages.size(), example, line.overwrite, err);
    settings.jobs = line.jobs.value_or(std::max(1, QThread::idealThreadCount()));

    cli::runBatch(
        list.pages, snippets, settings,
        [&](qsizetype index, const cli::PageResult &result) {
            display.pageFinished(index, list.pages.at(index), result);
        },
        [&] { display.refresh(); });
    display.finish();
    return display.allWritten() ? AllWritten : SomeNotWritten;
}

}  // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // Past a file size limit the system would end the program without a word; ignored, the write
    // fails with "File too large" instead, and the run reports it and removes its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    cli::keepFreedMemoryForReuse();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"lumivane-cli"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVANE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const auto parsed = cli::parseCommandLine(QCoreApplication::arguments().sliced(1));
    switch (parsed.kind) {
    case cli::ParseResult::Kind::Help:
        out << parsed.text;
        return AllWritten;
    case cli::ParseResult::Kind::Version:
        out << u"lumivane-cli "_s << QCoreApplication::applicationVersion() << Qt::endl;
        return AllWritten;
    case cli::ParseResult::Kind::UsageError:
        err << u"lumivane-cli: "_s << parsed.text << Qt::endl;
        return BadUsage;
    case cli::ParseResult::Kind::Run:
        break;
    }

    const cli::CommandLine &line = parsed.commandLine;
    const SnippetFolder snippets = SnippetFolder::ofProgram();
    RunOptions options = line.options;
    if (options.fonts && !line.fontGiven) {
        const auto font = defaultFont(snippets, err);
        if (!font) {
            return SomeNotWritten;
        }
        options.fontName = *font;
    }

    return line.isBatch() ? restyleBatch(line, snippets, options, out, err)
                          : restyleOnePage(line, snippets, options, out, err);
}
