#include "fuzz_invariants.h"

#include "engine/animation_tagging.h"
#include "platform/dom.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane::fuzz {

namespace {

// The text as the encoder writes it: unpaired surrogates become U+FFFD, and a character that
// windows-1252 cannot hold becomes a numeric character reference.
QString asEncoded(const QString &text, PageEncoding::Kind kind)
{
    // Every character windows-1252 holds, found by decoding each byte value once.
    static const QString windows1252 = [] {
        QByteArray bytes("<meta charset=windows-1252>");
        for (int byte = 0; byte < 256; ++byte) {
            bytes.append(static_cast<char>(byte));
        }
        return decodePage(bytes).text;
    }();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        char32_t codePoint = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, text[i + 1]);
        } else if (c.isSurrogate()) {
            codePoint = 0xFFFD;
        }
        const bool holds = kind != PageEncoding::Kind::Windows1252 ||
                           (codePoint <= 0xFFFF && windows1252.contains(QChar(codePoint)));
        if (!holds) {
            out += u"&#"_s + QString::number(static_cast<uint>(codePoint)) + u';';
        } else if (codePoint > 0xFFFF) {
            out += QChar(QChar::highSurrogate(codePoint));
            out += QChar(QChar::lowSurrogate(codePoint));
        } else {
            out += QChar(static_cast<char16_t>(codePoint));
        }
        if (codePoint > 0xFFFF) {
            ++i;
        }
    }
    return out;
}

QString firstDifference(const QString &expected, const QString &actual)
{
    qsizetype at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    const qsizetype from = std::max<qsizetype>(0, at - 40);
    return u"first difference at %1 of %2/%3:\n  expected: %4\n  actual:   %5"_s.arg(
        QString::number(at), QString::number(expected.size()), QString::number(actual.size()),
        expected.mid(from, 100), actual.mid(from, 100));
}

bool isScriptOrStyle(const dom::Tree &tree, dom::NodeId node)
{
    return node != dom::NoNode && (tree[node].isHtml("script") || tree[node].isHtml("style"));
}

// A script whose text opens "<!--": its "</script>" may be text to the parser.
bool hasScriptWithCommentOpener(const dom::Tree &tree)
{
    for (dom::NodeId id = 0; id < tree.size(); ++id) {
        const dom::NodeId parent = tree.parent(id);
        if (tree[id].kind == dom::NodeKind::Text && parent != dom::NoNode &&
            tree[parent].isHtml("script") &&
            tree[id].text.view().find("<!--") != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// An HTML element right inside an SVG or MathML element that holds no HTML (not a foreignObject,
// desc, title, mi, mo, mn, ms, mtext, nor an annotation-xml whose encoding is HTML). Markup cannot
// express it: its start tag leaves the foreign content on the next parse. The parser builds one
// from a stray </p> or </br> there, by rules older than browsers' (which leave the foreign
// content first).
bool holdsHtml(const dom::Tree &tree, dom::NodeId element)
{
    static constexpr std::string_view textElements[] = {
        "foreignObject", "desc", "title", "mi", "mo", "mn", "ms", "mtext"};
    const std::string_view name = tree[element].name.view();
    if (name == "annotation-xml") {
        const dom::Utf8 *encoding = tree.attribute(element, "encoding");
        const QString value = encoding ? toQString(*encoding).toLower() : QString();
        return value == u"text/html"_s || value == u"application/xhtml+xml"_s;
    }
    return std::find(std::begin(textElements), std::end(textElements), name) !=
           std::end(textElements);
}

bool hasHtmlElementInForeignContent(const dom::Tree &tree)
{
    for (dom::NodeId id = 0; id < tree.size(); ++id) {
        const dom::NodeId parent = tree.parent(id);
        if (tree[id].isElement() && tree[id].ns == dom::Namespace::Html && parent != dom::NoNode &&
            tree[parent].isElement() && tree[parent].ns != dom::Namespace::Html &&
            !holdsHtml(tree, parent)) {
            return true;
        }
    }
    return false;
}

// Text nodes outside script and style, in tree order (template contents included), without
// white space.
QString visibleText(const dom::Tree &tree)
{
    QString visible;
    for (dom::NodeId id = 0; id < tree.size(); ++id) {
        if (tree[id].kind != dom::NodeKind::Text || isScriptOrStyle(tree, tree.parent(id))) {
            continue;
        }
        for (const QChar c : toQString(tree[id].text)) {
            if (!c.isSpace()) {
                visible += c;
            }
        }
    }
    return visible;
}

}  // namespace

QString checkCodecRoundTrip(const DecodedPage &page)
{
    if (page.encoding.kind == PageEncoding::Kind::Other) {
        return {};
    }
    const DecodedPage again = decodePage(encodePage(page.text, page.encoding));
    if (again.text != page.text) {
        return u"decode, encode, decode changed the text (%1): "_s.arg(
                   QString::fromLatin1(page.encoding.name)) +
               firstDifference(page.text, again.text);
    }
    return {};
}

QString checkOutputDecodes(const QString &restyled, const PageEncoding &encoding,
                           const QByteArray &written)
{
    if (encoding.kind == PageEncoding::Kind::Other) {
        return {};
    }
    // Read in another encoding, the page must still give the same text: plain ASCII reads the
    // same in every encoding a browser may guess.
    const DecodedPage read = decodePage(written);
    const QString expected = asEncoded(restyled, encoding.kind);
    if (read.text != expected) {
        return u"the written page (%1) reads back as other text (%2): "_s.arg(
                   QString::fromLatin1(encoding.name), QString::fromLatin1(read.encoding.name)) +
               firstDifference(expected, read.text);
    }
    return {};
}

QString checkReadBackStable(const QString &readBack)
{
    // Markup cannot close a <plaintext> element: everything after its start tag is its text, so
    // each round moves what followed it inside. Browsers' outerHTML behaves the same.
    if (readBack.contains(u"<plaintext"_s)) {
        return {};
    }
    const Document first = Document::parse(readBack);
    // Nor a script whose text opens "<!--" and then "<script" without "-->": its "</script>" is
    // text to the parser, so it runs on to the end of the page. Nor an HTML element right inside
    // foreign content.
    if (hasScriptWithCommentOpener(first.tree()) || hasHtmlElementInForeignContent(first.tree())) {
        return {};
    }
    const QString second = first.readBack();
    const QString third = Document::parse(second).readBack();
    if (third != second) {
        return u"parse and read-back is not stable: "_s + firstDifference(second, third);
    }
    return {};
}

QString checkAllTagged(const Document &restyled, bool pageHasMarkers)
{
    QList<Element> elements = restyled.getElementsByTagName(u"h1"_s);
    elements.append(restyled.images());
    const QString opening = QString::fromLatin1(marker::Opening);
    const QString closing = QString::fromLatin1(marker::Closing);
    for (const Element &element : elements) {
        const QString className = element.className();
        const QStringList tokens = className.split(u' ', Qt::SkipEmptyParts);
        const bool markerLeft = className.contains(opening) || className.contains(closing);
        if (!tokens.contains(u"wow"_s) || (markerLeft && !pageHasMarkers)) {
            return u"<%1 class=\"%2\"> is not tagged right"_s.arg(element.localName(), className);
        }
    }
    return {};
}

QString checkTextKept(const Document &before, const Document &after)
{
    const QString expected = visibleText(before.tree());
    const QString actual = visibleText(after.tree());
    if (expected != actual) {
        return u"the page's text changed: "_s + firstDifference(expected, actual);
    }
    return {};
}

}  // namespace lumivane::fuzz
