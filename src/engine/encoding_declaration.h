#pragma once

// The written page must be read in its own encoding again. A browser decides from the bytes
// alone: a byte-order mark, else a declaration its prescan finds in the first 1024 bytes, else a
// guess from the visitor's language settings, which only plain ASCII survives unharmed. The
// read-back and the inserts can move the page's own <meta charset> out of those 1024 bytes (the
// back-button script in an empty head, a head that the parser left empty), and a page may never
// have declared its encoding at all. Then a declaration goes where the prescan finds it.

#include "platform/result.h"
#include "platform/text_codec.h"

#include <QByteArray>
#include <QString>

namespace lumivane {

struct EncodedPage {
    QString text;      // the page, with the declaration when one was added
    QByteArray bytes;  // the same in the page's encoding: what goes to disk
};

// Encodes `page` once and checks the bytes as a browser reads them; when they would be read in
// another encoding, a declaration goes right after the head's start tag (or as early as the page
// allows) in the text and the bytes alike. An error when even then a browser would read the bytes
// in another encoding: such a page must not be written.
Result<EncodedPage> encodeDeclared(const QString &page, const PageEncoding &encoding);

}  // namespace lumivane
