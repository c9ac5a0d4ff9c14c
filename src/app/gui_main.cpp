// lumivane: the desktop program. One main window over the same engine as lumivane-cli.

#include "snippets/snippet_folder.h"
#include "ui/main/frmmain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"lumivane"_s);
    QApplication::setApplicationVersion(QStringLiteral(LUMIVANE_VERSION));
    // Lets the desktop match the window with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(u"lumivane"_s);
    QApplication::setWindowIcon(QIcon(u":/lumivane.svg"_s));

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Gives a web page a new look in one click."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    // Start-up is timed from outside (scripts/measure-startup): the program shows its window,
    // lets it paint once and quits, so the whole process time bounds the time to a usable window.
    const QCommandLineOption quitWhenShown(u"quit-when-shown"_s,
                                           u"Show the window, paint it once and quit."_s);
    parser.addOption(quitWhenShown);
    parser.process(app);

    lumivane::frmMain window(lumivane::SnippetFolder::besideExecutable());
    window.show();
    if (parser.isSet(quitWhenShown)) {
        QTimer::singleShot(0, &app, [&window] {
            window.repaint();
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
