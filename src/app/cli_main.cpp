// lumivane-cli: the restyle run for one or more pages, without a window.

#include "app/cli_host.h"
#include "app/cli_options.h"
#include "engine/restyle_run.h"
#include "snippets/snippet_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextStream>

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

}  // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // Past a file size limit the system would end the program without a word; ignored, the write
    // fails with "File too large" instead, and the run reports it and removes its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
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
    const SnippetFolder snippets = SnippetFolder::besideExecutable();
    RunOptions options = line.options;
    if (options.fonts && !line.fontGiven) {
        const auto font = defaultFont(snippets, err);
        if (!font) {
            return SomeNotWritten;
        }
        options.fontName = *font;
    }

    QRandomGenerator random =
        line.seed ? QRandomGenerator(*line.seed) : QRandomGenerator::securelySeeded();
    cli::TerminalHost host(line.overwrite, line.openFolder);
    RestyleRun run(snippets, host, random);

    int status = AllWritten;
    for (const QString &page : line.pages) {
        // The run works on full paths: the output goes beside the page.
        options.selectedFile = QDir::toNativeSeparators(QFileInfo(page).absoluteFilePath());
        const RunOutcome outcome = run.cmdGo_Click(options);
        if (outcome.written()) {
            out << outcome.outputPath << Qt::endl;
        } else {
            status = SomeNotWritten;
        }
    }
    return status;
}
