#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

PageEncoding encodingOf(PageEncoding::Kind kind, const char *name, bool byteOrderMark = false)
{
    PageEncoding encoding;
    encoding.kind = kind;
    encoding.name = QByteArray(name);
    encoding.byteOrderMark = byteOrderMark;
    return encoding;
}

const PageEncoding utf8 = encodingOf(PageEncoding::Kind::Utf8, "UTF-8");
const PageEncoding windows1252 = encodingOf(PageEncoding::Kind::Windows1252, "windows-1252");

// decodePage then encodePage must give back exactly the bytes that were read.
void expectByteIdenticalRoundTrip(const QByteArray &bytes)
{
    const DecodedPage page = decodePage(bytes);
    EXPECT_EQ(encodePage(page.text, page.encoding).toHex(' '), bytes.toHex(' '));
}

// A page of `size` bytes: ASCII filler, then `tail`.
QByteArray paddedTo(qsizetype size, const QByteArray &tail)
{
    return QByteArray(size - tail.size(), ' ') + tail;
}

}  // namespace

// ----- Byte-order marks -------------------------------------------------------------------------

TEST(ByteOrderMark, SelectsTheEncodingAndIsNotPartOfTheText)
{
    const DecodedPage fromUtf8 = decodePage("\xEF\xBB\xBF<p>\xC3\xA9</p>"_ba);
    EXPECT_EQ(fromUtf8.encoding, encodingOf(PageEncoding::Kind::Utf8, "UTF-8", true));
    EXPECT_EQ(fromUtf8.text, u"<p>é</p>"_s);

    const DecodedPage fromLittle = decodePage("\xFF\xFE<\0p\0>\0\xE9\0"_ba);
    EXPECT_EQ(fromLittle.encoding, encodingOf(PageEncoding::Kind::Utf16LE, "UTF-16LE", true));
    EXPECT_EQ(fromLittle.text, u"<p>é"_s);

    const DecodedPage fromBig = decodePage("\xFE\xFF\0<\0p\0>\0\xE9"_ba);
    EXPECT_EQ(fromBig.encoding, encodingOf(PageEncoding::Kind::Utf16BE, "UTF-16BE", true));
    EXPECT_EQ(fromBig.text, u"<p>é"_s);
}

TEST(ByteOrderMark, OutranksADeclarationInThePage)
{
    const DecodedPage page =
        decodePage("\xEF\xBB\xBF<meta charset=\"windows-1252\">\xE2\x80\x9C"_ba);
    EXPECT_EQ(page.encoding.kind, PageEncoding::Kind::Utf8);
    EXPECT_TRUE(page.text.endsWith(u"\u201C"_s));
}

TEST(ByteOrderMark, OnlyTheFirstMarkIsRemoved)
{
    // A second U+FEFF is text; dropping it would change the page.
    EXPECT_EQ(decodePage("\xEF\xBB\xBF\xEF\xBB\xBFx"_ba).text, u"\uFEFFx"_s);
    EXPECT_EQ(decodePage("\xFF\xFE\xFF\xFEx\0"_ba).text, u"\uFEFFx"_s);
}

// ----- The <meta> prescan -----------------------------------------------------------------------

TEST(Prescan, ReadsCharsetAttributeQuotedOrNot)
{
    EXPECT_EQ(prescanCharset("<meta charset=\"utf-8\">"_ba), "UTF-8");
    EXPECT_EQ(prescanCharset("<meta charset='ISO-8859-1'>"_ba), "windows-1252");
    EXPECT_EQ(prescanCharset("<meta charset=latin1>"_ba), "windows-1252");
    EXPECT_EQ(prescanCharset("<meta charset=utf-8/>"_ba), "");  // "utf-8/" is no label
    EXPECT_EQ(prescanCharset("<META\tCharSet = \" Us-Ascii \" >"_ba), "windows-1252");
    EXPECT_EQ(prescanCharset("<meta/charset=utf8>"_ba), "UTF-8");
}

TEST(Prescan, FindsTheDeclarationInARealisticHead)
{
    const QByteArray head = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n"
                            "<?php echo 1; ?><title>Shop</title>\n"
                            "<link rel=\"stylesheet\" href=\"a.css\"/>\n"
                            "<meta name=\"viewport\" content=\"width=device-width\">\n"
                            "<meta charset=\"windows-1252\">\n</head>"_ba;
    EXPECT_EQ(prescanCharset(head), "windows-1252");
}

TEST(Prescan, ReadsHttpEquivContentTypeInEitherOrder)
{
    EXPECT_EQ(prescanCharset("<meta http-equiv=\"Content-Type\" "
                             "content=\"text/html; charset=iso-8859-1\">"_ba),
              "windows-1252");
    EXPECT_EQ(prescanCharset("<meta content='text/html;charset=\"utf-8\"' "
                             "http-equiv=content-type>"_ba),
              "UTF-8");
    // "charset" without "=" is skipped and the search goes on.
    EXPECT_EQ(prescanCharset("<meta http-equiv=content-type "
                             "content=\"x-charset; charset = latin1 ; q\">"_ba),
              "windows-1252");
}

TEST(Prescan, IgnoresContentWithoutTheContentTypePragma)
{
    EXPECT_EQ(prescanCharset("<meta content=\"text/html; charset=utf-8\">"_ba), "");
    EXPECT_EQ(prescanCharset("<meta http-equiv=refresh content=\"0; charset=utf-8\">"_ba), "");
    // An unmatched quote in the content yields nothing.
    EXPECT_EQ(prescanCharset("<meta http-equiv=content-type content=\"charset='utf-8\">"_ba), "");
}

TEST(Prescan, FirstOfRepeatedAttributesCounts)
{
    EXPECT_EQ(prescanCharset("<meta charset=\"latin1\" charset=\"utf-8\">"_ba), "windows-1252");
    // A charset attribute before the content attribute keeps its place.
    EXPECT_EQ(prescanCharset("<meta charset=latin1 http-equiv=content-type "
                             "content=\"text/html; charset=utf-8\">"_ba),
              "windows-1252");
}

TEST(Prescan, ReadsOddAttributeSyntaxAsBrowsersDo)
{
    // A lone "=" is an attribute name, not the start of a value.
    EXPECT_EQ(prescanCharset("<meta = charset=latin1>"_ba), "windows-1252");
    // An empty value stops at ">" and does not swallow the next tag.
    EXPECT_EQ(prescanCharset("<meta charset=><meta charset=latin1>"_ba), "windows-1252");
}

TEST(Prescan, SkipsCommentsAndAttributeValuesOfOtherTags)
{
    EXPECT_EQ(prescanCharset("<!-- <meta charset=\"utf-8\"> --><meta charset=\"latin1\">"_ba),
              "windows-1252");
    // "-->" needs its own dashes unless they are those of "<!--": "<!-->" is a whole comment,
    // "<!-- ->" is not closed.
    EXPECT_EQ(prescanCharset("<!--><meta charset=latin1>"_ba), "windows-1252");
    EXPECT_EQ(prescanCharset("<!-- -><meta charset=latin1> -->"_ba), "");
    // A comment still open at the end hides everything after it.
    EXPECT_EQ(prescanCharset("<!-- unclosed <meta charset=latin1>"_ba), "");
    EXPECT_EQ(prescanCharset("<div title=\"<meta charset=utf-8>\"><meta charset=latin1>"_ba),
              "windows-1252");
    EXPECT_EQ(prescanCharset("<!DOCTYPE html <meta charset=utf-8>><meta charset=latin1>"_ba),
              "windows-1252");
}

TEST(Prescan, UnknownLabelsAreSkippedForALaterDeclaration)
{
    EXPECT_EQ(prescanCharset("<meta charset=\"no-such-thing\"><meta charset=\"latin1\">"_ba),
              "windows-1252");
    // "replacement" would turn the whole page into a single U+FFFD; it counts as no declaration.
    EXPECT_EQ(prescanCharset("<meta charset=\"iso-2022-kr\">"_ba), "");
}

TEST(Prescan, Utf16LabelsMeanUtf8AndUserDefinedMeansWindows1252)
{
    EXPECT_EQ(prescanCharset("<meta charset=\"utf-16\">"_ba), "UTF-8");
    EXPECT_EQ(prescanCharset("<meta charset=\"UTF-16BE\">"_ba), "UTF-8");
    EXPECT_EQ(prescanCharset("<meta charset=\"x-user-defined\">"_ba), "windows-1252");

    const DecodedPage page = decodePage("<meta charset=\"utf-16le\"><p>\xC3\xA9"_ba);
    EXPECT_EQ(page.encoding, utf8);
    EXPECT_TRUE(page.text.endsWith(u"<p>é"_s));
}

TEST(Prescan, LooksOnlyAtTheFirst1024Bytes)
{
    const QByteArray declaration = "<meta charset=\"latin1\">"_ba;
    EXPECT_EQ(prescanCharset(paddedTo(1024, declaration)), "windows-1252");
    // One byte more and the ">" falls outside the window: the declaration is ignored.
    EXPECT_EQ(prescanCharset(paddedTo(1025, declaration)), "");
    EXPECT_EQ(prescanCharset(paddedTo(4000, declaration)), "");

    const DecodedPage late = decodePage(paddedTo(2000, declaration + "\xC3\xA9"_ba));
    EXPECT_EQ(late.encoding, utf8);
    EXPECT_TRUE(late.text.endsWith(u"é"_s));
}

TEST(Prescan, ReadsXmlDeclarations)
{
    EXPECT_EQ(prescanCharset("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><html>"_ba),
              "windows-1252");
    EXPECT_EQ(prescanCharset("<?xml version='1.0' encoding = 'utf-16'?>"_ba), "UTF-8");
    // A <meta> wins over the XML declaration.
    EXPECT_EQ(prescanCharset("<?xml version=\"1.0\" encoding=\"latin1\"?><meta charset=utf-8>"_ba),
              "UTF-8");
    // Only at the very start, and "encoding" must sit inside the declaration.
    EXPECT_EQ(prescanCharset(" <?xml version=\"1.0\" encoding=\"latin1\"?>"_ba), "");
    EXPECT_EQ(prescanCharset("<?xml version=\"1.0\"?><p encoding=\"latin1\">"_ba), "");
    // An XML declaration in UTF-16 without a byte-order mark.
    const QByteArray little = "<\0?\0x\0m\0l\0 \0?\0>\0\xE9\0"_ba;
    EXPECT_EQ(prescanCharset(little), "UTF-16LE");
    EXPECT_EQ(decodePage(little).text, u"<?xml ?>é"_s);
    EXPECT_EQ(prescanCharset("\0<\0?\0x\0m\0l"_ba), "UTF-16BE");
}

TEST(Prescan, FindsNothingInPlainText)
{
    EXPECT_EQ(prescanCharset(QByteArray()), "");
    EXPECT_EQ(prescanCharset("charset=utf-8 <meta> <p charset=latin1>"_ba), "");
    // An unclosed tag runs out of bytes.
    EXPECT_EQ(prescanCharset("<meta charset=latin1"_ba), "");
}

// ----- Without a declaration -------------------------------------------------------------------

TEST(Fallback, ValidUtf8IsReadAsUtf8)
{
    const DecodedPage page = decodePage("<p>caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80</p>"_ba);
    EXPECT_EQ(page.encoding, utf8);
    EXPECT_EQ(page.text, u"<p>café € 😀</p>"_s);
}

TEST(Fallback, InvalidUtf8IsReadAsWindows1252)
{
    // 0x93/0x94 are curly quotes in windows-1252 and can never appear alone in UTF-8.
    const DecodedPage page = decodePage("<p>\x93Hi\x94 caf\xE9</p>"_ba);
    EXPECT_EQ(page.encoding, windows1252);
    EXPECT_EQ(page.text, u"<p>\u201CHi\u201D café</p>"_s);

    // Near misses of UTF-8 are not UTF-8: overlong forms, surrogates, a cut-off sequence.
    EXPECT_EQ(decodePage("\xC0\xAF"_ba).encoding, windows1252);
    EXPECT_EQ(decodePage("\xE0\x80\xAF"_ba).encoding, windows1252);
    EXPECT_EQ(decodePage("\xED\xA0\x80"_ba).encoding, windows1252);
    EXPECT_EQ(decodePage("\xF4\x90\x80\x80"_ba).encoding, windows1252);
    EXPECT_EQ(decodePage("ok\xE2\x82"_ba).encoding, windows1252);
}

TEST(Fallback, DeclaredUtf8ReplacesBrokenSequencesLikeABrowser)
{
    const QByteArray head = "<meta charset=utf-8>"_ba;
    // One U+FFFD per broken piece: a cut-off sequence is one piece, an overlong pair is two.
    EXPECT_EQ(decodePage(head + "a\xF0\x9F\x98z"_ba).text, u"<meta charset=utf-8>a\uFFFDz"_s);
    EXPECT_EQ(decodePage(head + "\xC0\xAF!"_ba).text, u"<meta charset=utf-8>\uFFFD\uFFFD!"_s);
    EXPECT_EQ(decodePage(head + "\xE2\x82"_ba).text, u"<meta charset=utf-8>\uFFFD"_s);
}

TEST(Fallback, BrokenUtf16BecomesReplacementCharacters)
{
    // An unpaired high surrogate, an unpaired low surrogate and an odd last byte.
    EXPECT_EQ(decodePage("\xFF\xFE\x00\xD8x\0\x00\xDCy\0\x41"_ba).text, u"\uFFFDx\uFFFDy\uFFFD"_s);
}

// ----- Round trips ------------------------------------------------------------------------------

TEST(RoundTrip, Windows1252WithCurlyQuotesIsByteIdentical)
{
    const QByteArray page = "<html><body><p>\x93Quoted\x94 it\x92s \x85 a \x96 dash</p>"
                            "</body></html>\r\n"_ba;
    EXPECT_EQ(decodePage(page).encoding, windows1252);
    expectByteIdenticalRoundTrip(page);
    expectByteIdenticalRoundTrip("<meta charset=\"iso-8859-1\">\x93Quoted\x94"_ba);
}

TEST(RoundTrip, EveryWindows1252ByteComesBack)
{
    // Including the five bytes Windows leaves undefined (0x81 0x8D 0x8F 0x90 0x9D).
    QByteArray page = "<meta charset=\"windows-1252\">"_ba;
    for (int byte = 0; byte < 256; ++byte) {
        page.append(static_cast<char>(byte));
    }
    const DecodedPage decoded = decodePage(page);
    EXPECT_EQ(decoded.encoding, windows1252);
    EXPECT_TRUE(decoded.text.contains(u"\u20AC\u0081\u201A"_s));
    expectByteIdenticalRoundTrip(page);
}

TEST(RoundTrip, UnicodePagesAreByteIdentical)
{
    expectByteIdenticalRoundTrip("<p>caf\xC3\xA9 \xF0\x9F\x98\x80 \xE6\x97\xA5</p>\n"_ba);
    expectByteIdenticalRoundTrip("\xEF\xBB\xBF<p>caf\xC3\xA9 \xF0\x9F\x98\x80</p>\n"_ba);
    // UTF-16 with a character outside the Basic Multilingual Plane (a surrogate pair).
    expectByteIdenticalRoundTrip("\xFF\xFE<\0p\0>\0\xE9\0=\xD8\0\xDE\xE5\x65\n\0"_ba);
    expectByteIdenticalRoundTrip("\xFE\xFF\0<\0p\0>\0\xE9\xD8=\xDE\0\x65\xE5\0\n"_ba);
}

// ----- Characters the encoding cannot hold ------------------------------------------------------

TEST(Unencodable, BecomeDecimalCharacterReferences)
{
    EXPECT_EQ(encodePage(u"€ and 日本 and 😀"_s, windows1252),
              "\x80 and &#26085;&#26412; and &#128512;"_ba);
    // C1 controls: the five undefined bytes exist, the others are not windows-1252.
    EXPECT_EQ(encodePage(u"\u0081\u0080\u009F"_s, windows1252), "\x81&#128;&#159;"_ba);
}

TEST(Unencodable, UnicodeEncodingsHoldEverythingButLoneSurrogates)
{
    const QString text = u"日😀"_s;
    EXPECT_EQ(encodePage(text, utf8), "\xE6\x97\xA5\xF0\x9F\x98\x80"_ba);
    EXPECT_EQ(encodePage(text, encodingOf(PageEncoding::Kind::Utf16BE, "UTF-16BE", true)),
              "\xFE\xFF\x65\xE5\xD8\x3D\xDE\x00"_ba);

    // A lone surrogate is written as U+FFFD, which is what a browser would show for it.
    const QString lone = QString(QChar(u'a')) + QChar(char16_t(0xD800)) + QChar(u'b');
    EXPECT_EQ(encodePage(lone, utf8), "a\xEF\xBF\xBD"
                                      "b"_ba);
    EXPECT_EQ(encodePage(lone, encodingOf(PageEncoding::Kind::Utf16LE, "UTF-16LE")), "a\0\xFD\xFF"
                                                                                     "b\0"_ba);
    EXPECT_EQ(encodePage(lone, windows1252), "a&#65533;b"_ba);
}

// ----- Legacy encodings through Qt --------------------------------------------------------------

TEST(OtherEncoding, Windows1251RoundTripsAndReferencesWhatItLacks)
{
    if (!QStringDecoder("windows-1251").isValid()) {
        GTEST_SKIP() << "this Qt build has no windows-1251 converter";
    }

    const QByteArray page = "<meta charset=\"cp1251\"><p>\xCF\xF0\xE8\xE2\xE5\xF2</p>"_ba;
    const DecodedPage decoded = decodePage(page);
    EXPECT_EQ(decoded.encoding, encodingOf(PageEncoding::Kind::Other, "windows-1251"));
    EXPECT_EQ(decoded.text, u"<meta charset=\"cp1251\"><p>Привет</p>"_s);
    expectByteIdenticalRoundTrip(page);

    EXPECT_EQ(encodePage(u"Жé日😀"_s, decoded.encoding), "\xC6&#233;&#26085;&#128512;"_ba);
}

TEST(OtherEncoding, ShiftJisAndAStatefulEncoding)
{
    if (!QStringDecoder("Shift_JIS").isValid() || !QStringDecoder("ISO-2022-JP").isValid()) {
        GTEST_SKIP() << "this Qt build has no Japanese converters";
    }

    const QByteArray page = "<meta charset=\"sjis\">\x93\xfa\x96\x7b"_ba;
    const DecodedPage decoded = decodePage(page);
    EXPECT_EQ(decoded.encoding, encodingOf(PageEncoding::Kind::Other, "Shift_JIS"));
    EXPECT_TRUE(decoded.text.endsWith(u"日本"_s));
    expectByteIdenticalRoundTrip(page);
    EXPECT_EQ(encodePage(u"日😀"_s, decoded.encoding), "\x93\xfa&#128512;"_ba);
    // Qt encodes U+F86F without complaint, but the bytes read back as U+2116: not held.
    EXPECT_EQ(encodePage(u"\uF86F\u2116"_s, decoded.encoding), "&#63599;\x87\x82"_ba);
    // A sequence cut off at the end of the file is shown, not dropped.
    EXPECT_TRUE(decodePage(page + "\x82"_ba).text.endsWith(u"日本\uFFFD"_s));

    // In ISO-2022-JP the reference must come after the switch back to ASCII.
    const PageEncoding jis = encodingOf(PageEncoding::Kind::Other, "ISO-2022-JP");
    EXPECT_EQ(encodePage(u"日😀"_s, jis), "\x1B$BF|\x1B(B&#128512;"_ba);
    // The page ends back in ASCII, as ISO-2022-JP requires.
    EXPECT_EQ(encodePage(u"a日"_s, jis), "a\x1B$BF|\x1B(B"_ba);
}

TEST(Fallback, UnknownLabelCountsAsNoDeclaration)
{
    // Not a label browsers know, even though it looks like one.
    const DecodedPage page = decodePage("<meta charset=\"latin-1\">\x93"_ba);
    EXPECT_EQ(page.encoding, windows1252);
}
