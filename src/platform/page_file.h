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

// The page's bytes, decoded as a browser decodes a local file (see decodePage), or a message that
// names the page and says what is wrong with it.
Result<DecodedPage> ReadPageFile(const QString &path);

}  // namespace lumivane
