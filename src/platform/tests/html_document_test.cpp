// The document host: the serializer (outerHTML as browsers write it), class names, element lookup
// as a browser with scripting on sees it, and the read-back markup.

#include "platform/dom.h"
#include "platform/html_document.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace lumivane {
namespace {

// The body as written, for markup parsed inside an explicit <body>.
QString bodyHtml(const QString &html)
{
    return Document::parse(u"<body>"_s + html).getElementsByTagName(u"body"_s).first().outerHTML();
}

QStringList ids(const Document &page, const QList<Element> &elements)
{
    QStringList result;
    for (const Element &element : elements) {
        const dom::Utf8 *id = page.tree().attribute(element.id(), "id");
        result.append(id ? QString::fromUtf8(id->data, qsizetype(id->size)) : u"?"_s);
    }
    return result;
}

TEST(Serializer, WritesTheBodyAsBrowsersDo)
{
    const struct {
        QString input, body;
    } cases[] = {
        // Text escapes only &, no-break space and angle brackets.
        {u"<p>a &amp; b &lt;c&gt; d&nbsp;e \"q\" 'x';</p>"_s,
         u"<p>a &amp; b &lt;c&gt; d&nbsp;e \"q\" 'x';</p>"_s},
        // Attributes always in double quotes, with " and angle brackets escaped too.
        {u"<p title='a&amp;b \"q\" <x> &nbsp;;' data-n=plain lang=\"it's\">"_s,
         u"<p title=\"a&amp;b &quot;q&quot; &lt;x&gt; &nbsp;;\" data-n=\"plain\" "
         "lang=\"it's\"></p>"_s},
        {u"<DIV ID=a><My-Widget Data-X=1>w</MY-WIDGET><span></span></div>"_s,
         u"<div id=\"a\"><my-widget data-x=\"1\">w</my-widget><span></span></div>"_s},
        // In SVG a <style> holds markup, so its text is escaped.
        {u"<svg><style>a &amp; b</style></svg>"_s, u"<svg><style>a &amp; b</style></svg>"_s},
        // Scripting is on, as in every visitor's browser: <noscript> holds text, written as is.
        {u"<noscript><p class=n>a &amp; b</p></noscript>"_s,
         u"<noscript><p class=n>a &amp; b</p></noscript>"_s},
        // A carriage return from a character reference survives, in text and in values.
        {u"<p title='a&#13;b'>c&#13;d</p>"_s, u"<p title=\"a&#13;b\">c&#13;d</p>"_s},
        // The parser drops one newline after <pre>, <textarea> and <listing>: one more is
        // written where their text starts with a newline, so none is lost on the next parse.
        {u"<pre>\n\nx</pre><textarea>\n\ny</textarea><listing>\n\nz</listing><pre>\nw</pre>"
         "<pre><b>\nv</b></pre>"_s,
         u"<pre>\n\nx</pre><textarea>\n\ny</textarea><listing>\n\nz</listing><pre>w</pre>"
         "<pre><b>\nv</b></pre>"_s},
        {u"<template id=t><h1 class=a>Hi &amp; bye</h1><img src=x></template>"_s,
         u"<template id=\"t\"><h1 class=\"a\">Hi &amp; bye</h1><img src=\"x\"></template>"_s},
        // SVG and MathML names keep their case; namespaced attributes keep their prefix.
        {u"<svg viewbox='0 0 9 9' xmlns:xlink=http://www.w3.org/1999/xlink xml:lang=en>"
         "<clippath id=c><rect/></clippath><lineargradient gradientunits=x />"
         "<use xlink:href='#c'/><foreignobject><div>x</div></foreignobject>"
         "<fegaussianblur stddeviation=2 /><MyShape/></svg>"
         "<math definitionurl=x><mi>1</mi><annotation-xml/></math>"_s,
         u"<svg viewBox=\"0 0 9 9\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" xml:lang=\"en\">"
         "<clipPath id=\"c\"><rect></rect></clipPath><linearGradient gradientUnits=\"x\">"
         "</linearGradient><use xlink:href=\"#c\"></use><foreignObject><div>x</div>"
         "</foreignObject><feGaussianBlur stdDeviation=\"2\"></feGaussianBlur><myshape></myshape>"
         "</svg><math definitionURL=\"x\"><mi>1</mi><annotation-xml></annotation-xml></math>"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        EXPECT_EQ(bodyHtml(c.input), u"<body>"_s + c.body + u"</body>"_s);
    }
}

TEST(ClassName, RoundTripsCharacterForCharacterThroughTheMarkup)
{
    Document page = Document::parse(u"<h1 class=\"title\">A</h1><h1>B</h1><img src=a.png>"_s);
    QList<Element> headings = page.getElementsByTagName(u"h1"_s);
    ASSERT_EQ(headings.size(), 2);
    EXPECT_EQ(headings[0].className(), u"title"_s);
    EXPECT_EQ(headings[1].className(), QString());

    const QString marker = u" ';;wow fadeIn;;'"_s;
    // A U+FEFF at the start of a value is part of the class name, not a byte-order mark.
    const QString odd = u"\uFEFFa&b \"c\" <d> e\u00A0f 'g';"_s;
    headings[0].setClassName(headings[0].className() + marker);
    headings[1].setClassName(marker);
    page.images().first().setClassName(odd);
    // The marker is written as it is, directly before the closing quote; an element without a
    // class gets the attribute after its others; only & " < > and no-break space are escaped.
    EXPECT_EQ(headings[0].outerHTML(), u"<h1 class=\"title ';;wow fadeIn;;'\">A</h1>"_s);
    EXPECT_EQ(
        page.images().first().outerHTML(),
        u"<img src=\"a.png\" class=\"\uFEFFa&amp;b &quot;c&quot; &lt;d&gt; e&nbsp;f 'g';\">"_s);

    const Document again = Document::parse(page.readBack());
    EXPECT_EQ(again.getElementsByTagName(u"h1"_s).first().className(), u"title"_s + marker);
    EXPECT_EQ(again.getElementsByTagName(u"h1"_s).last().className(), marker);
    EXPECT_EQ(again.images().first().className(), odd);
}

TEST(Lookup, ElementsInDocumentOrderSkippingTemplateAndNoscriptContents)
{
    const Document page = Document::parse(
        u"<head><noscript><link id=hidden-link rel=stylesheet href=a.css></noscript></head>"
        "<body><img id=i1><h1 id=h1>A<img id=i2></h1>"
        "<template><img id=tpl><h1 id=tpl-h1></h1></template>"
        "<noscript><img id=ns><h1 id=ns-h1></h1></noscript>"
        "<div><IMG id=i3><H1 id=h2></H1></div>"
        "<svg><image id=svg-image href=x /></svg><math><mi><img id=i4></mi></math>"_s);
    EXPECT_EQ(ids(page, page.images()), (QStringList{u"i1"_s, u"i2"_s, u"i3"_s, u"i4"_s}));
    EXPECT_EQ(ids(page, page.getElementsByTagName(u"h1"_s)), (QStringList{u"h1"_s, u"h2"_s}));
    // The tag name matches ASCII case-insensitively.
    EXPECT_EQ(ids(page, page.getElementsByTagName(u"IMG"_s)), ids(page, page.images()));
    // Nothing inside <noscript>, anywhere; the <noscript> elements themselves count.
    EXPECT_TRUE(page.getElementsByTagName(u"link"_s).isEmpty());
    EXPECT_EQ(page.getElementsByTagName(u"noscript"_s).size(), 2);
    // Only HTML elements: the SVG <image> is not an image.
    EXPECT_TRUE(page.getElementsByTagName(u"image"_s).isEmpty());
}

TEST(ReadBack, KeepsDoctypeIdentifiersAndCommentsAroundTheRoot)
{
    const QString empty = u"<html><head></head><body></body></html>"_s;
    const QString loose = u"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\""_s;
    const struct {
        QString input, output;
    } cases[] = {
        {QString(), empty},
        // A doctype that decides the rendering mode must stay as it is.
        {u"<!doctype HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
         "'http://www.w3.org/TR/html4/loose.dtd'>"_s,
         loose + u" \"http://www.w3.org/TR/html4/loose.dtd\">\n"_s + empty},
        {loose + u">"_s, loose + u">\n"_s + empty},
        {u"<!DOCTYPE html SYSTEM \"about:legacy-compat\">"_s,
         u"<!DOCTYPE html SYSTEM \"about:legacy-compat\">\n"_s + empty},
        {u"<!DOCTYPE html PUBLIC 'a\"b'>"_s, u"<!DOCTYPE html PUBLIC 'a\"b'>\n"_s + empty},
        // Anything unexpected after the name or public identifier forces quirks mode; the
        // doctype written back must force it too.
        {u"<!DOCTYPE html lang=\"en\">"_s, u"<!DOCTYPE html quirks>\n"_s + empty},
        {u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"x>"_s,
         u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" quirks>\n"_s + empty},
        {u"<!--first--><!DOCTYPE html><!-- before --><html><body>x<!--in--></body></html>"
         "<!-- after -->"_s,
         u"<!--first-->\n<!DOCTYPE html>\n<!-- before -->\n"
         "<html><head></head><body>x<!--in--></body></html><!-- after -->"_s},
        // "</>" makes no token, and the custom element right after it keeps its name (found by
        // fuzzing: it came out as "<></>").
        {u"</><t></t><my-tag a=1>x</my-tag>"_s,
         u"<html><head></head><body><t></t><my-tag a=\"1\">x</my-tag></body></html>"_s},
        // NULs do not end the input: U+FFFD in an attribute value, dropped from body text.
        {u"<p title=\"a\0b\">one\0two</p><h1>after</h1>"_s,
         u"<html><head></head><body><p title=\"a\uFFFDb\">onetwo</p><h1>after</h1></body></html>"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        EXPECT_EQ(Document::parse(c.input).readBack(), c.output);
    }
}

}  // namespace
}  // namespace lumivane
