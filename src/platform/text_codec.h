#pragma once

// A page's text in and out of its own encoding. The encoding is found as a browser finds it for a
// local file (encoding_sniffer.h), so that the page we write back looks the same as the page the
// user opened: browsers, not text editors, decide what a page means. Callers include this header
// for all of it.

#include "platform/charset_prescan.h"
#include "platform/encoding_sniffer.h"
#include "platform/page_encoding.h"

#include <QByteArray>
#include <QString>

namespace lumivane {

struct DecodedPage {
    QString text;  // without the byte-order mark
    PageEncoding encoding;
};

// Decodes a page as a browser does for a local file (see sniffPageEncoding).
DecodedPage decodePage(const QByteArray &bytes);
// The same, for bytes whose encoding is already known.
DecodedPage decodePage(QByteArrayView bytes, SniffedEncoding sniffed);

// Encodes text in the given encoding, byte-order mark included when the encoding has one.
// A character the encoding cannot hold is written as a numeric character reference (&#NNNN;).
QByteArray encodePage(const QString &text, const PageEncoding &encoding);

}  // namespace lumivane
