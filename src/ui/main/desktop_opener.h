#pragma once

// Opens folders and pages with the desktop's own programs and finds out when that fails. On
// Linux and the BSDs the opener is xdg-open, which Qt counts as a success as soon as it has
// started; its exit status is what tells whether a file manager or browser was found, so it is
// watched. A file manager that offers the freedesktop ShowItems call over D-Bus is asked to show
// the new file selected in its folder.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

namespace lumivane {

class DesktopOpener final : public QObject {
    Q_OBJECT

public:
    // Called with a sentence naming the path and the reason when something could not be opened.
    using ReportFailure = std::function<void(const QString &message)>;

    DesktopOpener(ReportFailure report, QObject *parent);
    ~DesktopOpener() override;

    void openFolder(const QString &folder);
    void showInFolder(const QString &file);
    void openPage(const QString &page);

    // The program that opens a path given as its one argument (xdg-open unless set).
    void setOpenProgram(const QString &program) { m_program = program; }

private:
    enum class Kind { Folder, Page };
    void open(const QString &path, Kind kind);
    void failed(const QString &path, Kind kind, const QString &reason);

    ReportFailure m_report;
    QString m_program;
};

}  // namespace lumivane
