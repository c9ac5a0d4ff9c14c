#pragma once

// Where a run's output goes, derived from the selected page's path alone.

#include <QString>

namespace lumivane {

// The text after the last path separator; the whole path when it holds none; empty when the path
// is empty or ends in a separator.
QString FileNameOfPath(const QString &path);

// The path up to and including its last separator (empty when it holds none).
QString FolderOfPath(const QString &path);

// The file name with every ".html", then every ".htm", removed (any letter case).
QString OutputBaseName(const QString &fileName);

// The output file's name: the base name followed by "_modified.html".
QString OutputFileName(const QString &selectedPath);

// The folder, the base name and "_modified.html".
QString OutputPath(const QString &selectedPath);

// The "anilibs" folder beside the page, ending in a separator.
QString LibraryTargetFolder(const QString &selectedPath);

}  // namespace lumivane
