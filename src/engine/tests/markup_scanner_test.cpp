#include "engine/markup_scanner.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

QList<MarkupTag> scanMarkup(const QString &page)
{
    QList<MarkupTag> tags;
    MarkupScanner scanner(page);
    MarkupTag tag;
    while (scanner.next(tag)) {
        tags.append(tag);
    }
    return tags;
}

// "name" for a start tag, "/name" for an end tag, "!" ahead of a tag outside page content.
QString tagNames(const QString &page)
{
    QStringList names;
    for (const MarkupTag &tag : scanMarkup(page)) {
        names.append((tag.inPageContent() ? u""_s : u"!"_s) +
                     (tag.kind == MarkupTag::Kind::End ? u"/"_s : u""_s) + tag.name);
    }
    return names.join(u' ');
}

QString textOf(const QString &page, qsizetype begin, qsizetype end)
{
    return begin < 0 ? u"<none>"_s : page.sliced(begin, end - begin);
}

}  // namespace

TEST(MarkupScanner, FindsOnlyTheTagsABrowserWouldSee)
{
    const struct {
        QString page, tags;
    } cases[] = {
        {u"<html lang=en><HEAD></Head><body-part x='>'>"_s, u"html head /head body-part"_s},
        {u"<!DOCTYPE html><!-- <title> --><p>a < b <3 </ x></p>"_s, u"p /p"_s},
        // A comment ends at the first "-->" or "--!>"; "<!-->" and "<!--->" are whole comments.
        {u"<!-- a -- b <i> --!><b><!--><u><!---><s><!-- x ---><q>"_s, u"b u s q"_s},
        {u"<?xml version=\"1.0\"?><a></>"_s, u"a"_s},
        {u"<a><!-- <b>"_s, u"a"_s},
        // Raw text: only the element's own end tag, with a proper end after the name, closes it.
        {u"<script>if (a<b) x = \"</title><body>\";</script><p>"_s, u"script /script p"_s},
        {u"<style>a::after{content:\"<body>\"}</style ><p>"_s, u"style /style p"_s},
        {u"<script>x='</scripts></style>'</SCRIPT><p>"_s, u"script /script p"_s},
        {u"<title>a <b> c</title><textarea></head></textarea>"_s,
         u"title /title textarea /textarea"_s},
        {u"<noscript><title>x</title></noscript><xmp><i></xmp><iframe><a></iframe>"_s,
         u"noscript /noscript xmp /xmp iframe /iframe"_s},
        {u"<noembed><a></noembed><noframes><a></noframes>"_s,
         u"noembed /noembed noframes /noframes"_s},
        {u"<plaintext></plaintext><a>"_s, u"plaintext"_s},
        {u"<script><a>"_s, u"script"_s},
        // Script escape states: a "<script>" inside "<!--" makes the next "</script>" text.
        {u"<script><!--<script></script></title></script><p>"_s, u"script /script p"_s},
        {u"<script><!--</script><p>"_s, u"script /script p"_s},
        {u"<script><!-- --><script></script><p>"_s, u"script /script p"_s},
        {u"<script><!--><script></script><p>"_s, u"script /script p"_s},
        // A tag left open at the end is no tag.
        {u"<a><body class=\"x"_s, u"a"_s},
        {u"<a></body"_s, u"a"_s},
        {u"<a><"_s, u"a"_s},
        {u"<a x=>"_s, u"a"_s},
        // SVG and MathML content, and template contents, are not the page's own.
        {u"<svg viewBox=\"0 0 1 1\"><title>C</title><style>a{}</style><foreignObject><svg></svg>"
         "<i></i></foreignObject></svg><i><math><mi>x</mi></math><svg/><u>"_s,
         u"svg !title !/title !style !/style !foreignobject !svg !/svg !i !/i !/foreignobject "
         "!/svg i math !mi !/mi !/math svg u"_s},
        // Where SVG holds HTML again (title, desc, foreignObject), tags are HTML: an h1 can be
        // there, and an HTML <style> holds raw text. An SVG element's own text is escaped, so
        // even an SVG <noframes> or <style> holds tags.
        {u"<svg><title><g><h1 class=\"a\">x</h1></g></title><noframes>&gt;<desc><img class=\"b\">"
         "</desc></noframes></svg><b>"_s,
         u"svg !title !g !h1 !/h1 !/g !/title !noframes !desc !img !/desc !/noframes !/svg b"_s},
        {u"<svg><foreignObject><style>a<b{}</style><i></i></foreignObject><style>x<y></y></style>"
         "</svg><b>"_s,
         u"svg !foreignobject !style !/style !i !/i !/foreignobject !style !y !/y !/style !/svg b"_s},
        // A MathML <annotation-xml> holds HTML when its encoding says so, in any letter case.
        {u"<math><annotation-xml encoding=\"Text/HTML\"><style>x<y></y></style></annotation-xml>"
         "<annotation-xml><style>x<y></y></style></annotation-xml></math><b>"_s,
         u"math !annotation-xml !style !/style !/annotation-xml !annotation-xml !style !y !/y "
         "!/style !/annotation-xml !/math b"_s},
        {u"<template><title>t</title><template></template></template><b>"_s,
         u"template !title !/title !template !/template !/template b"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page.toStdString());
        EXPECT_EQ(tagNames(c.page), c.tags);
    }
}

TEST(MarkupScanner, GivesEachTagItsPlaceAndAttributes)
{
    const QString page = u"<p><body class=\"a b\" ID=x data-q='1>2' hidden><i>"_s;
    const MarkupTag body = scanMarkup(page).value(1);
    EXPECT_EQ(textOf(page, body.begin, body.end),
              u"<body class=\"a b\" ID=x data-q='1>2' hidden>"_s);
    // name=, the quote (or _ for none) and the value as it stands.
    QStringList attributes;
    for (const MarkupAttribute &a : body.attributes) {
        attributes.append(a.name + u'=' + QChar(a.quote ? a.quote : u'_') +
                          textOf(page, a.valueBegin, a.valueEnd));
    }
    EXPECT_EQ(attributes.join(u' '), u"class=\"a b id=_x data-q='1>2 hidden=_<none>"_s);
    EXPECT_EQ(body.attribute(u"id"), &body.attributes[1]);
    EXPECT_EQ(body.attribute(u"style"), nullptr);
}
