#pragma once

// How a browser tells a local page's encoding from its bytes, in its order of evidence: a
// byte-order mark, then a declaration in the first 1024 bytes, then UTF-8 when every byte is valid
// UTF-8, else windows-1252. "iso-8859-1" and "us-ascii" mean windows-1252, as in browsers.

#include "platform/page_encoding.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace lumivane {

// What the bytes of one page say about its encoding. Asked about other bytes, it answers wrongly.
struct SniffedEncoding {
    enum class Evidence { ByteOrderMark, Declaration, Bytes };

    PageEncoding encoding;
    Evidence evidence = Evidence::Bytes;
    std::optional<bool> validUtf8;  // whether the text is valid UTF-8, once that has been looked at

    // The bytes that hold the text: all of them but the byte-order mark.
    [[nodiscard]] QByteArrayView text(QByteArrayView bytes) const;
    // Whether the text is UTF-8 and its bytes are valid UTF-8, so that they are the decoded text
    // exactly. The bytes are looked at once at most: UTF-8 known from the bytes is valid already.
    bool textIsValidUtf8(QByteArrayView bytes);
};

SniffedEncoding sniffPageEncoding(QByteArrayView bytes);

// The encoding a byte-order mark at the start of the bytes selects; nothing without one.
std::optional<PageEncoding> byteOrderMarkEncoding(QByteArrayView bytes);

// The encoding decodePage reads the bytes in, without decoding them.
PageEncoding detectPageEncoding(const QByteArray &bytes);

// The encoding decodePage gives the bytes when it reads them as UTF-8 and they are valid UTF-8;
// nothing otherwise. The bytes after any byte-order mark then are the decoded text, exactly, in
// UTF-8, and a caller that wants UTF-8 can skip the decoding. A quick pass over the bytes.
std::optional<PageEncoding> readsAsValidUtf8(const QByteArray &bytes);

}  // namespace lumivane
