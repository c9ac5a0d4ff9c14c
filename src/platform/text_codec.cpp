#include "platform/text_codec.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <optional>

namespace lumivane {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// ---------------------------------------------------------------------------------------------
// Decoders
// ---------------------------------------------------------------------------------------------

void appendCodePoint(QString &text, char32_t codePoint)
{
    if (codePoint > 0xFFFF) {
        text.append(QChar::highSurrogate(codePoint));
        text.append(QChar::lowSurrogate(codePoint));
    } else {
        text.append(QChar(static_cast<char16_t>(codePoint)));
    }
}

// UTF-8 as browsers decode it: each broken sequence (the longest start of a valid sequence, or a
// single byte) becomes one U+FFFD. Qt's decoder differs on broken bytes: it gives one U+FFFD per
// byte of a cut-off sequence ("\xE2\x82" at the end is two, "\xF0\x9F\x98z" three), where a
// browser shows one. On valid UTF-8 the two agree, and Qt's is many times faster.
QString decodeBrokenUtf8(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    char32_t codePoint = 0;
    int needed = 0;
    int seen = 0;
    unsigned char lowerBoundary = 0x80;
    unsigned char upperBoundary = 0xBF;

    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (needed == 0) {
            if (byte <= 0x7F) {
                text.append(QChar(static_cast<char16_t>(byte)));
            } else if (byte >= 0xC2 && byte <= 0xDF) {
                needed = 1;
                codePoint = byte & 0x1F;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                // No overlong three-byte forms, no surrogates.
                if (byte == 0xE0) {
                    lowerBoundary = 0xA0;
                }
                if (byte == 0xED) {
                    upperBoundary = 0x9F;
                }
                needed = 2;
                codePoint = byte & 0x0F;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                // No overlong four-byte forms, nothing past U+10FFFF.
                if (byte == 0xF0) {
                    lowerBoundary = 0x90;
                }
                if (byte == 0xF4) {
                    upperBoundary = 0x8F;
                }
                needed = 3;
                codePoint = byte & 0x07;
            } else {
                text.append(QChar(static_cast<char16_t>(replacementCharacter)));
            }
            continue;
        }
        if (byte < lowerBoundary || byte > upperBoundary) {
            // The sequence broke off: one U+FFFD, and this byte starts afresh.
            codePoint = 0;
            needed = 0;
            seen = 0;
            lowerBoundary = 0x80;
            upperBoundary = 0xBF;
            text.append(QChar(static_cast<char16_t>(replacementCharacter)));
            --i;
            continue;
        }
        lowerBoundary = 0x80;
        upperBoundary = 0xBF;
        codePoint = (codePoint << 6) | (byte & 0x3F);
        if (++seen == needed) {
            appendCodePoint(text, codePoint);
            codePoint = 0;
            needed = 0;
            seen = 0;
        }
    }
    if (needed != 0) {
        // Cut off at the end of the file.
        text.append(QChar(static_cast<char16_t>(replacementCharacter)));
    }
    return text;
}

// Valid UTF-8 through Qt. Not QString::fromUtf8(), which drops a U+FEFF at the start: after the
// byte-order mark a second one is text.
QString decodeValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// UTF-16 as browsers decode it: an unpaired surrogate or an odd last byte becomes U+FFFD.
QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString text;
    text.reserve(bytes.size() / 2 + 1);
    char16_t pendingHigh = 0;
    const qsizetype units = bytes.size() / 2;
    for (qsizetype i = 0; i < units; ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        const auto unit =
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
        if (pendingHigh != 0) {
            if (QChar::isLowSurrogate(unit)) {
                text.append(QChar(pendingHigh));
                text.append(QChar(unit));
                pendingHigh = 0;
                continue;
            }
            text.append(QChar(static_cast<char16_t>(replacementCharacter)));
            pendingHigh = 0;
        }
        if (QChar::isHighSurrogate(unit)) {
            pendingHigh = unit;
        } else if (QChar::isLowSurrogate(unit)) {
            text.append(QChar(static_cast<char16_t>(replacementCharacter)));
        } else {
            text.append(QChar(unit));
        }
    }
    if (pendingHigh != 0 || bytes.size() % 2 != 0) {
        text.append(QChar(static_cast<char16_t>(replacementCharacter)));
    }
    return text;
}

// windows-1252 bytes 0x80-0x9F. The five bytes Windows leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 control of the same value, as in browsers, so every byte decodes and
// every page encodes back byte for byte.
constexpr std::array<char16_t, 32> windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar((byte >= 0x80 && byte <= 0x9F) ? windows1252High[byte - 0x80]
                                                      : static_cast<char16_t>(byte));
    }
    return text;
}

// A legacy encoding through Qt. Qt holds back a sequence cut off at the end of the bytes and
// drops it silently; feeding one more, harmless byte shows whether anything was held back, so the
// cut-off sequence becomes U+FFFD, as in a browser, instead of disappearing.
QString decodeOther(QByteArrayView bytes, const QByteArray &name)
{
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    const QString tail = decoder.decode(QByteArrayView("\n"));
    if (tail != u"\n") {
        text.append(QChar(static_cast<char16_t>(replacementCharacter)));
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Encoders
// ---------------------------------------------------------------------------------------------

// Calls visit(codePoint) for each character; an unpaired surrogate (which no encoding can hold
// and no browser would display) comes out as U+FFFD.
template <typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            visit(replacementCharacter);
        } else {
            visit(static_cast<char32_t>(unit));
        }
    }
}

void appendCharacterReference(QByteArray &bytes, char32_t codePoint)
{
    bytes.append("&#");
    bytes.append(QByteArray::number(static_cast<uint>(codePoint)));
    bytes.append(';');
}

void appendUtf16Unit(QByteArray &bytes, char16_t unit, bool bigEndian)
{
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    bytes.append(bigEndian ? high : low);
    bytes.append(bigEndian ? low : high);
}

// Qt's UTF-8 encoder, stateless so that a high surrogate at the very end is not held back for
// more text, writes U+FFFD for an unpaired surrogate, as a browser shows it; QString::toUtf8()
// would write a "?" instead. (Checked against a hand-written encoder on every single unit and on
// every pair of units around the surrogates; it is several times faster.)
QByteArray encodeUtf8(QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    forEachCodePoint(text, [&](char32_t cp) {
        if (cp > 0xFFFF) {
            appendUtf16Unit(bytes, QChar::highSurrogate(cp), bigEndian);
            appendUtf16Unit(bytes, QChar::lowSurrogate(cp), bigEndian);
        } else {
            appendUtf16Unit(bytes, static_cast<char16_t>(cp), bigEndian);
        }
    });
    return bytes;
}

std::optional<char> windows1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < windows1252High.size(); ++i) {
        if (windows1252High[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

QByteArray encodeWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    forEachCodePoint(text, [&](char32_t cp) {
        if (const std::optional<char> byte = windows1252Byte(cp)) {
            bytes.append(*byte);
        } else {
            appendCharacterReference(bytes, cp);
        }
    });
    return bytes;
}

// Whether a legacy encoding holds a character: it must encode without error and decode back to
// itself (Qt substitutes a byte for what it cannot encode and only flags it, and a one-way
// "best fit" mapping would change the text).
bool otherEncodingHolds(const QByteArray &name, char32_t cp)
{
    QString character;
    appendCodePoint(character, cp);
    QStringEncoder encoder(name.constData(), QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder.encode(character);
    if (encoder.hasError() || bytes.isEmpty()) {
        return false;
    }
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless |
                                                 QStringDecoder::Flag::ConvertInitialBom);
    const QString back = decoder.decode(bytes);
    return !decoder.hasError() && back == character;
}

QByteArray encodeOther(QStringView text, const QByteArray &name)
{
    QStringEncoder encoder(name.constData());
    if (!encoder.isValid()) {
        return encodeUtf8(text);  // not reachable through decodePage, which checks the name
    }

    // Characters the encoding cannot hold become character references first, then the whole text
    // goes through one encoder, so stateful encodings (ISO-2022-JP) keep their shift state right.
    // Each distinct character is checked once.
    QHash<char32_t, bool> holds;
    QString prepared;
    prepared.reserve(text.size());
    forEachCodePoint(text, [&](char32_t cp) {
        auto known = holds.constFind(cp);
        if (known == holds.constEnd()) {
            known = holds.insert(cp, otherEncodingHolds(name, cp));
        }
        if (known.value()) {
            appendCodePoint(prepared, cp);
        } else {
            prepared.append(u"&#");
            prepared.append(QString::number(static_cast<uint>(cp)));
            prepared.append(u';');
        }
    });
    // A stateful encoding switches back to ASCII only when an ASCII character follows, so a page
    // ending in Japanese would be left in the wrong shift state. A final newline makes the encoder
    // switch back, and is then taken off again.
    prepared.append(u'\n');
    QByteArray bytes = encoder.encode(prepared);
    if (bytes.endsWith('\n')) {
        bytes.chop(1);
    }
    return bytes;
}

}  // namespace

DecodedPage decodePage(QByteArrayView bytes, SniffedEncoding sniffed)
{
    const PageEncoding &encoding = sniffed.encoding;
    const QByteArrayView text = sniffed.text(bytes);
    switch (encoding.kind) {
    case PageEncoding::Kind::Utf8:
        return {sniffed.textIsValidUtf8(bytes) ? decodeValidUtf8(text) : decodeBrokenUtf8(text),
                encoding};
    case PageEncoding::Kind::Utf16LE:
        return {decodeUtf16(text, false), encoding};
    case PageEncoding::Kind::Utf16BE:
        return {decodeUtf16(text, true), encoding};
    case PageEncoding::Kind::Windows1252:
        return {decodeWindows1252(text), encoding};
    case PageEncoding::Kind::Other:
        return {decodeOther(text, encoding.name), encoding};
    }
    return {decodeBrokenUtf8(text), encoding};
}

DecodedPage decodePage(const QByteArray &bytes)
{
    return decodePage(bytes, sniffPageEncoding(bytes));
}

QByteArray encodePage(const QString &text, const PageEncoding &encoding)
{
    switch (encoding.kind) {
    case PageEncoding::Kind::Utf8: {
        const QByteArray body = encodeUtf8(text);
        return encoding.byteOrderMark ? QByteArray("\xEF\xBB\xBF") + body : body;
    }
    case PageEncoding::Kind::Utf16LE: {
        const QByteArray body = encodeUtf16(text, false);
        return encoding.byteOrderMark ? QByteArray("\xFF\xFE") + body : body;
    }
    case PageEncoding::Kind::Utf16BE: {
        const QByteArray body = encodeUtf16(text, true);
        return encoding.byteOrderMark ? QByteArray("\xFE\xFF") + body : body;
    }
    case PageEncoding::Kind::Windows1252:
        return encodeWindows1252(text);
    case PageEncoding::Kind::Other:
        return encodeOther(text, encoding.name);
    }
    return encodeUtf8(text);
}

}  // namespace lumivane
