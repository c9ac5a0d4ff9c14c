#include "ui/main/desktop_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#ifdef LUMIVANE_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
constexpr bool watchOpenProgram = true;
#else
constexpr bool watchOpenProgram = false;
#endif

// An opener still running after this long has started a program (some wait until its window
// closes); how that program ends later is no longer about opening the path.
constexpr qint64 StartingTime = 5000;

QString exitReason(int status)
{
    // The exit statuses that xdg-open documents.
    switch (status) {
    case 2:
        return u"it was not found"_s;
    case 3:
        return u"no program to open it is installed"_s;
    case 4:
        return u"the program meant to open it failed"_s;
    default:
        return u"the opener ended with status %1"_s.arg(status);
    }
}

}  // namespace

DesktopOpener::DesktopOpener(ReportFailure report, QObject *parent)
    : QObject(parent)
    , m_report(std::move(report))
    , m_program(u"xdg-open"_s)
{}

DesktopOpener::~DesktopOpener()
{
    // A process that is still running when the window closes is let go rather than ended with
    // it: it may be the file manager or browser the user asked for.
    for (QProcess *process : findChildren<QProcess *>()) {
        if (process->state() != QProcess::NotRunning) {
            process->disconnect(this);
            process->setParent(nullptr);
        }
    }
}

void DesktopOpener::openFolder(const QString &folder)
{
    open(folder, Kind::Folder);
}

void DesktopOpener::openPage(const QString &page)
{
    open(page, Kind::Page);
}

void DesktopOpener::showInFolder(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
#ifdef LUMIVANE_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
            u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
        call << QStringList{QUrl::fromLocalFile(QDir::fromNativeSeparators(file)).toString()}
             << QString();
        // Without a file manager that offers the call the bus answers with an error at once; the
        // folder is then opened the ordinary way.
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, folder] {
            if (watcher->isError()) {
                openFolder(folder);
            }
            watcher->deleteLater();
        });
        return;
    }
#endif
    openFolder(QDir::toNativeSeparators(folder));
}

void DesktopOpener::open(const QString &path, Kind kind)
{
    if (!watchOpenProgram) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)))) {
            failed(path, kind, u"the system found no program to open it"_s);
        }
        return;
    }
    auto *process = new QProcess(this);
    process->setProgram(m_program);
    process->setArguments({QDir::toNativeSeparators(path)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto started = std::make_shared<QElapsedTimer>();
    connect(process, &QProcess::errorOccurred, this,
            [this, process, path, kind](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart) {
                    failed(path, kind, u"%1 could not be started"_s.arg(m_program));
                    process->deleteLater();
                }
            });
    connect(process, &QProcess::finished, this,
            [this, process, path, kind, started](int status, QProcess::ExitStatus how) {
                if (started->elapsed() < StartingTime &&
                    (how != QProcess::NormalExit || status != 0)) {
                    failed(path, kind,
                           how == QProcess::NormalExit ? exitReason(status)
                                                       : u"the opener stopped unexpectedly"_s);
                }
                process->deleteLater();
            });
    started->start();
    process->start();
}

void DesktopOpener::failed(const QString &path, Kind kind, const QString &reason)
{
    const QString shown = QDir::toNativeSeparators(path);
    m_report(kind == Kind::Folder
                 ? u"The folder \"%1\" could not be opened: %2. The modified file is there."_s.arg(
                       shown, reason)
                 : u"The page \"%1\" could not be opened: %2. Open it in your web browser "
                   "yourself."_s.arg(shown, reason));
}

}  // namespace lumivane
