#include "platform/text_codec.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

using Kind = PageEncoding::Kind;
const PageEncoding utf8 = PageEncoding::of(Kind::Utf8);
const PageEncoding utf8Bom = PageEncoding::of(Kind::Utf8, true);
const PageEncoding utf16LE = PageEncoding::of(Kind::Utf16LE, true);
const PageEncoding utf16BE = PageEncoding::of(Kind::Utf16BE, true);
const PageEncoding windows1252 = PageEncoding::of(Kind::Windows1252);
const QByteArray w1252 = "windows-1252";

// Bytes in an encoding and the text they stand for.
struct Case {
    QByteArray bytes;
    PageEncoding encoding;
    QString text;
};

}  // namespace

TEST(DecodePage, ByteOrderMarkThenDeclarationThenUtf8ElseWindows1252)
{
    // These decode to the text, which encodes back to the same bytes.
    const Case exact[] = {
        // The mark outranks a declaration and is no part of the text; a second U+FEFF is text.
        {"\xEF\xBB\xBF\xEF\xBB\xBF<meta charset=latin1>\xE2\x80\x9C"_ba, utf8Bom,
         u"\uFEFF<meta charset=latin1>“"_s},
        {"\xFF\xFE\xFF\xFE<\0\xE9\0=\xD8\0\xDE\xE5\x65"_ba, utf16LE, u"\uFEFF<é😀日"_s},
        {"\xFE\xFF\0<\0\xE9\xD8=\xDE\0\x65\xE5"_ba, utf16BE, u"<é😀日"_s},
        // A UTF-16 label in ASCII bytes means UTF-8.
        {"<meta charset=\"utf-16le\">\xC3\xA9"_ba, utf8, u"<meta charset=\"utf-16le\">é"_s},
        {"<meta charset=iso-8859-1>\xC3\xA9"_ba, windows1252, u"<meta charset=iso-8859-1>Ã©"_s},
        // Without a declaration: valid UTF-8 (noncharacters too) is UTF-8, else windows-1252.
        {"<p>\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBF"_ba, utf8, u"<p>é€😀\uFFFF"_s},
        {"<p>\x93Hi\x94 caf\xE9</p>"_ba, windows1252, u"<p>“Hi” café</p>"_s},
    };
    const Case lossy[] = {
        // Declared UTF-8: one U+FFFD per broken piece, as a browser shows it.
        {"<meta charset=utf-8>a\xF0\x9F\x98z\xC0\xAF\xE2\x82"_ba, utf8,
         u"<meta charset=utf-8>a\uFFFDz\uFFFD\uFFFD\uFFFD"_s},
        // Unpaired surrogates and an odd last byte in UTF-16.
        {"\xFF\xFE\x00\xD8x\0\x00\xDCy\0\x41"_ba, utf16LE, u"\uFFFDx\uFFFDy\uFFFD"_s},
        // An XML declaration in UTF-16 without a mark: the parser keeps it only as a comment, which
        // says nothing of the encoding, so the page is written back with a mark.
        {"<\0?\0x\0m\0l\0 \0?\0>\0\xE9\0"_ba, utf16LE, u"<?xml ?>é"_s},
        {"\0<\0?\0x\0>\0\xE9"_ba, utf16BE, u"<?x>é"_s},
    };
    const auto check = [](const Case &c, bool writtenBack) {
        SCOPED_TRACE(c.bytes.toHex(' ').toStdString());
        const DecodedPage page = decodePage(c.bytes);
        EXPECT_EQ(page.encoding, c.encoding);
        EXPECT_EQ(page.text, c.text);
        EXPECT_EQ(detectPageEncoding(c.bytes), c.encoding);
        EXPECT_EQ(encodePage(c.text, c.encoding) == c.bytes, writtenBack);
        // The bytes are kept as they are exactly when they are UTF-8 that writes back as is.
        const bool kept = writtenBack && c.encoding.kind == Kind::Utf8;
        EXPECT_EQ(readsAsValidUtf8(c.bytes), kept ? std::optional(c.encoding) : std::nullopt);
    };
    for (const Case &c : exact) {
        check(c, true);
    }
    for (const Case &c : lossy) {
        check(c, false);
    }
    // Near misses of UTF-8 are not UTF-8: overlong forms, surrogates, past U+10FFFF, cut off.
    for (const QByteArray &bytes : {"\xC0\xAF"_ba, "\xE0\x80\xAF"_ba, "\xED\xA0\x80"_ba,
                                    "\xF4\x90\x80\x80"_ba, "ok\xE2\x82"_ba}) {
        EXPECT_EQ(decodePage(bytes).encoding, windows1252) << bytes.toHex(' ').toStdString();
    }
}

TEST(Prescan, ReadsTheFirstUsableDeclarationAsBrowsersDo)
{
    const QByteArray meta = "<meta charset=latin1>";
    const QByteArray padding(1024 - meta.size(), ' ');
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"<META\tCharSet = \" Us-Ascii \" >"_ba, w1252},
        {"<meta/charset=utf8>"_ba, "UTF-8"},
        {"<meta charset=utf-8/>"_ba, ""},  // "utf-8/" is no label
        {"<meta charset='x-user-defined'>"_ba, w1252},
        // http-equiv content-type, in either order; "charset" without "=" is passed over.
        {"<meta content='text/html;charset=\"latin1\"' http-equiv=Content-Type>"_ba, w1252},
        {"<meta http-equiv=content-type content='x-charset; charset = latin1 ; q'>"_ba, w1252},
        {"<meta http-equiv=refresh content=\"text/html; charset=utf-8\">"_ba, ""},
        {"<meta http-equiv=content-type content=\"charset='utf-8\">"_ba, ""},
        // The first of repeated attributes counts.
        {"<meta charset=latin1 http-equiv=content-type content=charset=utf-8 charset=utf-8>"_ba,
         w1252},
        // Odd attribute syntax: a lone "=" is a name; an empty value stops at ">".
        {"<meta = charset=latin1>"_ba, w1252},
        {"<meta charset=><meta charset=latin1>"_ba, w1252},
        // Comments, other tags' values and the doctype hide what they hold.
        {"<!--><meta charset=latin1>"_ba, w1252},
        {"<!-- -><meta charset=latin1> -->"_ba, ""},
        {"<!-- unclosed <meta charset=latin1>"_ba, ""},
        {"<div title=\"><meta charset=utf-8>\"><meta charset=latin1>"_ba, w1252},
        {"<!DOCTYPE html <meta charset=utf-8>><meta charset=latin1>"_ba, w1252},
        // Unknown labels are passed over; "replacement" counts as no declaration.
        {"<meta charset=no-such-thing><meta charset=iso-2022-kr><meta charset=latin1>"_ba, w1252},
        // XML declarations: only at the very start, and a <meta> wins over them.
        {"<?xml version='1.0' encoding = 'utf-16'?>"_ba, "UTF-8"},
        {"<?xml version=\"1.0\" encoding=\"latin1\"?><meta charset=utf-8>"_ba, "UTF-8"},
        {" <?xml version=\"1.0\" encoding=\"latin1\"?>"_ba, ""},
        {"<?xml version=\"1.0\"?><p encoding=\"latin1\">"_ba, ""},
        {"<meta charset=latin1 "_ba, ""},  // the tag never closes
        // Only the first 1024 bytes: one byte more and the ">" falls outside.
        {padding + meta, w1252},
        {padding + ' ' + meta, ""},
    };
    for (const auto &[bytes, label] : cases) {
        EXPECT_EQ(prescanCharset(bytes), label) << bytes.left(120).toStdString();
    }
}

TEST(EncodePage, WritesWhatTheEncodingCannotHoldAsNumericReferences)
{
    // Unpaired surrogates, one at the very end, come out as U+FFFD, as a browser shows them.
    const QString lone = u"a"_s + QChar(char16_t(0xDC00)) + u"x"_s + QChar(char16_t(0xD800));
    const Case cases[] = {
        {"\x80 and &#26085;&#26412; and &#128512;"_ba, windows1252, u"€ and 日本 and 😀"_s},
        // C1 controls: only the five undefined bytes exist in windows-1252.
        {"\x81&#128;&#159;"_ba, windows1252, u"\u0081\u0080\u009F"_s},
        {"a\xEF\xBF\xBDx\xEF\xBF\xBD"_ba, utf8, lone},
        {"\xFE\xFF\0a\xFF\xFD\0x\xFF\xFD"_ba, utf16BE, lone},
        {"a&#65533;x&#65533;"_ba, windows1252, lone},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(encodePage(c.text, c.encoding), c.bytes) << c.text.toStdString();
    }
    // Every byte reads back as itself, the five that windows-1252 leaves undefined too.
    QByteArray every;
    for (int byte = 0; byte < 256; ++byte) {
        every.append(static_cast<char>(byte));
    }
    EXPECT_EQ(encodePage(decodePage(every).text, windows1252), every);
}

TEST(EncodePage, OtherLegacyEncodingsGoThroughQt)
{
    if (!QStringDecoder("Shift_JIS").isValid() || !QStringDecoder("ISO-2022-JP").isValid()) {
        GTEST_SKIP() << "this Qt build lacks the legacy converters";
    }
    const QByteArray japanese = "<meta charset=\"sjis\">\x93\xfa\x96\x7b"_ba;
    const DecodedPage sjis = decodePage(japanese);
    EXPECT_EQ(sjis.encoding, (PageEncoding{Kind::Other, false, "Shift_JIS"}));
    EXPECT_EQ(encodePage(sjis.text, sjis.encoding), japanese);
    // Qt encodes U+F86F without complaint, but the bytes read back as U+2116: not held.
    EXPECT_EQ(encodePage(u"\uF86F\u2116"_s, sjis.encoding), "&#63599;\x87\x82"_ba);
    // A sequence cut off at the end of the file is shown, not dropped.
    EXPECT_TRUE(decodePage(japanese + "\x82"_ba).text.endsWith(u"日本\uFFFD"_s));
    // In ISO-2022-JP a reference comes after the switch back to ASCII, and so does the end.
    const PageEncoding jis{Kind::Other, false, "ISO-2022-JP"};
    EXPECT_EQ(encodePage(u"日😀日"_s, jis), "\x1B$BF|\x1B(B&#128512;\x1B$BF|\x1B(B"_ba);
}
