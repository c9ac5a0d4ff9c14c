#include "engine/anchor_insert.h"

#include "platform/html_document.h"
#include "platform/text_codec.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

const QStringList TitleClose{u"</title>"_s, u"</TITLE>"_s};
const QStringList BodyOpen{u"<body"_s, u"<BODY"_s};
const QString Insert = u"<link rel=\"stylesheet\" href=\"anilibs/x.css\"><style>a{}</style>"_s;

QString head(const QString &page)
{
    return InsertAfterAnchor(AnchorMode::Head, Insert, page, TitleClose);
}

}  // namespace

TEST(InsertAfterAnchor, PutsTheSnippetOnANewLineAfterTheFirstRealOccurrenceOnly)
{
    const QString page = u"<html><head><title>Shop</title></head><body><svg><title>Cart</title>"
                         "</svg><svg><title>Menu</title></svg></body></html>"_s;
    EXPECT_EQ(head(page), u"<html><head><title>Shop</title>\r\n"_s + Insert +
                              u"</head><body><svg><title>Cart</title></svg><svg><title>Menu</title>"
                              "</svg></body></html>"_s);

    // A title written in the body (the parser leaves it there) is still the page's title; only
    // its first occurrence takes the insert.
    const QString twice = u"<head></head><body><title>a</title><title>b</title></body>"_s;
    EXPECT_EQ(head(twice),
              u"<head></head><body><title>a</title>\r\n"_s + Insert + u"<title>b</title></body>"_s);
}

TEST(InsertAfterAnchor, IgnoresTheAnchorTextWhereItIsNoTagOfThePage)
{
    const QString page =
        u"<html><head><script>document.write(\"<title>x</title>\")</script>"
        "<style>p::after{content:\"</title>\"}</style><!-- </title> -->"
        "<meta name=\"d\" content=\"</title>\"><noscript><title>n</title></noscript>"
        "<template><title>t</title></template><title>Real</title></head><body></body></html>"_s;
    const QString result = head(page);
    EXPECT_EQ(result.count(Insert), 1);
    EXPECT_TRUE(result.contains(u"<title>Real</title>\r\n"_s + Insert + u"</head>"_s))
        << result.toStdString();
}

TEST(InsertAfterAnchor, TriesTheCandidatesInListOrderWithExactLetterCase)
{
    // The first candidate that occurs wins, even when a later one stands earlier in the page.
    const QString page = u"<head><TITLE>a</TITLE><title>b</title></head>"_s;
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Head, u"X"_s, page, {u"</title>"_s, u"</TITLE>"_s}),
              u"<head><TITLE>a</TITLE><title>b</title>\r\nX</head>"_s);
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Head, u"X"_s, page, {u"</TITLE>"_s, u"</title>"_s}),
              u"<head><TITLE>a</TITLE>\r\nX<title>b</title></head>"_s);
    // A spelling the page does not use is passed over.
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Head, u"X"_s, u"<head><title>a</title></head>"_s,
                                {u"</Title>"_s, u"</title>"_s}),
              u"<head><title>a</title>\r\nX</head>"_s);
}

TEST(InsertAfterAnchor, PutsTheHeadInsertAtTheEndOfTheHeadOfAPageWithoutTitle)
{
    // The only titles are an icon's, which are not the page's.
    const QString page = u"<html><head><meta charset=\"utf-8\"><link rel=\"icon\" href=\"i.png\">"
                         "</head><body><svg><title>Cart</title></svg></body></html>"_s;
    EXPECT_EQ(head(page), u"<html><head><meta charset=\"utf-8\"><link rel=\"icon\" href=\"i.png\">"
                          "\r\n"_s +
                              Insert +
                              u"\r\n</head><body><svg><title>Cart</title></svg>"
                              "</body></html>"_s);
    // No end tag of the head: right after its start tag.
    EXPECT_EQ(head(u"<html><head><link rel=\"icon\" href=\"i.png\">"_s),
              u"<html><head>\r\n"_s + Insert + u"<link rel=\"icon\" href=\"i.png\">"_s);
    // No head at all, or one only in a script: nothing is inserted.
    EXPECT_EQ(head(u"<p>plain</p>"_s), u"<p>plain</p>"_s);
    EXPECT_EQ(head(u"<script>'<head></head>'</script>"_s), u"<script>'<head></head>'</script>"_s);
    // The body mode has no such fallback.
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, u"<head></head>"_s, BodyOpen),
              u"<head></head>"_s);
}

TEST(InsertAfterAnchor, TakesTheWholeOpeningBodyTagInBodyMode)
{
    const QString script = u"<script src=\"anilibs/reveal.js\"></script>"_s;
    const QString page =
        u"<html><head><script>var t = '<body class=\"x\">';</script><title>t</title></head>"
        "<body class=\"home page\" data-x=\"a&gt;b\" onload=\"go()\"><p>x</p><script>"
        "document.body.innerHTML += '<body>'</script></body></html>"_s;
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, script, page, BodyOpen),
              u"<html><head><script>var t = '<body class=\"x\">';</script><title>t</title></head>"
              "<body class=\"home page\" data-x=\"a&gt;b\" onload=\"go()\">\r\n"_s +
                  script +
                  u"<p>x</p><script>document.body.innerHTML += '<body>'</script></body></html>"_s);
    // A '>' inside a quoted attribute value does not end the tag.
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, u"<body title='a>b'><p>"_s, BodyOpen),
              u"<body title='a>b'>\r\nX<p>"_s);
}

TEST(InsertAfterAnchor, InsertsNothingForABodyTagWithoutEndOrForBlankCandidates)
{
    const QString unfinished = u"<html><head></head><body class=\"x\""_s;
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, unfinished, BodyOpen), unfinished);
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, u"<html><body"_s, BodyOpen),
              u"<html><body"_s);

    const QString page = u"<html><head><title>a</title></head><body><p>b</p></body></html>"_s;
    const QStringList blanks{QString(), u"   "_s, u"\t"_s};
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, page, blanks), page);
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, page, {}), page);
    // A blank line before a real candidate does not stop the search.
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Body, u"X"_s, page, blanks + BodyOpen),
              u"<html><head><title>a</title></head><body>\r\nX<p>b</p></body></html>"_s);
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Head, u"X"_s, page, blanks + TitleClose),
              u"<html><head><title>a</title>\r\nX</head><body><p>b</p></body></html>"_s);
}

TEST(InsertAfterAnchor, KeepsTheCharsetDeclarationWithinTheFirst1024Bytes)
{
    const QString bigInsert = u"<style>"_s + u".a{color:red}\n"_s.repeated(400) + u"</style>"_s;
    ASSERT_GT(bigInsert.size(), 4096);
    const QString page = u"<html><head><title>Caf\u00e9 \u00e0 la carte</title>"
                         "<meta charset=\"windows-1252\"><meta name=\"viewport\" content=\"w\">"
                         "</head><body class=\"x\"><p>\u00e9t\u00e9</p></body></html>"_s;
    ASSERT_EQ(prescanCharset(page.toUtf8()), QByteArray("windows-1252"));

    const QString result = InsertAfterAnchor(AnchorMode::Head, bigInsert, page, TitleClose);
    EXPECT_EQ(prescanCharset(result.toUtf8()), QByteArray("windows-1252"));
    EXPECT_EQ(result.indexOf(u"<meta charset"), page.indexOf(u"<meta charset"));
    EXPECT_TRUE(result.contains(u"<meta charset=\"windows-1252\">\r\n"_s + bigInsert +
                                u"<meta name=\"viewport\""_s));

    // The same for a declaration by http-equiv, and for the body mode.
    const QString equiv = u"<html><head></head><body><meta http-equiv=\"content-type\" "
                          "content=\"text/html; charset=koi8-r\"><p>x</p></body></html>"_s;
    const QString bodyResult = InsertAfterAnchor(AnchorMode::Body, bigInsert, equiv, BodyOpen);
    EXPECT_EQ(prescanCharset(bodyResult.toUtf8()), QByteArray("KOI8-R"));
    EXPECT_TRUE(bodyResult.contains(u"charset=koi8-r\">\r\n"_s + bigInsert + u"<p>"_s));
}

TEST(InsertAfterAnchor, LeavesADeclarationAloneThatBrowsersCannotSeeAnyway)
{
    // Declarations before the anchor, or past the first 1024 characters, are not followed.
    const QString before =
        u"<head><meta charset=\"utf-8\"><title>a</title><meta charset=\"big5\"></head>"_s;
    EXPECT_EQ(
        InsertAfterAnchor(AnchorMode::Head, u"X"_s, before, TitleClose),
        u"<head><meta charset=\"utf-8\"><title>a</title>\r\nX<meta charset=\"big5\"></head>"_s);

    const QString longTitle = u"<head><title>"_s + QString(1100, u'w') + u"</title>"_s;
    const QString late = longTitle + u"<meta charset=\"utf-8\"></head>"_s;
    EXPECT_EQ(InsertAfterAnchor(AnchorMode::Head, u"X"_s, late, TitleClose),
              longTitle + u"\r\nX<meta charset=\"utf-8\"></head>"_s);
}

TEST(InsertAfterAnchor, FindsTheRealTagsInTheReadBackMarkup)
{
    // As the document host writes a page: the icon titles and the script text stay untouched,
    // with or without a title of the page's own.
    const QString body =
        u"<body data-x=\"<body>\"><svg><title>Cart</title></svg><script>var s = '</title>"
        "<body>';</script><math><mi>x</mi></math><p>a &lt;/title&gt; b</p></body>"_s;
    for (const QString &title : {u"<title>Shop</title>"_s, QString()}) {
        const QString markup =
            Document::parse(u"<!DOCTYPE html><html><head><meta charset=\"utf-8\">"_s + title +
                            u"</head>"_s + body + u"</html>"_s)
                .readBack();
        const QString withHead = head(markup);
        EXPECT_EQ(withHead.count(Insert), 1) << withHead.toStdString();
        const qsizetype at = withHead.indexOf(Insert);
        EXPECT_LT(at, withHead.indexOf(u"</head>"_s)) << withHead.toStdString();
        EXPECT_GT(at, withHead.indexOf(u"<meta charset"_s)) << withHead.toStdString();

        const QString withBody = InsertAfterAnchor(AnchorMode::Body, u"ACT"_s, withHead, BodyOpen);
        EXPECT_EQ(withBody.count(u"ACT"_s), 1) << withBody.toStdString();
        EXPECT_TRUE(withBody.contains(u"<body data-x=\"&lt;body&gt;\">\r\nACT<svg>"_s))
            << withBody.toStdString();
    }
}
