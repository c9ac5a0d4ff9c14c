#pragma once

// Folder and file operations of the output stage, each failing with a message that names the path
// and gives the operating system's reason.

#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumivane {

// Fails when something other than a folder stands where `folder` would be made.
Status FolderMayBeMade(const QString &folder);

// Creates one folder level unless a folder is already there.
Status EnsureFolder(const QString &folder);

// The names of the plain files directly inside `folder`: no subfolders, no hidden or system files.
Result<QStringList> ListPlainFiles(const QString &folder);

// The whole content of a file.
Result<QByteArray> ReadWholeFile(const QString &path);

// Writes `bytes` to `path` whole or not at all (through a temporary file beside it, which never
// stays behind), replacing a file of that name.
Status WriteWholeFile(const QString &path, const QByteArray &bytes);

// True when both paths name the same existing file (through links too).
bool IsSameFile(const QString &first, const QString &second);

}  // namespace lumivane
