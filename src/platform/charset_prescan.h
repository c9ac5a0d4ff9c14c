#pragma once

// The quick look a browser takes at a page's first 1024 bytes, before any real parsing, for a
// declaration of its encoding: <meta charset>, <meta http-equiv="content-type"> or <?xml
// encoding>.

#include "platform/page_encoding.h"

#include <QByteArrayView>

#include <optional>

namespace lumivane {

// Browsers look for a declaration in the first 1024 bytes only.
inline constexpr qsizetype PrescanWindow = 1024;

// The encoding the first PrescanWindow bytes declare, when they declare one we can use.
std::optional<PageEncoding> prescanEncoding(QByteArrayView bytes);

// The canonical name of that encoding, or empty: for checks that a declaration stays inside the
// window.
QByteArray prescanCharset(const QByteArray &bytes);

}  // namespace lumivane
