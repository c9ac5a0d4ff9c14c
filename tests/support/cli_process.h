#pragma once

// Runs the built lumivane-cli as a real process, the way a user's shell would, with no terminal on
// standard input so that nothing is ever asked.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace lumivane::test_support {

struct CliLaunch {
    QStringList prefix;  // a command that runs the program: another user, a file size limit
    QString program = QString::fromUtf8(LUMIVANE_CLI_PATH);
    QString workingDirectory;
    int timeoutMs = 120'000;
};

struct CliFinished {
    int exitCode = -1;  // -1 when the program died of a signal or did not finish
    QString out;
    QString err;
};

inline CliFinished runCli(const QStringList &arguments, const CliLaunch &launch = {})
{
    const QStringList command = launch.prefix + QStringList{launch.program} + arguments;
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.sliced(1));
    process.setStandardInputFile(QProcess::nullDevice());
    if (!launch.workingDirectory.isEmpty()) {
        process.setWorkingDirectory(launch.workingDirectory);
    }
    process.start();
    const bool finished = process.waitForFinished(launch.timeoutMs);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace lumivane::test_support
