#pragma once

// The written page must be read in its own encoding again. The read-back can move a late
// <meta charset> out of the first 1024 bytes, where browsers look for it, and a page that had no
// declaration can come out as valid UTF-8 when a broken byte was in an attribute the parser
// dropped. When the bytes would be read in another encoding than the page's, a declaration goes
// right after the head's start tag.

#include "platform/text_codec.h"

#include <QString>

namespace lumivane {

QString keepEncodingDeclared(const QString &page, const PageEncoding &encoding);

}  // namespace lumivane
