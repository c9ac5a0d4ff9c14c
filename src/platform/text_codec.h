#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lumivane {

// How a page's bytes were (and will again be) encoded.
struct PageEncoding {
    enum class Kind {
        Utf8,
        Utf16LE,
        Utf16BE,
        Windows1252,
        Other,  // a legacy encoding named by the page, handled through Qt's converters
    };
    Kind kind = Kind::Utf8;
    bool byteOrderMark = false;
    // The encoding's canonical name ("UTF-8", "windows-1252", "Shift_JIS", ...); for Kind::Other
    // it is the name given to QStringDecoder/QStringEncoder.
    QByteArray name = "UTF-8";

    friend bool operator==(const PageEncoding &, const PageEncoding &) = default;
};

struct DecodedPage {
    QString text;  // without the byte-order mark
    PageEncoding encoding;
};

// Decodes a page as a browser does for a local file: byte-order mark first, then the
// <meta charset> / http-equiv prescan of the first 1024 bytes, then UTF-8 when the bytes are
// valid UTF-8, else windows-1252. "iso-8859-1" and "us-ascii" mean windows-1252, as in browsers.
DecodedPage decodePage(const QByteArray &bytes);

// The encoding decodePage gives the bytes when it reads them as UTF-8 and they are valid UTF-8;
// nothing otherwise. The bytes after any byte-order mark then are the decoded text, exactly, in
// UTF-8, and a caller that wants UTF-8 can skip the decoding. A quick pass over the bytes.
std::optional<PageEncoding> readsAsValidUtf8(const QByteArray &bytes);

// The encoding decodePage would read the bytes in, without decoding them.
PageEncoding detectPageEncoding(const QByteArray &bytes);

// Encodes text in the given encoding, byte-order mark included when the encoding has one.
// A character the encoding cannot hold is written as a numeric character reference (&#NNNN;).
QByteArray encodePage(const QString &text, const PageEncoding &encoding);

// The result of the prescan alone (empty when the first 1024 bytes declare nothing usable);
// exposed for the tests and for checks that a declaration stays inside the prescan window.
QByteArray prescanCharset(const QByteArray &bytes);

}  // namespace lumivane
