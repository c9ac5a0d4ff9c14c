#pragma once

// Our own small layer of file, text and list operations that the restyle run relies on. They work
// on Qt strings and string lists instead of controls; every file operation reports failure as a
// readable message instead of failing silently.

#include "platform/result.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace lumivane {

// The whole content of a UTF-8 text file (a leading byte-order mark is dropped).
Result<QString> FileToTextBox(const QString &path);

// Appends each line of a UTF-8 text file to `list` (items already there stay). Line ends may be
// LF or CRLF; a final line end does not make an empty item, blank lines in the middle do.
Status FileToListBox(QStringList &list, const QString &path);

// As FileToListBox; kept as its own name for the window's combo boxes.
Status FileToComboBox(QStringList &list, const QString &path);

enum class CaseSensitivity { Exact, IgnoreCase };

// Every occurrence of `find`, left to right and without overlaps, replaced by `replacement`, in
// one linear pass: replaced text is not searched again. An empty `find` leaves the text as it is.
QString ReplaceText(const QString &text, const QString &find, const QString &replacement,
                    CaseSensitivity sensitivity = CaseSensitivity::Exact);

enum class PathKind { File, Folder };

// True when `path` exists as the given kind.
bool PathExists(const QString &path, PathKind kind);

// Puts the items in a new random order drawn from `random` (Fisher-Yates, so that a fixed seed
// gives the same order on every platform).
void ShuffleList(QStringList &list, QRandomGenerator &random);

}  // namespace lumivane
