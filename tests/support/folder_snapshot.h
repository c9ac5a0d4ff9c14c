#pragma once

// What a folder holds, down to every byte and modification time, so that a test can show that a
// failed run changed nothing and left nothing behind (no temporary file, no half-copied library).

#include "test_files.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QStringList>

namespace lumivane::test_support {

// One line per entry below `folder`, sorted. Pipes and other special files are never opened.
inline QStringList folderSnapshot(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString line = QDir(folder).relativeFilePath(info.filePath()) + QStringLiteral(": ");
        if (info.isSymLink()) {
            line += info.symLinkTarget();
        } else if (!info.isFile()) {
            line += info.isDir() ? QStringLiteral("folder") : QStringLiteral("special");
        } else {
            line += QString::number(info.size()) + u' ' +
                    QString::number(info.lastModified().toMSecsSinceEpoch());
            // Huge test files are sparse and never written by a run; size and time suffice.
            if (info.size() < qint64{16} * 1024 * 1024) {
                line +=
                    u' ' + QString::fromLatin1(QCryptographicHash::hash(readFile(info.filePath()),
                                                                        QCryptographicHash::Sha1)
                                                   .toHex());
            }
        }
        lines.append(line);
    }
    lines.sort();
    return lines;
}

}  // namespace lumivane::test_support
