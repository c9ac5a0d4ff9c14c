// The document host: parsing into our tree, the serializer (outerHTML as browsers write it),
// class names, element lookup as a browser with scripting on sees it, and the read-back markup.

#include "platform/dom.h"
#include "platform/html_document.h"
#include "support/qstring_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace lumivane {
namespace {

Element firstElement(const Document &document, const QString &tagName)
{
    const QList<Element> found = document.getElementsByTagName(tagName);
    EXPECT_FALSE(found.isEmpty()) << "no <" << tagName.toStdString() << ">";
    return found.isEmpty() ? document.documentElement() : found.first();
}

QString bodyHtml(const QString &html)
{
    return firstElement(Document::parse(html), u"body"_s).outerHTML();
}

QStringList ids(const QList<Element> &elements)
{
    QStringList result;
    for (const Element &element : elements) {
        const dom::Attribute *id = element.node()->attribute(u"id");
        result.append(id ? id->value : u"?"_s);
    }
    return result;
}

// --- Escaping -----------------------------------------------------------------------------------

TEST(Serializer, TextEscapesAmpersandNoBreakSpaceAndAngleBracketsOnly)
{
    EXPECT_EQ(bodyHtml(u"<p>a &amp; b &lt;c&gt; d&nbsp;e \"q\" 'x';</p>"_s),
              u"<body><p>a &amp; b &lt;c&gt; d&nbsp;e \"q\" 'x';</p></body>"_s);
}

TEST(Serializer, AttributesAlwaysInDoubleQuotesWithQuoteAndAngleBracketsEscaped)
{
    EXPECT_EQ(bodyHtml(u"<p title='a&amp;b \"q\" <x> &nbsp;;' data-n=plain lang=\"it's\">"_s),
              u"<body><p title=\"a&amp;b &quot;q&quot; &lt;x&gt; &nbsp;;\" data-n=\"plain\" "
              "lang=\"it's\"></p></body>"_s);
}

TEST(Serializer, TagAndAttributeNamesOfHtmlElementsAreLowerCase)
{
    EXPECT_EQ(bodyHtml(u"<DIV ID=a><My-Widget Data-X=1>w</MY-WIDGET></div>"_s),
              u"<body><div id=\"a\"><my-widget data-x=\"1\">w</my-widget></div></body>"_s);
}

// --- Void and raw-text elements -----------------------------------------------------------------

TEST(Serializer, VoidElementsHaveNoEndTag)
{
    const Document page = Document::parse(
        u"<head><base href=x><link rel=a><meta charset=utf-8><basefont><bgsound></head>"
        "<body><area><br><embed><hr><img><input><keygen><param><source><track><wbr>"
        "<table><colgroup><col></colgroup></table>"_s);
    const QStringList voids{u"area"_s,   u"base"_s,  u"basefont"_s, u"bgsound"_s, u"br"_s,
                            u"col"_s,    u"embed"_s, u"hr"_s,       u"img"_s,     u"input"_s,
                            u"keygen"_s, u"link"_s,  u"meta"_s,     u"param"_s,   u"source"_s,
                            u"track"_s,  u"wbr"_s};
    for (const QString &name : voids) {
        const QString markup = firstElement(page, name).outerHTML();
        EXPECT_TRUE(markup.startsWith(u'<' + name)) << markup.toStdString();
        EXPECT_FALSE(markup.contains(u"</"_s)) << markup.toStdString();
    }
    const Document frames = Document::parse(u"<frameset><frame src=a></frameset>"_s);
    EXPECT_EQ(firstElement(frames, u"frameset"_s).outerHTML(),
              u"<frameset><frame src=\"a\"></frameset>"_s);
    // An element that is not void keeps its end tag even when empty.
    EXPECT_EQ(bodyHtml(u"<p></p><span></span>"_s), u"<body><p></p><span></span></body>"_s);
}

TEST(Serializer, RawTextElementsWriteTheirTextLiterally)
{
    const QString body = bodyHtml(
        u"<p>x</p><script>if (a < b && c > d) x = \"&amp;\";</script><style>a > b { }</style>"
        "<xmp><b>&</b></xmp><iframe><p>&</p></iframe><noembed>a<b</noembed>"
        "<noframes>c&d</noframes>"_s);
    EXPECT_EQ(body, u"<body><p>x</p><script>if (a < b && c > d) x = \"&amp;\";</script>"
                    "<style>a > b { }</style><xmp><b>&</b></xmp><iframe><p>&</p></iframe>"
                    "<noembed>a<b</noembed><noframes>c&d</noframes></body>"_s);
    EXPECT_EQ(bodyHtml(u"<plaintext>a < b & c"_s),
              u"<body><plaintext>a < b & c</plaintext></body>"_s);
}

TEST(Serializer, StyleAndScriptInsideSvgAreOrdinaryEscapedText)
{
    // In SVG, <style> content is parsed as markup, so "&amp;" is a character reference.
    EXPECT_EQ(firstElement(Document::parse(u"<svg><style>a &amp; b</style></svg>"_s), u"body"_s)
                  .outerHTML(),
              u"<body><svg><style>a &amp; b</style></svg></body>"_s);
}

TEST(Serializer, NoscriptChildrenAreWrittenAsNodesBecauseTheParserRunsWithScriptingOff)
{
    EXPECT_EQ(bodyHtml(u"<p>x</p><noscript><p class=n>a &amp; b</p></noscript>"_s),
              u"<body><p>x</p><noscript><p class=\"n\">a &amp; b</p></noscript></body>"_s);
}

TEST(Serializer, NoExtraNewlineAfterPreOrTextareaStart)
{
    // The parser drops one newline after <pre>/<textarea>; browsers no longer add one back.
    EXPECT_EQ(bodyHtml(u"<pre>\n\nx</pre><textarea>\n\ny</textarea>"_s),
              u"<body><pre>\nx</pre><textarea>\ny</textarea></body>"_s);
}

// --- Template contents --------------------------------------------------------------------------

TEST(Serializer, TemplateContentsAreWrittenAsTheTemplatesChildren)
{
    const Document page =
        Document::parse(u"<template id=t><h1 class=a>Hi &amp; bye</h1><img src=x></template>"_s);
    const Element templ = firstElement(page, u"template"_s);
    EXPECT_TRUE(templ.node()->children.empty());
    ASSERT_NE(templ.node()->templateContents, nullptr);
    EXPECT_EQ(templ.outerHTML(),
              u"<template id=\"t\"><h1 class=\"a\">Hi &amp; bye</h1><img src=\"x\"></template>"_s);
}

// --- Foreign content ----------------------------------------------------------------------------

TEST(Serializer, SvgNamesKeepTheirCaseAndNamespacedAttributesTheirPrefix)
{
    const Document page = Document::parse(
        u"<svg viewbox='0 0 10 10' xmlns=http://www.w3.org/2000/svg "
        "xmlns:xlink=http://www.w3.org/1999/xlink xml:lang=en>"
        "<defs><clippath id=c><rect/></clippath><lineargradient gradientunits=x /></defs>"
        "<use xlink:href='#c'/><foreignobject><div>x</div></foreignobject>"
        "<fegaussianblur stddeviation=2 /><MyShape/></svg>"_s);
    EXPECT_EQ(firstElement(page, u"body"_s).outerHTML(),
              u"<body><svg viewBox=\"0 0 10 10\" xmlns=\"http://www.w3.org/2000/svg\" "
              "xmlns:xlink=\"http://www.w3.org/1999/xlink\" xml:lang=\"en\">"
              "<defs><clipPath id=\"c\"><rect></rect></clipPath>"
              "<linearGradient gradientUnits=\"x\"></linearGradient></defs>"
              "<use xlink:href=\"#c\"></use><foreignObject><div>x</div></foreignObject>"
              "<feGaussianBlur stdDeviation=\"2\"></feGaussianBlur><myshape></myshape>"
              "</svg></body>"_s);
    const dom::Node &svg = *firstElement(page, u"body"_s).node()->children.front();
    EXPECT_EQ(svg.ns, dom::Namespace::Svg);
    EXPECT_EQ(svg.attributes.at(2).ns, dom::AttributeNamespace::Xmlns);
    EXPECT_EQ(svg.attributes.at(2).localName, u"xlink"_s);
}

TEST(Serializer, MathMlAttributesAdjustedAndElementsInMathNamespace)
{
    const Document page =
        Document::parse(u"<math definitionurl=x><mi>1</mi><annotation-xml/></math>"_s);
    EXPECT_EQ(firstElement(page, u"body"_s).outerHTML(),
              u"<body><math definitionURL=\"x\"><mi>1</mi><annotation-xml></annotation-xml>"
              "</math></body>"_s);
    EXPECT_EQ(firstElement(page, u"body"_s).node()->children.front()->ns, dom::Namespace::MathMl);
}

// --- Class names --------------------------------------------------------------------------------

TEST(ClassName, GetAndSetRoundTripCharacterForCharacter)
{
    Document page = Document::parse(u"<h1 class=\"title\">A</h1><h1>B</h1>"_s);
    QList<Element> headings = page.getElementsByTagName(u"h1"_s);
    ASSERT_EQ(headings.size(), 2);
    EXPECT_EQ(headings[0].className(), u"title"_s);
    EXPECT_EQ(headings[1].className(), QString());

    const QString marker = u" ';;wow fadeIn;;'"_s;
    headings[0].setClassName(headings[0].className() + marker);
    headings[1].setClassName(marker.trimmed());
    EXPECT_EQ(headings[0].className(), u"title ';;wow fadeIn;;'"_s);
    // The marker is written as it is, directly followed by the closing quote.
    EXPECT_EQ(headings[0].outerHTML(), u"<h1 class=\"title ';;wow fadeIn;;'\">A</h1>"_s);
    EXPECT_TRUE(page.readBack().contains(marker + u'"'));
    // An element without a class gets the attribute after its others.
    EXPECT_EQ(headings[1].outerHTML(), u"<h1 class=\"';;wow fadeIn;;'\">B</h1>"_s);

    // Parsing the written markup again gives back exactly the value that was set.
    const Document again = Document::parse(page.readBack());
    EXPECT_EQ(again.getElementsByTagName(u"h1"_s).first().className(), u"title"_s + marker);
}

TEST(ClassName, OnlyAmpersandQuoteAngleBracketsAndNoBreakSpaceAreEscaped)
{
    Document page = Document::parse(u"<img src=a.png>"_s);
    Element img = page.images().first();
    const QString value = u"a&b \"c\" <d> e\u00A0f 'g';"_s;
    img.setClassName(value);
    EXPECT_EQ(img.outerHTML(),
              u"<img src=\"a.png\" class=\"a&amp;b &quot;c&quot; &lt;d&gt; e&nbsp;f 'g';\">"_s);
    EXPECT_EQ(Document::parse(page.readBack()).images().first().className(), value);
}

// --- Element lookup -----------------------------------------------------------------------------

TEST(Lookup, ElementsInDocumentOrderSkippingTemplateAndNoscriptContents)
{
    const Document page = Document::parse(
        u"<head><noscript><link id=hidden-link rel=stylesheet href=a.css></noscript></head>"
        "<body><img id=i1><h1 id=h1>A<img id=i2></h1>"
        "<template><img id=tpl><h1 id=tpl-h1></h1></template>"
        "<noscript><img id=ns><h1 id=ns-h1></h1></noscript>"
        "<div><IMG id=i3><H1 id=h2></H1></div>"
        "<svg><image id=svg-image href=x /></svg><math><mi><img id=i4></mi></math>"_s);
    EXPECT_EQ(ids(page.images()), (QStringList{u"i1"_s, u"i2"_s, u"i3"_s, u"i4"_s}));
    EXPECT_EQ(ids(page.getElementsByTagName(u"h1"_s)), (QStringList{u"h1"_s, u"h2"_s}));
    // The tag name matches ASCII case-insensitively.
    EXPECT_EQ(ids(page.getElementsByTagName(u"IMG"_s)), ids(page.images()));
    EXPECT_EQ(ids(page.getElementsByTagName(u"H1"_s)), (QStringList{u"h1"_s, u"h2"_s}));
    // Nothing inside <noscript>, anywhere; the <noscript> elements themselves count.
    EXPECT_TRUE(page.getElementsByTagName(u"link"_s).isEmpty());
    EXPECT_EQ(page.getElementsByTagName(u"noscript"_s).size(), 2);
    // Only HTML elements: the SVG <image> is not an image.
    EXPECT_TRUE(page.getElementsByTagName(u"image"_s).isEmpty());
    EXPECT_EQ(page.getElementsByTagName(u"template"_s).size(), 1);
}

TEST(Lookup, DocumentElementIsTheRootEvenForAnEmptyPage)
{
    const Document page = Document::parse(QString());
    EXPECT_EQ(page.documentElement().localName(), u"html"_s);
    EXPECT_EQ(page.readBack(), u"<html><head></head><body></body></html>"_s);
}

// --- Read back ----------------------------------------------------------------------------------

TEST(ReadBack, WellFormedPageComesBackUnchanged)
{
    const QString page = u"<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                         "<title>T &amp; U</title></head><body><h1 class=\"x\">Hello</h1>\n"
                         "<p>a<br>b</p></body></html>"_s;
    EXPECT_EQ(Document::parse(page).readBack(), page);
}

TEST(ReadBack, DoctypeKeepsPublicAndSystemIdentifiers)
{
    // A quirks-mode-deciding doctype must stay as it is, or the page renders differently.
    const QString html401 = u"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                            "\"http://www.w3.org/TR/html4/loose.dtd\">"_s;
    EXPECT_TRUE(Document::parse(u"<!doctype HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                                "'http://www.w3.org/TR/html4/loose.dtd'><p>x"_s)
                    .readBack()
                    .startsWith(html401 + u"\n<html><head></head><body><p>x</p>"_s));
    EXPECT_TRUE(
        Document::parse(u"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"_s)
            .readBack()
            .startsWith(u"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
                        "<html>"_s));
    EXPECT_TRUE(Document::parse(u"<!DOCTYPE html SYSTEM \"about:legacy-compat\">"_s)
                    .readBack()
                    .startsWith(u"<!DOCTYPE html SYSTEM \"about:legacy-compat\">\n<html>"_s));
    // An identifier that holds a double quote is written in single quotes.
    EXPECT_TRUE(Document::parse(u"<!DOCTYPE html PUBLIC 'a\"b'>"_s)
                    .readBack()
                    .startsWith(u"<!DOCTYPE html PUBLIC 'a\"b'>\n"_s));
    EXPECT_TRUE(Document::parse(u"<p>no doctype"_s).readBack().startsWith(u"<html>"_s));
}

TEST(ReadBack, CommentsBeforeAndAfterTheRootElement)
{
    const Document page = Document::parse(
        u"<!DOCTYPE html><!-- before --><!--second--><html><body>x<!--in--></body></html>"
        "<!-- after -->"_s);
    EXPECT_EQ(page.readBack(),
              u"<!DOCTYPE html>\n<!-- before -->\n<!--second-->\n"
              "<html><head></head><body>x<!--in--></body></html>\n<!-- after -->"_s);
    // A comment ahead of the doctype stays ahead of it.
    EXPECT_TRUE(Document::parse(u"<!--first--><!DOCTYPE html><p>"_s)
                    .readBack()
                    .startsWith(u"<!--first-->\n<!DOCTYPE html>\n<html>"_s));
}

// --- Robustness and files -----------------------------------------------------------------------

TEST(Parse, NulCharactersDoNotEndTheInput)
{
    QString html = u"<p title=\"a"_s;
    html += QChar(0);
    html += u"b\">one"_s;
    html += QChar(0);
    html += u"two</p><h1>after the NULs</h1>"_s;
    const Document page = Document::parse(html);
    const QString markup = page.readBack();
    EXPECT_TRUE(markup.contains(u"<h1>after the NULs</h1>"_s)) << markup.toStdString();
    // A NUL in an attribute value becomes U+FFFD; in body text it is dropped.
    EXPECT_TRUE(markup.contains(u"title=\"a\uFFFDb\""_s)) << markup.toStdString();
    EXPECT_TRUE(markup.contains(u">onetwo</p>"_s)) << markup.toStdString();
}

TEST(Navigate2, ReadsDecodesAndParsesAPageFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"page.html"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
               "<h1>Grüße</h1><img src=\"a.png\"></body></html>"_s.toUtf8());
    file.close();

    Result<Document> result = Document::Navigate2(path);
    ASSERT_TRUE(result.ok()) << result.error().toStdString();
    const Document &page = result.value();
    EXPECT_EQ(page.encoding().kind, PageEncoding::Kind::Utf8);
    EXPECT_EQ(page.images().size(), 1);
    EXPECT_EQ(firstElement(page, u"h1"_s).outerHTML(), u"<h1>Grüße</h1>"_s);
}

TEST(Navigate2, MissingFileGivesAnErrorNamingThePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"no such page.html"_s);
    const Result<Document> result = Document::Navigate2(path);
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.error().contains(QDir::toNativeSeparators(path)))
        << result.error().toStdString();
}

}  // namespace
}  // namespace lumivane
