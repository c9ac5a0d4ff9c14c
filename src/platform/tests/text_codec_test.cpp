#include "platform/text_codec.h"

#include "platform/html_document.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

PageEncoding encodingOf(PageEncoding::Kind kind, const char *name, bool byteOrderMark = false)
{
    return PageEncoding{kind, byteOrderMark, QByteArray(name)};
}

const PageEncoding utf8 = encodingOf(PageEncoding::Kind::Utf8, "UTF-8");
const PageEncoding utf8Bom = encodingOf(PageEncoding::Kind::Utf8, "UTF-8", true);
const PageEncoding utf16LE = encodingOf(PageEncoding::Kind::Utf16LE, "UTF-16LE", true);
const PageEncoding utf16BE = encodingOf(PageEncoding::Kind::Utf16BE, "UTF-16BE", true);
const PageEncoding windows1252 = encodingOf(PageEncoding::Kind::Windows1252, "windows-1252");

// A page of `size` bytes: ASCII filler, then `tail`.
QByteArray paddedTo(qsizetype size, const QByteArray &tail)
{
    return QByteArray(size - tail.size(), ' ') + tail;
}

void expectByteIdenticalRoundTrip(const QByteArray &bytes)
{
    const DecodedPage page = decodePage(bytes);
    EXPECT_EQ(encodePage(page.text, page.encoding).toHex(' '), bytes.toHex(' '));
}

}  // namespace

TEST(DecodePage, ByteOrderMarkThenDeclarationThenUtf8ElseWindows1252)
{
    const struct {
        QByteArray bytes;
        PageEncoding encoding;
        QString text;
    } cases[] = {
        // The mark selects the encoding, outranks a declaration and is not part of the text.
        {"\xEF\xBB\xBF<p>\xC3\xA9</p>"_ba, utf8Bom, u"<p>é</p>"_s},
        {"\xFF\xFE<\0p\0>\0\xE9\0"_ba, utf16LE, u"<p>é"_s},
        {"\xFE\xFF\0<\0p\0>\0\xE9"_ba, utf16BE, u"<p>é"_s},
        {"\xEF\xBB\xBF<meta charset=latin1>\xE2\x80\x9C"_ba, utf8Bom,
         u"<meta charset=latin1>\u201C"_s},
        // Only the first mark goes; a second U+FEFF is text.
        {"\xEF\xBB\xBF\xEF\xBB\xBFx"_ba, utf8Bom, u"\uFEFFx"_s},
        {"\xFF\xFE\xFF\xFEx\0"_ba, utf16LE, u"\uFEFFx"_s},
        // A UTF-16 label in the page means UTF-8.
        {"<meta charset=\"utf-16le\">\xC3\xA9"_ba, utf8, u"<meta charset=\"utf-16le\">é"_s},
        {"<meta charset=\"iso-8859-1\">\xC3\xA9"_ba, windows1252,
         u"<meta charset=\"iso-8859-1\">\u00C3\u00A9"_s},
        // Without a declaration: valid UTF-8 is UTF-8, anything else windows-1252.
        {"<p>caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80</p>"_ba, utf8, u"<p>café € 😀</p>"_s},
        {"<p>\x93Hi\x94 caf\xE9</p>"_ba, windows1252, u"<p>\u201CHi\u201D café</p>"_s},
        {"<meta charset=\"latin-1\">\x93"_ba, windows1252, u"<meta charset=\"latin-1\">\u201C"_s},
        // Declared UTF-8: one U+FFFD per broken piece, as a browser shows it.
        {"<meta charset=utf-8>a\xF0\x9F\x98z"_ba, utf8, u"<meta charset=utf-8>a\uFFFDz"_s},
        {"<meta charset=utf-8>\xC0\xAF!"_ba, utf8, u"<meta charset=utf-8>\uFFFD\uFFFD!"_s},
        {"<meta charset=utf-8>\xE2\x82"_ba, utf8, u"<meta charset=utf-8>\uFFFD"_s},
        // Unpaired surrogates and an odd last byte in UTF-16.
        {"\xFF\xFE\x00\xD8x\0\x00\xDCy\0\x41"_ba, utf16LE, u"\uFFFDx\uFFFDy\uFFFD"_s},
        // An XML declaration in UTF-16 without a mark: written back with one (see below).
        {"<\0?\0x\0m\0l\0 \0?\0>\0\xE9\0"_ba,
         encodingOf(PageEncoding::Kind::Utf16LE, "UTF-16LE", true), u"<?xml ?>é"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toHex(' ').toStdString());
        const DecodedPage page = decodePage(c.bytes);
        EXPECT_EQ(page.encoding, c.encoding);
        EXPECT_EQ(page.text, c.text);
    }
    // Near misses of UTF-8 are not UTF-8: overlong forms, surrogates, a cut-off sequence.
    for (const QByteArray &bytes : {"\xC0\xAF"_ba, "\xE0\x80\xAF"_ba, "\xED\xA0\x80"_ba,
                                    "\xF4\x90\x80\x80"_ba, "ok\xE2\x82"_ba}) {
        EXPECT_EQ(decodePage(bytes).encoding, windows1252) << bytes.toHex(' ').toStdString();
    }
    // A declaration past the first 1024 bytes is not seen.
    EXPECT_EQ(decodePage(paddedTo(2000, "<meta charset=\"latin1\">\xC3\xA9"_ba)).encoding, utf8);
}

TEST(Prescan, ReadsTheFirstUsableDeclarationAsBrowsersDo)
{
    const struct {
        QByteArray bytes;
        QByteArray label;
    } cases[] = {
        {"<meta charset=\"utf-8\">"_ba, "UTF-8"},
        {"<meta charset='ISO-8859-1'>"_ba, "windows-1252"},
        {"<META\tCharSet = \" Us-Ascii \" >"_ba, "windows-1252"},
        {"<meta/charset=utf8>"_ba, "UTF-8"},
        {"<meta charset=utf-8/>"_ba, ""},  // "utf-8/" is no label
        {"<meta charset=\"UTF-16BE\">"_ba, "UTF-8"},
        {"<meta charset=\"x-user-defined\">"_ba, "windows-1252"},
        // http-equiv content-type, in either order; "charset" without "=" is passed over.
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"_ba,
         "windows-1252"},
        {"<meta content='text/html;charset=\"utf-8\"' http-equiv=content-type>"_ba, "UTF-8"},
        {"<meta http-equiv=content-type content=\"x-charset; charset = latin1 ; q\">"_ba,
         "windows-1252"},
        {"<meta content=\"text/html; charset=utf-8\">"_ba, ""},
        {"<meta http-equiv=refresh content=\"0; charset=utf-8\">"_ba, ""},
        {"<meta http-equiv=content-type content=\"charset='utf-8\">"_ba, ""},
        // The first of repeated attributes counts.
        {"<meta charset=\"latin1\" charset=\"utf-8\">"_ba, "windows-1252"},
        {"<meta charset=latin1 http-equiv=content-type content=\"charset=utf-8\">"_ba,
         "windows-1252"},
        // Odd attribute syntax: a lone "=" is a name; an empty value stops at ">".
        {"<meta = charset=latin1>"_ba, "windows-1252"},
        {"<meta charset=><meta charset=latin1>"_ba, "windows-1252"},
        // Comments, other tags' values and the doctype hide what they hold.
        {"<!-- <meta charset=\"utf-8\"> --><meta charset=\"latin1\">"_ba, "windows-1252"},
        {"<!--><meta charset=latin1>"_ba, "windows-1252"},
        {"<!-- -><meta charset=latin1> -->"_ba, ""},
        {"<!-- unclosed <meta charset=latin1>"_ba, ""},
        {"<div title=\"<meta charset=utf-8>\"><meta charset=latin1>"_ba, "windows-1252"},
        {"<!DOCTYPE html <meta charset=utf-8>><meta charset=latin1>"_ba, "windows-1252"},
        // Unknown labels are passed over; "replacement" counts as no declaration.
        {"<meta charset=\"no-such-thing\"><meta charset=\"latin1\">"_ba, "windows-1252"},
        {"<meta charset=\"iso-2022-kr\">"_ba, ""},
        // XML declarations: only at the very start, and a <meta> wins over them.
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><html>"_ba, "windows-1252"},
        {"<?xml version='1.0' encoding = 'utf-16'?>"_ba, "UTF-8"},
        {"<?xml version=\"1.0\" encoding=\"latin1\"?><meta charset=utf-8>"_ba, "UTF-8"},
        {" <?xml version=\"1.0\" encoding=\"latin1\"?>"_ba, ""},
        {"<?xml version=\"1.0\"?><p encoding=\"latin1\">"_ba, ""},
        {"\0<\0?\0x\0m\0l"_ba, "UTF-16BE"},
        {QByteArray(), ""},
        {"charset=utf-8 <meta> <p charset=latin1>"_ba, ""},
        {"<meta charset=latin1"_ba, ""},
        // Only the first 1024 bytes: one byte more and the ">" falls outside.
        {paddedTo(1024, "<meta charset=\"latin1\">"_ba), "windows-1252"},
        {paddedTo(1025, "<meta charset=\"latin1\">"_ba), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.left(120).toStdString());
        EXPECT_EQ(prescanCharset(c.bytes), c.label);
    }
}

TEST(EncodePage, RoundTripsAreByteIdentical)
{
    QByteArray every = "<meta charset=\"windows-1252\">"_ba;  // the five undefined bytes too
    for (int byte = 0; byte < 256; ++byte) {
        every.append(static_cast<char>(byte));
    }
    EXPECT_EQ(decodePage(every).encoding, windows1252);
    for (const QByteArray &page : {
             "<p>\x93Quoted\x94 it\x92s \x85 a \x96 dash</p>\r\n"_ba,
             "<meta charset=\"iso-8859-1\">\x93Quoted\x94"_ba,
             every,
             "<p>caf\xC3\xA9 \xF0\x9F\x98\x80 \xE6\x97\xA5</p>\n"_ba,
             "\xEF\xBB\xBF<p>caf\xC3\xA9 \xF0\x9F\x98\x80</p>\n"_ba,
             // UTF-16 with a surrogate pair.
             "\xFF\xFE<\0p\0>\0\xE9\0=\xD8\0\xDE\xE5\x65\n\0"_ba,
             "\xFE\xFF\0<\0p\0>\0\xE9\xD8=\xDE\0\x65\xE5\0\n"_ba,
         }) {
        expectByteIdenticalRoundTrip(page);
    }
}

// The parser keeps an XML declaration only as a comment, which says nothing about the encoding:
// a UTF-16 page known by its declaration alone must still read as UTF-16 once written back.
TEST(EncodePage, Utf16KnownOnlyByItsXmlDeclarationStillReadsAsUtf16)
{
    for (const QByteArray &bytes : {"<\0?\0x\0m\0l\0 \0?\0>\0<\0p\0>\0\xE9\0"_ba,
                                    "\0<\0?\0x\0m\0l\0 \0?\0>\0<\0p\0>\0\xE9"_ba}) {
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        const DecodedPage page = decodePage(bytes);
        const QString readBack = Document::parse(page.text, page.encoding).readBack();
        ASSERT_EQ(readBack, u"<!--?xml ?-->\n<html><head></head><body><p>é</p></body></html>"_s);
        const DecodedPage written = decodePage(encodePage(readBack, page.encoding));
        EXPECT_EQ(written.encoding, page.encoding);
        EXPECT_EQ(written.text, readBack);
    }
}

TEST(EncodePage, WritesWhatTheEncodingCannotHoldAsNumericReferences)
{
    const QString lone = QString(QChar(u'a')) + QChar(char16_t(0xD800)) + QChar(u'b');
    const struct {
        QString text;
        PageEncoding encoding;
        QByteArray bytes;
    } cases[] = {
        {u"€ and 日本 and 😀"_s, windows1252, "\x80 and &#26085;&#26412; and &#128512;"_ba},
        // C1 controls: only the five undefined bytes exist in windows-1252.
        {u"\u0081\u0080\u009F"_s, windows1252, "\x81&#128;&#159;"_ba},
        {u"日😀"_s, utf16BE, "\xFE\xFF\x65\xE5\xD8\x3D\xDE\x00"_ba},
        // A lone surrogate is written as U+FFFD, as a browser would show it.
        {lone, utf8,
         "a\xEF\xBF\xBD"
         "b"_ba},
        {lone, encodingOf(PageEncoding::Kind::Utf16LE, "UTF-16LE"),
         "a\0\xFD\xFF"
         "b\0"_ba},
        {lone, windows1252, "a&#65533;b"_ba},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(encodePage(c.text, c.encoding), c.bytes);
    }
}

TEST(EncodePage, OtherLegacyEncodingsGoThroughQt)
{
    if (!QStringDecoder("windows-1251").isValid() || !QStringDecoder("Shift_JIS").isValid() ||
        !QStringDecoder("ISO-2022-JP").isValid()) {
        GTEST_SKIP() << "this Qt build lacks the legacy converters";
    }
    const QByteArray cyrillic = "<meta charset=\"cp1251\"><p>\xCF\xF0\xE8\xE2\xE5\xF2</p>"_ba;
    const DecodedPage decoded = decodePage(cyrillic);
    EXPECT_EQ(decoded.encoding, encodingOf(PageEncoding::Kind::Other, "windows-1251"));
    EXPECT_EQ(decoded.text, u"<meta charset=\"cp1251\"><p>Привет</p>"_s);
    expectByteIdenticalRoundTrip(cyrillic);
    EXPECT_EQ(encodePage(u"Жé日😀"_s, decoded.encoding), "\xC6&#233;&#26085;&#128512;"_ba);

    const QByteArray japanese = "<meta charset=\"sjis\">\x93\xfa\x96\x7b"_ba;
    const PageEncoding sjis = decodePage(japanese).encoding;
    EXPECT_EQ(sjis, encodingOf(PageEncoding::Kind::Other, "Shift_JIS"));
    expectByteIdenticalRoundTrip(japanese);
    // Qt encodes U+F86F without complaint, but the bytes read back as U+2116: not held.
    EXPECT_EQ(encodePage(u"\uF86F\u2116"_s, sjis), "&#63599;\x87\x82"_ba);
    // A sequence cut off at the end of the file is shown, not dropped.
    EXPECT_TRUE(decodePage(japanese + "\x82"_ba).text.endsWith(u"日本\uFFFD"_s));
    // In ISO-2022-JP a reference comes after the switch back to ASCII, and so does the end.
    const PageEncoding jis = encodingOf(PageEncoding::Kind::Other, "ISO-2022-JP");
    EXPECT_EQ(encodePage(u"日😀"_s, jis), "\x1B$BF|\x1B(B&#128512;"_ba);
    EXPECT_EQ(encodePage(u"a日"_s, jis), "a\x1B$BF|\x1B(B"_ba);
}
