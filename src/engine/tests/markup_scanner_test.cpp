#include "engine/markup_scanner.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// "name" for a start tag, "/name" for an end tag, in text order.
QStringList tagNames(const QString &page)
{
    QStringList names;
    for (const MarkupTag &tag : scanMarkup(page)) {
        names.append((tag.kind == MarkupTag::Kind::End ? u"/"_s : QString()) + tag.name);
    }
    return names;
}

QString valueOf(const QString &page, const MarkupTag &tag, QStringView name)
{
    const MarkupAttribute *attribute = tag.attribute(name);
    if (attribute == nullptr || attribute->valueBegin < 0) {
        return u"<none>"_s;
    }
    return page.sliced(attribute->valueBegin, attribute->valueEnd - attribute->valueBegin);
}

}  // namespace

TEST(MarkupScanner, GivesTagsWithTheirPlaceNameAndAttributes)
{
    const QString page =
        u"<html lang=\"en\"><head><TITLE>T</TITLE></head><body class=\"a b\" id=x "
        "data-q='1>2' hidden><img src=\"p.png\" alt=\"&quot;x&gt;\"></body></html>"_s;
    const QList<MarkupTag> tags = scanMarkup(page);
    EXPECT_EQ(tagNames(page),
              (QStringList{u"html"_s, u"head"_s, u"title"_s, u"/title"_s, u"/head"_s, u"body"_s,
                           u"img"_s, u"/body"_s, u"/html"_s}));

    const MarkupTag &title = tags[2];
    EXPECT_EQ(page.sliced(title.begin, title.end - title.begin), u"<TITLE>"_s);

    const MarkupTag &body = tags[5];
    EXPECT_EQ(page.sliced(body.begin, body.end - body.begin),
              u"<body class=\"a b\" id=x data-q='1>2' hidden>"_s);
    EXPECT_EQ(valueOf(page, body, u"class"), u"a b"_s);
    EXPECT_EQ(body.attribute(u"class")->quote, u'"');
    EXPECT_EQ(valueOf(page, body, u"id"), u"x"_s);
    EXPECT_EQ(body.attribute(u"id")->quote, 0);
    EXPECT_EQ(valueOf(page, body, u"data-q"), u"1>2"_s);
    EXPECT_EQ(valueOf(page, body, u"hidden"), u"<none>"_s);
    EXPECT_EQ(body.attribute(u"style"), nullptr);
}

TEST(MarkupScanner, PassesOverCommentsDeclarationsAndStrayLessThanSigns)
{
    EXPECT_EQ(tagNames(u"<!DOCTYPE html><!-- <title> --><p>a < b <3 </ x></p>"_s),
              (QStringList{u"p"_s, u"/p"_s}));
    // A comment ends at the first "-->" or "--!>"; "<!-->" and "<!--->" are complete comments.
    EXPECT_EQ(tagNames(u"<!-- a -- b <i> --!><b><!--><u><!---><s><!-- x ---><q>"_s),
              (QStringList{u"b"_s, u"u"_s, u"s"_s, u"q"_s}));
    EXPECT_EQ(tagNames(u"<?xml version=\"1.0\"?><a></>"_s), (QStringList{u"a"_s}));
    // An unfinished comment runs to the end of the text.
    EXPECT_EQ(tagNames(u"<a><!-- <b>"_s), (QStringList{u"a"_s}));
}

TEST(MarkupScanner, ReadsRawTextElementsAsText)
{
    EXPECT_EQ(tagNames(u"<script>if (a<b) x = \"</title><body>\";</script><p>"_s),
              (QStringList{u"script"_s, u"/script"_s, u"p"_s}));
    EXPECT_EQ(tagNames(u"<style>a::after{content:\"<body>\"}</style ><p>"_s),
              (QStringList{u"style"_s, u"/style"_s, u"p"_s}));
    // Only the element's own end tag, with a proper end after the name, closes it.
    EXPECT_EQ(tagNames(u"<script>x='</scripts></style>'</SCRIPT><p>"_s),
              (QStringList{u"script"_s, u"/script"_s, u"p"_s}));
    EXPECT_EQ(tagNames(u"<title>a <b> c</title><textarea></head></textarea>"_s),
              (QStringList{u"title"_s, u"/title"_s, u"textarea"_s, u"/textarea"_s}));
    EXPECT_EQ(tagNames(u"<noscript><title>x</title></noscript><xmp><i></xmp>"_s),
              (QStringList{u"noscript"_s, u"/noscript"_s, u"xmp"_s, u"/xmp"_s}));
    EXPECT_EQ(tagNames(u"<iframe><a></iframe><noembed><a></noembed><noframes><a></noframes>"_s),
              (QStringList{u"iframe"_s, u"/iframe"_s, u"noembed"_s, u"/noembed"_s, u"noframes"_s,
                           u"/noframes"_s}));
    EXPECT_EQ(tagNames(u"<plaintext></plaintext><a>"_s), (QStringList{u"plaintext"_s}));
    // A script left open runs to the end.
    EXPECT_EQ(tagNames(u"<script><a>"_s), (QStringList{u"script"_s}));
}

TEST(MarkupScanner, FollowsTheEscapeStatesOfScriptContent)
{
    // Inside "<!--", a nested "<script>" makes the next "</script>" text.
    EXPECT_EQ(tagNames(u"<script><!--<script></script></title></script><p>"_s),
              (QStringList{u"script"_s, u"/script"_s, u"p"_s}));
    // Without the nested start, "</script>" closes even inside "<!--".
    EXPECT_EQ(tagNames(u"<script><!--</script><p>"_s),
              (QStringList{u"script"_s, u"/script"_s, u"p"_s}));
    // After "-->" a "<script" no longer nests.
    EXPECT_EQ(tagNames(u"<script><!-- --><script></script><p>"_s),
              (QStringList{u"script"_s, u"/script"_s, u"p"_s}));
    // "<!-->" opens and closes at once.
    EXPECT_EQ(tagNames(u"<script><!--><script></script><p>"_s),
              (QStringList{u"script"_s, u"/script"_s, u"p"_s}));
}

TEST(MarkupScanner, MarksTagsInsideSvgMathAndTemplates)
{
    const QString page =
        u"<p><svg viewBox=\"0 0 1 1\"><title>Cart</title><style>a{}</style><path/>"
        "<foreignObject><svg></svg><i></i></foreignObject></svg><i>"
        "<math><mi>x</mi></math><svg/><template><title>t</title><template></template>"
        "<b></b></template><u></u>"_s;
    QStringList foreign;
    QStringList inTemplate;
    QStringList page_;
    for (const MarkupTag &tag : scanMarkup(page)) {
        const QString name = (tag.kind == MarkupTag::Kind::End ? u"/"_s : QString()) + tag.name;
        (tag.foreign ? foreign : tag.inTemplate ? inTemplate : page_).append(name);
    }
    EXPECT_EQ(page_, (QStringList{u"p"_s, u"svg"_s, u"i"_s, u"math"_s, u"svg"_s, u"template"_s,
                                  u"u"_s, u"/u"_s}));
    EXPECT_EQ(foreign,
              (QStringList{u"title"_s, u"/title"_s, u"style"_s, u"/style"_s, u"path"_s,
                           u"foreignobject"_s, u"svg"_s, u"/svg"_s, u"i"_s, u"/i"_s,
                           u"/foreignobject"_s, u"/svg"_s, u"mi"_s, u"/mi"_s, u"/math"_s}));
    EXPECT_EQ(inTemplate, (QStringList{u"title"_s, u"/title"_s, u"template"_s, u"/template"_s,
                                       u"b"_s, u"/b"_s, u"/template"_s}));
}

TEST(MarkupScanner, DropsATagLeftOpenAtTheEnd)
{
    EXPECT_EQ(tagNames(u"<a><body class=\"x"_s), (QStringList{u"a"_s}));
    EXPECT_EQ(tagNames(u"<a><body"_s), (QStringList{u"a"_s}));
    EXPECT_EQ(tagNames(u"<a></body"_s), (QStringList{u"a"_s}));
    EXPECT_EQ(tagNames(u"<a><"_s), (QStringList{u"a"_s}));
    EXPECT_EQ(tagNames(u"<a x=>"_s), (QStringList{u"a"_s}));
}

TEST(MarkupScanner, FindsTagTextOnlyWhereItIsARealTagOfThatName)
{
    const QString page =
        u"<head><script>var t='</title>';</script><!-- </title> --><title>x</title></head>"
        "<body-part></body-part><body class=\"k\"><svg><title>i</title></svg>"_s;
    const QList<MarkupTag> tags = scanMarkup(page);
    const auto beginOf = [&](QStringView text) {
        const qsizetype index = findTagText(tags, page, text);
        return index < 0 ? qsizetype(-1) : tags[index].begin;
    };
    EXPECT_EQ(beginOf(u"</title>"), page.indexOf(u"</title></head>"));
    EXPECT_EQ(beginOf(u"<body"), page.indexOf(u"<body class"));  // not <body-part>
    EXPECT_EQ(beginOf(u"<body class=\"k\">"), page.indexOf(u"<body class"));
    EXPECT_EQ(beginOf(u"</TITLE>"), -1);  // exact letter case
    EXPECT_EQ(beginOf(u"<body id"), -1);
    EXPECT_EQ(beginOf(u"title"), -1);  // not the start of a tag
    EXPECT_EQ(beginOf(u""), -1);
    EXPECT_EQ(beginOf(u"</"), -1);
}

TEST(MarkupScanner, FindsTheFirstCharsetDeclaration)
{
    const auto declaration = [](const QString &page) {
        const QList<MarkupTag> tags = scanMarkup(page);
        const qsizetype index = findCharsetDeclaration(tags, page);
        return index < 0 ? QString()
                         : page.sliced(tags[index].begin, tags[index].end - tags[index].begin);
    };
    EXPECT_EQ(declaration(u"<meta name=\"x\"><meta charset=\"utf-8\"><meta charset=\"big5\">"_s),
              u"<meta charset=\"utf-8\">"_s);
    EXPECT_EQ(declaration(u"<meta http-equiv=\"refresh\" content=\"charset=5\"><meta "
                          "http-equiv=\"Content-Type\" content=\"text/html; Charset=koi8-r\">"_s),
              u"<meta http-equiv=\"Content-Type\" content=\"text/html; Charset=koi8-r\">"_s);
    EXPECT_EQ(declaration(u"<script>'<meta charset=x>'</script><!--<meta charset=y>-->"
                          "<svg><meta charset=z></svg><meta http-equiv=content-type>"_s),
              QString());
}

TEST(MarkupScanner, StaysLinearOnPathologicalText)
{
    // Each of these would take quadratic time if a search restarted from the beginning; with
    // a megabyte that is a minute or more instead of milliseconds.
    const qsizetype size = 1024 * 1024;
    const QStringList pages{
        u"<!--"_s + QString(size, u'-'),
        u"<script>"_s + u"</scrip"_s.repeated(size / 7),
        u"<script><!--<script>"_s + u"<!--"_s.repeated(size / 4),
        u"<title>"_s + u"</"_s.repeated(size / 2),
        u"<p>"_s + u"<a "_s.repeated(size / 48),
        u"<"_s.repeated(size),
    };
    QElapsedTimer timer;
    timer.start();
    for (const QString &page : pages) {
        (void)scanMarkup(page);
    }
    EXPECT_LT(timer.elapsed(), 5000);
}
