// lumivane-screenshots FOLDER: saves the main window as it starts (main-window.png), the intake
// dialog in drop mode (intake-drop.png) and in browse mode (intake-browse.png), and the main window
// after restyling index.html of the current folder (main-window-done.png) into FOLDER. The browse
// lists show the current folder, so run it from a folder with a page or two in it.

#include "snippets/snippet_folder.h"
#include "ui/intake/frmdropfiles.h"
#include "ui/main/frmmain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Lets the windows lay out and paint; the browse lists fill in from a background thread.
void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(milliseconds);
    loop.exec();
}

bool save(QWidget *widget, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    if (!widget->grab().save(path, "PNG")) {
        QTextStream(stderr) << u"lumivane-screenshots: cannot write "_s << path << Qt::endl;
        return false;
    }
    QTextStream(stdout) << path << Qt::endl;
    return true;
}

// A left click as the user gives it, on a control that reacts to the button's release.
void click(QWidget *widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// The run's messages and the opened folder stay out of the pictures: every question is answered
// Yes and nothing is shown or opened.
class QuietHost final : public lumivane::WindowHost {
public:
    void inform(const QString & /*title*/, const QString & /*text*/,
                lumivane::MessageIcon /*icon*/) override
    {}
    bool askYesNo(const QString & /*title*/, const QString & /*text*/) override { return true; }
    void openFolder(const QString & /*folder*/) override {}
    void showInFolder(const QString & /*file*/) override {}
    void openPage(const QString & /*page*/) override {}
    void notice(const QString & /*text*/) override {}
};

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << u"Usage: lumivane-screenshots FOLDER"_s << Qt::endl;
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.exists()) {
        QTextStream(stderr) << u"lumivane-screenshots: no folder "_s << folder.path() << Qt::endl;
        return 2;
    }

    lumivane::frmMain window(lumivane::SnippetFolder::ofProgram(), std::make_unique<QuietHost>());
    window.show();
    settle(300);
    bool ok = save(&window, folder, u"main-window.png"_s);

    window.cmdSelect_Click();
    lumivane::frmdropfiles *dialog = window.dropFilesDialog();
    settle(300);
    ok = save(dialog, folder, u"intake-drop.png"_s) && ok;

    // The link in the top-right corner switches to browse mode.
    auto *browseLink = dialog->findChild<QLabel *>(u"Label5"_s);
    if (browseLink == nullptr) {
        QTextStream(stderr) << u"lumivane-screenshots: the dialog has no browse link"_s << Qt::endl;
        return 1;
    }
    click(browseLink);
    settle(1000);
    ok = save(dialog, folder, u"intake-browse.png"_s) && ok;

    // A page restyled: the window shows where it went, with the buttons that open it.
    dialog->close();
    window.setSelectedFile(QDir::current().absoluteFilePath(u"index.html"_s));
    window.cmdGo_Click();
    QElapsedTimer waited;
    waited.start();
    while (window.isRunning() && waited.elapsed() < 60'000) {
        settle(50);
    }
    settle(300);
    ok = save(&window, folder, u"main-window-done.png"_s) && ok;
    return ok ? 0 : 1;
}
