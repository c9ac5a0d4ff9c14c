// lumivane: the desktop program. One main window over the same engine as lumivane-cli.

#include "snippets/snippet_folder.h"
#include "ui/main/frmmain.h"

#include <QApplication>
#include <QIcon>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"lumivane"_s);
    QApplication::setApplicationVersion(QStringLiteral(LUMIVANE_VERSION));
    // Lets the desktop match the window with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(u"lumivane"_s);
    QApplication::setWindowIcon(QIcon(u":/lumivane.svg"_s));

    lumivane::frmMain window(lumivane::SnippetFolder::besideExecutable());
    window.show();
    return QApplication::exec();
}
