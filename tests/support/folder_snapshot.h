#pragma once

// What a folder holds, down to every byte and modification time, so that a test can show that a
// failed run changed nothing and left nothing behind (no temporary file, no half-copied library).

#include "test_files.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QStringList>

namespace lumivane::test_support {

// One line per entry, sorted; pipes are never opened, huge (sparse) files never hashed.
inline QStringList folderSnapshot(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString line = QDir(folder).relativeFilePath(info.filePath()) + u' ' + info.symLinkTarget();
        if (info.isFile()) {
            const QByteArray bytes =
                info.size() < qint64{16} * 1024 * 1024 ? readFile(info.filePath()) : "";
            line += u' ' + QString::number(info.size()) + u' ' +
                    QString::number(info.lastModified().toMSecsSinceEpoch()) + u' ' +
                    QString::fromLatin1(
                        QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
        }
        lines.append(line);
    }
    lines.sort();
    return lines;
}

}  // namespace lumivane::test_support
