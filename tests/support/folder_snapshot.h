#pragma once

// What a folder holds, down to every byte and modification time, so that a test can show that a
// failed run changed nothing and left nothing behind (no temporary file, no half-copied library).

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace lumivane::test_support {

// One line per entry below `folder`, sorted: its relative path, its kind and, for files, size,
// modification time and a hash of the bytes. Pipes and other special files are never opened.
inline QStringList folderSnapshot(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        QString line = name + QStringLiteral(" = ");
        if (info.isSymLink()) {
            line += QStringLiteral("link to ") + info.symLinkTarget();
        } else if (info.isDir()) {
            line += QStringLiteral("folder");
        } else if (info.isFile()) {
            line += QStringLiteral("file %1 bytes, modified %2")
                        .arg(info.size())
                        .arg(info.lastModified().toMSecsSinceEpoch());
            // Huge test files are sparse and never written by a run; size and time suffice.
            if (info.size() < qint64{16} * 1024 * 1024) {
                QFile file(info.filePath());
                if (file.open(QIODevice::ReadOnly)) {
                    line += QStringLiteral(", sha1 ") +
                            QString::fromLatin1(
                                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                                    .toHex());
                } else {
                    line += QStringLiteral(", unreadable");
                }
            }
        } else {
            line += QStringLiteral("special file");
        }
        lines.append(line);
    }
    lines.sort();
    return lines;
}

}  // namespace lumivane::test_support
