#include "engine/output_stage.h"

#include "engine/output_naming.h"
#include "platform/components.h"
#include "platform/file_operations.h"
#include "platform/step_timing.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <array>
#include <mutex>
#include <utility>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

QString joined(const QString &folder, const QString &name)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

// Runs restyling pages side by side (a batch on several threads) may share a page folder and so
// one library folder. Copying the same file from two threads at once can leave it torn, so one run
// at a time fills a given library folder. A fixed set of locks picked by the folder's real path
// keeps this free of any table that grows; two folders sharing a lock only wait a moment.
std::mutex &libraryFolderLock(const QString &pageFolder)
{
    static std::array<std::mutex, 64> locks;
    QString key = QFileInfo(pageFolder).canonicalFilePath();
    if (key.isEmpty()) {
        key = pageFolder;
    }
    return locks.at(qHash(key) % locks.size());
}

}  // namespace

RunOutcome ReportFailure(RunHost &host, const QString &message)
{
    host.inform(QString::fromLatin1(message::ErrorTitle), message, MessageIcon::Error);
    return {RunOutcome::Kind::Failed, message, {}};
}

QString OverwriteQuestion(const QString &outputFileName)
{
    return u"The target file ("_s + outputFileName +
           u") exists. Overwrite it with the new changes?"_s;
}

RunOutcome WriteOutput(const QString &selectedPath, const QByteArray &page,
                       const SnippetFolder &snippets, RunHost &host)
{
    const QString folder = FolderOfPath(selectedPath);
    const QString outputPath = OutputPath(selectedPath);

    // The library is listed and read before anything else, so that a missing or unreadable library
    // is reported before the user is asked anything and leaves nothing behind; each copy is then
    // written whole or not at all.
    const QString librarySource = snippets.libraryFolder();
    const auto libraryFiles = ListPlainFiles(librarySource);
    if (!libraryFiles) {
        return ReportFailure(host, libraryFiles.error());
    }
    QList<QByteArray> libraryContents;
    for (const QString &name : libraryFiles.value()) {
        auto bytes = ReadWholeFile(joined(librarySource, name));
        if (!bytes) {
            return ReportFailure(host, bytes.error());
        }
        libraryContents.append(std::move(bytes).value());
    }

    if (PathExists(outputPath, PathKind::File)) {
        // A link named like the output that leads back to the source must not let the source be
        // replaced.
        if (IsSameFile(outputPath, selectedPath)) {
            return ReportFailure(host, u"Cannot write \"%1\": it is the source page itself."_s.arg(
                                           QDir::toNativeSeparators(outputPath)));
        }
        // Refused before asking: replacing a read-only file fails on Windows anyway, and the user
        // made it read-only for a reason.
        if (!QFileInfo(outputPath).isWritable()) {
            return ReportFailure(host, u"Cannot replace \"%1\": the file is read-only."_s.arg(
                                           QDir::toNativeSeparators(outputPath)));
        }
        if (!host.askYesNo(QString::fromLatin1(message::OverwriteTitle),
                           OverwriteQuestion(OutputFileName(selectedPath)))) {
            return {RunOutcome::Kind::Declined, {}, {}};
        }
    }

    // A file where the library folder goes is found before the page is written, not after.
    const QString libraryTarget = LibraryTargetFolder(selectedPath);
    if (const auto free = FolderMayBeMade(libraryTarget); !free) {
        return ReportFailure(host, free.error());
    }

    const auto written = WriteWholeFile(outputPath, page);
    markStepEnd("write");
    if (!written) {
        return ReportFailure(host, written.error());
    }

    const auto copyLibrary = [&]() -> Status {
        const std::scoped_lock libraryFolderInUse(libraryFolderLock(folder));
        if (auto created = EnsureFolder(libraryTarget); !created) {
            return created;
        }
        for (qsizetype i = 0; i < libraryFiles.value().size(); ++i) {
            const QString target = joined(libraryTarget, libraryFiles.value().at(i));
            // A folder of pages shares one library: a copy that already matches is left alone,
            // which spares a write and a flush to disk for every page after the first.
            if (const auto existing = ReadWholeFile(target);
                existing && existing.value() == libraryContents.at(i)) {
                continue;
            }
            if (auto copied = WriteWholeFile(target, libraryContents.at(i)); !copied) {
                return copied;
            }
        }
        return Ok{};
    };
    // The lock is let go before any message, which may wait for the user.
    if (const auto copied = copyLibrary(); !copied) {
        return ReportFailure(host, copied.error());
    }

    markStepEnd("library");
    host.inform(QString::fromLatin1(message::DoneTitle), QString::fromLatin1(message::DoneText),
                MessageIcon::Information);
    host.openFolder(folder);
    return {RunOutcome::Kind::Written, QString::fromLatin1(message::DoneText), outputPath};
}

}  // namespace lumivane
