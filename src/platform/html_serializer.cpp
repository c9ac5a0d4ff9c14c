#include "platform/html_serializer.h"

#include <array>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Elements that never have an end tag or contents in markup ("serializes as void").
bool serializesAsVoid(const dom::Node &element)
{
    static constexpr std::array names{
        u"area", u"base",  u"basefont", u"bgsound", u"br",   u"col",   u"embed",  u"frame", u"hr",
        u"img",  u"input", u"keygen",   u"link",    u"meta", u"param", u"source", u"track", u"wbr"};
    if (element.ns != dom::Namespace::Html) {
        return false;
    }
    for (const char16_t *name : names) {
        if (element.localName == QStringView(name)) {
            return true;
        }
    }
    return false;
}

// Parents whose text the parser takes literally, so the text must be written literally too.
// Only HTML elements: an SVG <style> or <script> holds ordinary escaped text.
// <noscript> is not here. A browser writes its text literally only when scripting is on for the
// document, because only then does its parser read <noscript> contents as raw text. Our parser
// runs with scripting off: <noscript> contents are elements and text like anywhere else, and
// writing them as ordinary nodes is what makes them parse back to the same tree.
bool hasRawTextParent(const dom::Node &text)
{
    const dom::Node *parent = text.parent;
    if (!parent || !parent->isElement() || parent->ns != dom::Namespace::Html) {
        return false;
    }
    static constexpr std::array names{u"style",   u"script",   u"xmp",      u"iframe",
                                      u"noembed", u"noframes", u"plaintext"};
    for (const char16_t *name : names) {
        if (parent->localName == QStringView(name)) {
            return true;
        }
    }
    return false;
}

enum class EscapeMode { Text, Attribute };

// "Escaping a string". Steps 1-4 apply in both modes, step 5 only in attribute mode. < and > in
// attribute values used to be written raw; current browsers escape them (so that a value can
// never look like markup to a reader that does not track quotes), and so do we. Nothing else is
// escaped: ' and ; stay exactly as they are, which the class-name markers rely on.
void appendEscaped(QString &out, QStringView text, EscapeMode mode)
{
    qsizetype runStart = 0;
    const auto flush = [&](qsizetype upTo) { out.append(text.sliced(runStart, upTo - runStart)); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        QLatin1StringView replacement;
        switch (text[i].unicode()) {
        case u'&':  // 1. "&" -> "&amp;"
            replacement = "&amp;"_L1;
            break;
        case 0x00A0:  // 2. U+00A0 NO-BREAK SPACE -> "&nbsp;"
            replacement = "&nbsp;"_L1;
            break;
        case u'<':  // 3. "<" -> "&lt;"
            replacement = "&lt;"_L1;
            break;
        case u'>':  // 4. ">" -> "&gt;"
            replacement = "&gt;"_L1;
            break;
        case u'"':  // 5. in attribute mode, '"' -> "&quot;"
            if (mode == EscapeMode::Attribute) {
                replacement = "&quot;"_L1;
            }
            break;
        default:
            break;
        }
        if (replacement.isEmpty()) {
            continue;
        }
        flush(i);
        out.append(replacement);
        runStart = i + 1;
    }
    flush(text.size());
}

// An attribute's serialized name.
void appendAttributeName(QString &out, const dom::Attribute &attr)
{
    switch (attr.ns) {
    case dom::AttributeNamespace::None:  // no namespace: the local name
        break;
    case dom::AttributeNamespace::Xml:  // XML namespace: "xml:" + local name
        out.append("xml:"_L1);
        break;
    case dom::AttributeNamespace::Xmlns:  // XMLNS namespace: "xmlns", or "xmlns:" + local name
        if (attr.localName == "xmlns"_L1) {
            out.append(attr.localName);
            return;
        }
        out.append("xmlns:"_L1);
        break;
    case dom::AttributeNamespace::XLink:  // XLink namespace: "xlink:" + local name
        out.append("xlink:"_L1);
        break;
    }
    out.append(attr.localName);
}

// The HTML fragment serialization algorithm, for `node`:
// https://html.spec.whatwg.org/multipage/parsing.html#serialising-html-fragments
// Steps 1-5 here, step 5.2 (one child) in appendNode below. Not carried over: shadow roots
// (step 4), custom element "is" values and processing instructions; our tree has none of them.
void appendNode(QString &out, const dom::Node &current);

void appendChildren(QString &out, const dom::Node &node)
{
    if (node.isElement() && serializesAsVoid(node)) {
        return;  // 1. a void element has no contents
    }
    // 2. s is `out`; we append to one string throughout so the whole document is written in
    //    linear time.
    // 3. A template's contents stand in for its children.
    const dom::Node &parent = node.templateContents ? *node.templateContents : node;
    // 4. (shadow host: never, our tree has no shadow roots)
    for (const auto &child : parent.children) {  // 5. each child, in tree order
        appendNode(out, *child);                 // 5.1-5.2
    }
}

// Step 5.2 for one child node, "current node".
void appendNode(QString &out, const dom::Node &current)
{
    switch (current.kind) {
    case dom::NodeKind::Element: {
        // Every element of ours is in the HTML, SVG or MathML namespace: tagname is its local
        // name (lower case for HTML, adjusted case such as foreignObject for SVG).
        const QString &tagName = current.localName;
        out.append(u'<').append(tagName);  // "<" followed by tagname
        for (const dom::Attribute &attr : current.attributes) {
            // For each attribute: space, serialized name, "=", '"', value escaped in attribute
            // mode, '"'. Always double quotes, whatever the page used.
            out.append(u' ');
            appendAttributeName(out, attr);
            out.append("=\""_L1);
            appendEscaped(out, attr.value, EscapeMode::Attribute);
            out.append(u'"');
        }
        out.append(u'>');  // ">"
        if (serializesAsVoid(current)) {
            return;  // void: no contents, no end tag
        }
        appendChildren(out, current);  // recurse into the element's own children
        out.append("</"_L1).append(tagName).append(u'>');  // then "</" tagname ">"
        // Not done: the old extra newline after <pre>, <textarea> and <listing> when their text
        // starts with one. It was dropped from the algorithm in 2016 and browsers do not write
        // it; so, as in a browser, a leading newline of such text does not survive a re-parse.
        return;
    }
    case dom::NodeKind::Text:
        if (hasRawTextParent(current)) {
            out.append(current.data);  // raw-text parent: the data literally
        } else {
            appendEscaped(out, current.data, EscapeMode::Text);  // otherwise escaped
        }
        return;
    case dom::NodeKind::Comment:
        out.append("<!--"_L1).append(current.data).append("-->"_L1);  // "<!--" data "-->"
        return;
    case dom::NodeKind::Doctype:
        // Deviation: a browser writes only "<!DOCTYPE name>". We keep the public and system
        // identifiers, because they choose the page's rendering mode (quirks, limited quirks)
        // and a page written back must look as it did.
        appendDoctype(out, current);
        return;
    case dom::NodeKind::Document:
    case dom::NodeKind::TemplateContents:
        appendChildren(out, current);  // never a child; written as their contents
        return;
    }
}

}  // namespace

void appendOuter(QString &out, const dom::Node &node)
{
    // outerHTML: the node serialized as the only child of a fictional parent.
    appendNode(out, node);
}

QString serializeOuter(const dom::Node &node)
{
    QString out;
    appendOuter(out, node);
    return out;
}

QString serializeInner(const dom::Node &node)
{
    QString out;
    appendChildren(out, node);
    return out;
}

void appendDoctype(QString &out, const dom::Node &doctype)
{
    // An identifier may hold one kind of quote (the page quoted it with the other), so it is
    // written in the quote it does not hold.
    const auto appendQuoted = [&out](const QString &id) {
        const QChar quote = id.contains(u'"') ? u'\'' : u'"';
        out.append(u' ').append(quote).append(id).append(quote);
    };
    out.append("<!DOCTYPE "_L1).append(doctype.doctypeName);
    if (!doctype.publicId.isEmpty()) {
        out.append(" PUBLIC"_L1);
        appendQuoted(doctype.publicId);
        if (!doctype.systemId.isEmpty()) {
            appendQuoted(doctype.systemId);
        }
    } else if (!doctype.systemId.isEmpty()) {
        out.append(" SYSTEM"_L1);
        appendQuoted(doctype.systemId);
    }
    out.append(u'>');
}

QString serializeDocument(const dom::Node &document)
{
    QString out;
    appendChildren(out, document);
    return out;
}

}  // namespace lumivane
