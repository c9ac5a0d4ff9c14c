#include "engine/output_stage.h"

#include "engine/output_naming.h"
#include "platform/components.h"
#include "platform/file_operations.h"
#include "platform/step_timing.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

QString joined(const QString &folder, const QString &name)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

}  // namespace

RunOutcome ReportFailure(RunHost &host, const QString &message)
{
    host.inform(QString::fromLatin1(message::ErrorTitle), message, MessageIcon::Error);
    return {RunOutcome::Kind::Failed, {}};
}

QString OverwriteQuestion(const QString &outputFileName)
{
    return u"The target file ("_s + outputFileName +
           u") exists. Overwrite it with the new changes?"_s;
}

RunOutcome WriteOutput(const QString &selectedPath, const QString &page,
                       const PageEncoding &encoding, const SnippetFolder &snippets, RunHost &host)
{
    const QString folder = FolderOfPath(selectedPath);
    const QString outputPath = OutputPath(selectedPath);

    if (PathExists(outputPath, PathKind::File)) {
        // A link named like the output that leads back to the source must not let the source be
        // replaced.
        if (IsSameFile(outputPath, selectedPath)) {
            return ReportFailure(host, u"Cannot write \"%1\": it is the source page itself."_s.arg(
                                           QDir::toNativeSeparators(outputPath)));
        }
        if (!host.askYesNo(QString::fromLatin1(message::OverwriteTitle),
                           OverwriteQuestion(OutputFileName(selectedPath)))) {
            return {RunOutcome::Kind::Declined, {}};
        }
    }

    // The library is listed before the page is written, so that a missing library leaves
    // nothing behind.
    const QString librarySource = snippets.libraryFolder();
    const auto libraryFiles = ListPlainFiles(librarySource);
    if (!libraryFiles) {
        return ReportFailure(host, libraryFiles.error());
    }

    if (const auto written = TextBoxToFile(page, outputPath, encoding); !written) {
        return ReportFailure(host, written.error());
    }

    const QString libraryTarget = LibraryTargetFolder(selectedPath);
    if (const auto created = EnsureFolder(libraryTarget); !created) {
        return ReportFailure(host, created.error());
    }
    for (const QString &name : libraryFiles.value()) {
        if (const auto copied =
                CopyFileReplacing(joined(librarySource, name), joined(libraryTarget, name));
            !copied) {
            return ReportFailure(host, copied.error());
        }
    }

    markStepEnd("library");
    host.inform(QString::fromLatin1(message::DoneTitle), QString::fromLatin1(message::DoneText),
                MessageIcon::Information);
    host.openFolder(folder);
    return {RunOutcome::Kind::Written, outputPath};
}

}  // namespace lumivane
