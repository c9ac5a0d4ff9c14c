#include "platform/encoding_sniffer.h"

#include "platform/charset_prescan.h"

namespace lumivane {

namespace {

using Kind = PageEncoding::Kind;

// The length of the byte-order mark that selected the encoding.
qsizetype markLength(const PageEncoding &encoding)
{
    return encoding.kind == Kind::Utf8 ? 3 : 2;
}

// Qt's check gives the web's answer: no overlong forms, no surrogates, nothing past U+10FFFF,
// noncharacters allowed (checked against a hand-written one on every sequence of up to three
// bytes and on four-byte ones), and it passes over ASCII many bytes at a time. Its decoder is
// another matter (see text_codec.cpp).
bool isValidUtf8(QByteArrayView bytes)
{
    return bytes.isValidUtf8();
}

}  // namespace

QByteArrayView SniffedEncoding::text(QByteArrayView bytes) const
{
    return evidence == Evidence::ByteOrderMark ? bytes.sliced(markLength(encoding)) : bytes;
}

bool SniffedEncoding::textIsValidUtf8(QByteArrayView bytes)
{
    if (encoding.kind != Kind::Utf8) {
        return false;
    }
    if (!validUtf8) {
        validUtf8 = isValidUtf8(text(bytes));
    }
    return *validUtf8;
}

std::optional<PageEncoding> byteOrderMarkEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return PageEncoding::of(Kind::Utf8, true);
    }
    if (bytes.startsWith("\xFF\xFE")) {
        return PageEncoding::of(Kind::Utf16LE, true);
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return PageEncoding::of(Kind::Utf16BE, true);
    }
    return std::nullopt;
}

SniffedEncoding sniffPageEncoding(QByteArrayView bytes)
{
    using Evidence = SniffedEncoding::Evidence;
    // A byte-order mark settles the encoding before anything else.
    if (std::optional<PageEncoding> marked = byteOrderMarkEncoding(bytes)) {
        return {std::move(*marked), Evidence::ByteOrderMark, std::nullopt};
    }
    // Then what the page declares in its first 1024 bytes.
    if (std::optional<PageEncoding> declared = prescanEncoding(bytes)) {
        return {std::move(*declared), Evidence::Declaration, std::nullopt};
    }
    // Then UTF-8 if the bytes allow it, else the classic Western default.
    const bool valid = isValidUtf8(bytes);
    return {PageEncoding::of(valid ? Kind::Utf8 : Kind::Windows1252), Evidence::Bytes, valid};
}

PageEncoding detectPageEncoding(const QByteArray &bytes)
{
    return sniffPageEncoding(bytes).encoding;
}

std::optional<PageEncoding> readsAsValidUtf8(const QByteArray &bytes)
{
    SniffedEncoding sniffed = sniffPageEncoding(bytes);
    if (!sniffed.textIsValidUtf8(bytes)) {
        return std::nullopt;
    }
    return std::move(sniffed.encoding);
}

}  // namespace lumivane
