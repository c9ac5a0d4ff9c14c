#pragma once

// Reading the page the user picked: the checks that turn a wrong pick (a folder, a pipe, an empty
// or binary file, a file far larger than any web page) into a message before the parser sees it.

#include "platform/result.h"
#include "platform/text_codec.h"

#include <QString>

namespace lumivane {

// Larger pages are refused before they are read: the run holds several copies of the page while
// it works, and no hand-made web page comes near this size.
inline constexpr qint64 MaxPageBytes = qint64(100) * 1024 * 1024;

// The page as read from disk. Most pages are valid UTF-8, which the parser reads as it is, so such
// a page stays in bytes (without its byte-order mark) and skips a round trip through UTF-16; any
// other page is decoded as a browser decodes a local file (see decodePage).
struct PageFile {
    PageEncoding encoding;
    bool keptAsUtf8 = false;
    QByteArray utf8;  // the page when keptAsUtf8
    QString text;     // the page otherwise
    qint64 fileSize = 0;
};

// The page's bytes as they are on disk, or a message that names the page and says why it cannot
// be read (a folder, a pipe, a file over the size limit, the system's reason).
Result<QByteArray> ReadPageBytes(const QString &path);

// The page from its bytes, or a message naming `path` when it is empty or binary (NUL bytes).
Result<PageFile> PageFromBytes(QByteArray bytes, const QString &path);

// Both of the above.
Result<PageFile> ReadPageFile(const QString &path);

}  // namespace lumivane
