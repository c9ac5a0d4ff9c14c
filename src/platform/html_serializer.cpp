#include "platform/html_serializer.h"

#include <array>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Whether `name` is one of `names`; lengths are compared first, as most names differ in length.
template <size_t N>
bool isOneOf(const QString &name, const std::array<std::u16string_view, N> &names)
{
    const QStringView view(name);
    for (const std::u16string_view candidate : names) {
        if (static_cast<qsizetype>(candidate.size()) == view.size() &&
            view == QStringView(candidate.data(), view.size())) {
            return true;
        }
    }
    return false;
}

// Elements that never have an end tag or contents in markup ("serializes as void").
bool serializesAsVoid(const dom::Node &element)
{
    static constexpr std::array<std::u16string_view, 18> names{
        u"area", u"base",  u"basefont", u"bgsound", u"br",   u"col",   u"embed",  u"frame", u"hr",
        u"img",  u"input", u"keygen",   u"link",    u"meta", u"param", u"source", u"track", u"wbr"};
    return element.ns == dom::Namespace::Html && isOneOf(element.localName, names);
}

// Parents whose text the parser takes literally, so the text must be written literally too.
// Only HTML elements: an SVG <style> or <script> holds ordinary escaped text. <noscript> is one
// of them because scripting is on for our documents, as it is for every visitor's browser.
bool hasRawTextParent(const dom::Node &text)
{
    const dom::Node *parent = text.parent;
    if (!parent || !parent->isElement() || parent->ns != dom::Namespace::Html) {
        return false;
    }
    static constexpr std::array<std::u16string_view, 8> names{
        u"style", u"script", u"xmp", u"iframe", u"noembed", u"noframes", u"plaintext", u"noscript"};
    return isOneOf(parent->localName, names);
}

// An HTML pre, textarea or listing whose first child is text starting with a newline: the one
// newline the parser drops after their start tag would be this one.
bool startsWithNewlineTheParserDrops(const dom::Node &element)
{
    static constexpr std::array<std::u16string_view, 3> names{u"pre", u"textarea", u"listing"};
    if (element.ns != dom::Namespace::Html || !isOneOf(element.localName, names) ||
        element.children.empty()) {
        return false;
    }
    const dom::Node &first = *element.children.front();
    return first.kind == dom::NodeKind::Text && first.data.startsWith(u'\n');
}

enum class EscapeMode { Text, Attribute };

// "Escaping a string". Steps 1-4 apply in both modes, step 5 only in attribute mode. < and > in
// attribute values used to be written raw; current browsers escape them (so that a value can
// never look like markup to a reader that does not track quotes), and so do we. Nothing else is
// escaped: ' and ; stay exactly as they are, which the class-name markers rely on.
// Deviation: a carriage return (only a character reference can put one into a text or a value)
// is written as "&#13;". Written raw, as browsers do, the parser would turn it into a line feed,
// and the page would lose it.
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
        case u'\r':
            replacement = "&#13;"_L1;
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
// Steps 1-5 in appendChildren, step 5.2 (one child) in appendStartOrLeaf and appendEndTag. Not
// carried over: shadow roots (step 4), custom element "is" values and processing instructions;
// our tree has none of them. The algorithm recurses into each child's children; we walk with a
// stack of our own instead, so that a page nested 100,000 deep cannot exhaust the thread's stack.

// The node whose children are written as an element's contents: a template's contents stand in
// for its children (step 3); none for a void element (step 1: no contents).
const dom::Node *contentsOf(const dom::Node &node)
{
    if (node.isElement() && serializesAsVoid(node)) {
        return nullptr;  // 1. a void element has no contents
    }
    // 3. A template's contents stand in for its children. 4. (shadow host: never)
    return node.templateContents ? node.templateContents.get() : &node;
}

// Step 5.2 for one child node, "current node", up to its contents. True when it is an element
// whose contents and end tag are still to come.
bool appendStartOrLeaf(QString &out, const dom::Node &current)
{
    switch (current.kind) {
    case dom::NodeKind::Element: {
        // Every element of ours is in the HTML, SVG or MathML namespace: tagname is its local
        // name (lower case for HTML, adjusted case such as foreignObject for SVG).
        out.append(u'<').append(current.localName);  // "<" followed by tagname
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
        // Deviation, kept from the algorithm before 2016: if current node is a pre, textarea or
        // listing element whose first child is a Text node starting with U+000A LINE FEED, append
        // a U+000A LINE FEED. The parser drops one newline right after those start tags, so
        // without it a leading newline of their text is lost on every re-parse. Browsers no
        // longer write it; a page written back must not lose a line.
        if (startsWithNewlineTheParserDrops(current)) {
            out.append(u'\n');
        }
        // void: no contents, no end tag
        return !serializesAsVoid(current);
    }
    case dom::NodeKind::Text:
        if (hasRawTextParent(current)) {
            out.append(current.data);  // raw-text parent: the data literally
        } else {
            appendEscaped(out, current.data, EscapeMode::Text);  // otherwise escaped
        }
        return false;
    case dom::NodeKind::Comment:
        out.append("<!--"_L1).append(current.data).append("-->"_L1);  // "<!--" data "-->"
        return false;
    case dom::NodeKind::Doctype:
        // Deviation: a browser writes only "<!DOCTYPE name>". We keep the public and system
        // identifiers, because they choose the page's rendering mode (quirks, limited quirks)
        // and a page written back must look as it did.
        appendDoctype(out, current);
        return false;
    case dom::NodeKind::Document:
    case dom::NodeKind::TemplateContents:
        return true;  // never a child; written as their contents, with no tags of their own
    }
    return false;
}

// The end of step 5.2 for an element, after its contents: "</" tagname ">".
void appendEndTag(QString &out, const dom::Node &current)
{
    if (current.isElement()) {
        out.append("</"_L1).append(current.localName).append(u'>');
    }
}

// Steps 2 and 5 for the contents of `node`: each child in tree order (5), all appended to one
// string (2: s is `out`), so that the whole document is written in linear time.
void appendChildren(QString &out, const dom::Node &node)
{
    struct Open {
        const dom::Node *element;  // whose end tag follows its contents
        const dom::Node *contents;
        size_t next;
    };
    const dom::Node *topContents = contentsOf(node);
    if (!topContents) {
        return;
    }
    std::vector<Open> open{Open{nullptr, topContents, 0}};
    while (!open.empty()) {
        Open &top = open.back();
        if (top.next == top.contents->children.size()) {
            const dom::Node *finished = top.element;
            open.pop_back();
            if (finished) {
                appendEndTag(out, *finished);
            }
            continue;
        }
        const dom::Node &child = *top.contents->children[top.next++];  // 5. the next child
        if (appendStartOrLeaf(out, child)) {                           // 5.1-5.2
            const dom::Node *contents = contentsOf(child);
            open.push_back(Open{&child, contents, 0});  // `top` may dangle from here
            if (!contents) {
                open.back().contents = &child;  // no contents to write: end tag at once
                open.back().next = child.children.size();
            }
        }
    }
}

void appendNode(QString &out, const dom::Node &current)
{
    if (appendStartOrLeaf(out, current)) {
        appendChildren(out, current);  // the element's own contents
        appendEndTag(out, current);
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
    static const dom::DoctypeFields none;
    const dom::DoctypeFields &fields = doctype.doctype ? *doctype.doctype : none;
    out.append("<!DOCTYPE "_L1).append(fields.name);
    if (!fields.publicId.isEmpty()) {
        out.append(" PUBLIC"_L1);
        appendQuoted(fields.publicId);
        if (!fields.systemId.isEmpty()) {
            appendQuoted(fields.systemId);
        }
    } else if (!fields.systemId.isEmpty()) {
        out.append(" SYSTEM"_L1);
        appendQuoted(fields.systemId);
    }
    // A word where a quoted identifier or the end should follow puts a browser into quirks mode
    // and is otherwise ignored. After a system identifier no such word has that effect, so a
    // doctype with one keeps the mode its identifiers give.
    if (fields.forcesQuirks && fields.systemId.isEmpty()) {
        out.append(" quirks"_L1);
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
