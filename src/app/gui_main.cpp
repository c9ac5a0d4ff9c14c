// lumivane: the desktop program. One main window over the same engine as lumivane-cli.

#include "snippets/snippet_folder.h"
#include "ui/main/frmmain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Start-up is timed from outside (scripts/measure-startup): the program shows its window, lets it
// paint once and quits, so the whole process time bounds the time to a usable window.
const QCommandLineOption quitWhenShown(u"quit-when-shown"_s,
                                       u"Show the window, paint it once and quit."_s);

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(u"Gives a web page a new look in one click."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(quitWhenShown);
    parser.addPositionalArgument(u"page"_s, u"The page (.htm or .html) to start with."_s,
                                 u"[page]"_s);
}

void nameTheProgram()
{
    QCoreApplication::setApplicationName(u"lumivane"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVANE_VERSION));
}

// --help and --version only print: they are answered before the window system is reached, so
// that they work in a terminal without a display.
std::optional<int> answerWithoutWindow(int argc, char *argv[])
{
    bool onlyPrints = false;
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--help", "-h", "-?", "--help-all", "--version", "-v"}) {
            onlyPrints = onlyPrints || std::strcmp(argv[i], option) == 0;
        }
    }
    if (!onlyPrints) {
        return std::nullopt;
    }
    const QCoreApplication app(argc, argv);
    nameTheProgram();
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);  // prints and ends the program
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (const auto printed = answerWithoutWindow(argc, argv)) {
        return *printed;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    // Lets the desktop match the window with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(u"lumivane"_s);
    QApplication::setWindowIcon(QIcon(u":/lumivane.svg"_s));

    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fputs("lumivane: give one page at most.\n", stderr);
        return 2;
    }

    lumivane::frmMain window(lumivane::SnippetFolder::ofProgram());
    // A page given on the command line (a file manager's "Open with") starts out selected, as if
    // it had been confirmed in the intake dialog.
    if (!parser.positionalArguments().isEmpty()) {
        window.setSelectedFile(QDir::toNativeSeparators(
            QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath()));
    }
    window.show();
    if (parser.isSet(quitWhenShown)) {
        QTimer::singleShot(0, &app, [&window] {
            window.repaint();
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
