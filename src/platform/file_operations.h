#pragma once

// Folder and file operations of the output stage, each failing with a message that names the path
// and gives the operating system's reason.

#include "platform/result.h"

#include <QString>
#include <QStringList>

namespace lumivane {

// Creates one folder level unless a folder is already there.
Status EnsureFolder(const QString &folder);

// The names of the plain files directly inside `folder`: no subfolders, no hidden or system files.
Result<QStringList> ListPlainFiles(const QString &folder);

// Copies one file, replacing a file of the same name at the target.
Status CopyFileReplacing(const QString &source, const QString &target);

// True when both paths name the same existing file (through links too).
bool IsSameFile(const QString &first, const QString &second);

}  // namespace lumivane
