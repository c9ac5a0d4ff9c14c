#include "platform/html_serializer.h"

#include "platform/html_element_facts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace lumivane {

namespace {

using namespace std::string_view_literals;

// Appends to the output through a pointer of its own: a page is written in hundreds of thousands
// of small pieces, and QByteArray's checks on each append cost more than the copying. The output
// grows in large steps and is cut to what was written when the writer goes.
class Writer {
public:
    explicit Writer(QByteArray &out)
        : m_out(out)
        , m_size(out.size())
    {}
    ~Writer() { m_out.resize(m_size); }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    void append(std::string_view text)
    {
        const auto length = static_cast<qsizetype>(text.size());
        if (m_out.size() - m_size < length) {
            m_out.resize(std::max(m_size + length, 2 * m_out.size() + 4096));
        }
        std::memcpy(m_out.data() + m_size, text.data(), text.size());
        m_size += length;
    }
    void append(char c) { append(std::string_view(&c, 1)); }
    void append(const dom::Utf8 &text) { append(text.view()); }

private:
    QByteArray &m_out;
    qsizetype m_size;
};

// Elements that never have an end tag or contents in markup ("serializes as void").
bool serializesAsVoid(const dom::Node &element)
{
    return element.ns == dom::Namespace::Html &&
           htmlElementFacts(element.name.view()).content == ElementContent::Void;
}

// Parents whose text the parser takes literally, so the text must be written literally too:
// raw text, script data and plaintext, not the escapable raw text of title and textarea. Only HTML
// elements: an SVG <style> or <script> holds ordinary escaped text. <noscript> is one of them
// because scripting is on for our documents, as it is for every visitor's browser.
bool takesTextLiterally(const dom::Node &parent)
{
    if (!parent.isElement() || parent.ns != dom::Namespace::Html) {
        return false;
    }
    const ElementContent content = htmlElementFacts(parent.name.view()).content;
    return content == ElementContent::RawText || content == ElementContent::ScriptData ||
           content == ElementContent::Plaintext;
}

// An HTML pre, textarea or listing whose first child is text starting with a newline: the one
// newline the parser drops after their start tag would be this one.
bool startsWithNewlineTheParserDrops(const dom::Tree &tree, dom::NodeId element)
{
    const dom::Node &node = tree[element];
    if (node.ns != dom::Namespace::Html ||
        !htmlElementFacts(node.name.view()).dropsLeadingNewline) {
        return false;
    }
    const dom::NodeId first = element + 1;
    return first < tree.subtreeEnd(element) && tree[first].kind == dom::NodeKind::Text &&
           tree[first].text.view().starts_with('\n');
}

enum class EscapeMode { Text, Attribute };

// "Escaping a string". Steps 1-4 apply in both modes, step 5 only in attribute mode. < and > in
// attribute values used to be written raw; current browsers escape them (so that a value can
// never look like markup to a reader that does not track quotes), and so do we. Nothing else is
// escaped: ' and ; stay exactly as they are, which the class-name markers rely on.
// Deviation: a carriage return (only a character reference can put one into a text or a value)
// is written as "&#13;". Written raw, as browsers do, the parser would turn it into a line feed,
// and the page would lose it.
void appendEscaped(Writer &out, std::string_view text, EscapeMode mode)
{
    // The bytes that may start something to escape; all others are copied in runs.
    static constexpr std::array<bool, 256> mayEscape = [] {
        std::array<bool, 256> table{};
        for (const char c : "&\xC2<>\r\"") {
            table[static_cast<unsigned char>(c)] = true;
        }
        table[0] = false;  // the literal's terminator
        return table;
    }();
    size_t runStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!mayEscape[static_cast<unsigned char>(text[i])]) {
            continue;
        }
        std::string_view replacement;
        size_t length = 1;
        switch (text[i]) {
        case '&':  // 1. "&" -> "&amp;"
            replacement = "&amp;"sv;
            break;
        case '\xC2':  // 2. U+00A0 NO-BREAK SPACE (C2 A0 in UTF-8) -> "&nbsp;"
            if (i + 1 < text.size() && text[i + 1] == '\xA0') {
                replacement = "&nbsp;"sv;
                length = 2;
            }
            break;
        case '<':  // 3. "<" -> "&lt;"
            replacement = "&lt;"sv;
            break;
        case '>':  // 4. ">" -> "&gt;"
            replacement = "&gt;"sv;
            break;
        case '\r':
            replacement = "&#13;"sv;
            break;
        case '"':  // 5. in attribute mode, '"' -> "&quot;"
            if (mode == EscapeMode::Attribute) {
                replacement = "&quot;"sv;
            }
            break;
        default:
            break;
        }
        if (replacement.empty()) {
            continue;
        }
        out.append(text.substr(runStart, i - runStart));
        out.append(replacement);
        runStart = i + length;
        i += length - 1;
    }
    out.append(text.substr(runStart));
}

// An attribute's serialized name.
void appendAttributeName(Writer &out, const dom::Attribute &attr)
{
    switch (attr.ns) {
    case dom::AttributeNamespace::None:  // no namespace: the local name
        break;
    case dom::AttributeNamespace::Xml:  // XML namespace: "xml:" + local name
        out.append("xml:"sv);
        break;
    case dom::AttributeNamespace::Xmlns:  // XMLNS namespace: "xmlns", or "xmlns:" + local name
        if (attr.name == "xmlns"sv) {
            out.append(attr.name);
            return;
        }
        out.append("xmlns:"sv);
        break;
    case dom::AttributeNamespace::XLink:  // XLink namespace: "xlink:" + local name
        out.append("xlink:"sv);
        break;
    }
    out.append(attr.name);
}

void appendAttribute(Writer &out, const dom::Attribute &attr, std::string_view value)
{
    // For each attribute: space, serialized name, "=", '"', value escaped in attribute mode, '"'.
    // Always double quotes, whatever the page used.
    out.append(' ');
    appendAttributeName(out, attr);
    out.append("=\""sv);
    appendEscaped(out, value, EscapeMode::Attribute);
    out.append('"');
}

void writeDoctype(Writer &out, const dom::Tree &tree, dom::NodeId doctype)
{
    // An identifier may hold one kind of quote (the page quoted it with the other), so it is
    // written in the quote it does not hold.
    const auto appendQuoted = [&out](std::string_view id) {
        const char quote = id.find('"') != std::string_view::npos ? '\'' : '"';
        out.append(' ');
        out.append(quote);
        out.append(id);
        out.append(quote);
    };
    const auto identifiers = tree.attributes(doctype);  // public, system
    const std::string_view publicId = identifiers.size() > 0 ? identifiers[0].value.view() : ""sv;
    const std::string_view systemId = identifiers.size() > 1 ? identifiers[1].value.view() : ""sv;
    out.append("<!DOCTYPE "sv);
    out.append(tree[doctype].name);
    if (!publicId.empty()) {
        out.append(" PUBLIC"sv);
        appendQuoted(publicId);
        if (!systemId.empty()) {
            appendQuoted(systemId);
        }
    } else if (!systemId.empty()) {
        out.append(" SYSTEM"sv);
        appendQuoted(systemId);
    }
    // A word where a quoted identifier or the end should follow puts a browser into quirks mode
    // and is otherwise ignored. After a system identifier no such word has that effect, so a
    // doctype with one keeps the mode its identifiers give.
    if (tree.doctypeForcesQuirks() && systemId.empty()) {
        out.append(" quirks"sv);
    }
    out.append('>');
}

// The HTML fragment serialization algorithm:
// https://html.spec.whatwg.org/multipage/parsing.html#serialising-html-fragments
// Step 5.2 for one node up to its contents in appendStartOrLeaf, its end in appendEndTag; steps
// 1-5 for a node's contents in appendSubtree. Not carried over: shadow roots (step 4), custom
// element "is" values and processing instructions; our tree has none of them. The algorithm
// recurses into each child's children; our nodes come in document order, each subtree in one
// stretch, so one loop over them writes every level.

// Step 5.2 for `current`, up to its contents. True when it is an element whose contents and end
// tag are still to come.
bool appendStartOrLeaf(Writer &out, const dom::Tree &tree, dom::NodeId current)
{
    const dom::Node &node = tree[current];
    switch (node.kind) {
    case dom::NodeKind::Element: {
        // Every element of ours is in the HTML, SVG or MathML namespace: tagname is its local
        // name (lower case for HTML, adjusted case such as foreignObject for SVG).
        out.append('<');  // "<" followed by tagname
        out.append(node.name);
        // The class value the run set, in place of the page's (or added last).
        const QByteArray *changed = tree.changedClass(current);
        const std::string_view changedClass =
            changed ? std::string_view(changed->constData(), static_cast<size_t>(changed->size()))
                    : std::string_view();
        bool classWritten = false;
        for (const dom::Attribute &attr : tree.attributes(current)) {
            if (changed && attr.ns == dom::AttributeNamespace::None && attr.name == "class"sv) {
                appendAttribute(out, attr, changedClass);
                classWritten = true;
            } else {
                appendAttribute(out, attr, attr.value.view());
            }
        }
        if (changed && !classWritten) {
            appendAttribute(out, {dom::AttributeNamespace::None, {"class", 5}, {}}, changedClass);
        }
        out.append('>');  // ">"
        // Deviation, kept from the algorithm before 2016: if current node is a pre, textarea or
        // listing element whose first child is a Text node starting with U+000A LINE FEED, append
        // a U+000A LINE FEED. The parser drops one newline right after those start tags, so
        // without it a leading newline of their text is lost on every re-parse. Browsers no
        // longer write it; a page written back must not lose a line.
        if (startsWithNewlineTheParserDrops(tree, current)) {
            out.append('\n');
        }
        return !serializesAsVoid(node);  // void: no contents, no end tag
    }
    case dom::NodeKind::Text: {
        const dom::NodeId parent = tree.parent(current);
        if (parent != dom::NoNode && takesTextLiterally(tree[parent])) {
            out.append(node.text);  // raw-text parent: the data literally
        } else {
            appendEscaped(out, node.text.view(), EscapeMode::Text);  // otherwise escaped
        }
        return false;
    }
    case dom::NodeKind::Comment:  // "<!--" data "-->"
        out.append("<!--"sv);
        out.append(node.text);
        out.append("-->"sv);
        return false;
    case dom::NodeKind::Doctype:
        // Deviation: a browser writes only "<!DOCTYPE name>". We keep the public and system
        // identifiers, because they choose the page's rendering mode (quirks, limited quirks)
        // and a page written back must look as it did.
        writeDoctype(out, tree, current);
        return false;
    case dom::NodeKind::TemplateContents:
        // 3. A template's contents stand in for its children; they have no tags of their own.
        return false;
    }
    return false;
}

// The end of step 5.2 for an element, after its contents: "</" tagname ">".
void appendEndTag(Writer &out, const dom::Node &element)
{
    out.append("</"sv);
    out.append(element.name);
    out.append('>');
}

// Every node from `first` up to `end` (whole subtrees), in document order (5), all appended to
// one string (2: s is `out`), so that the whole document is written in linear time.
void appendNodes(Writer &out, const dom::Tree &tree, dom::NodeId first, dom::NodeId end)
{
    std::vector<dom::NodeId> open;  // elements whose end tags follow their contents
    for (dom::NodeId id = first; id < end; ++id) {
        while (!open.empty() && tree.subtreeEnd(open.back()) <= id) {
            appendEndTag(out, tree[open.back()]);
            open.pop_back();
        }
        if (appendStartOrLeaf(out, tree, id)) {
            open.push_back(id);
        } else if (tree[id].kind != dom::NodeKind::TemplateContents) {
            id = tree.subtreeEnd(id) - 1;  // 1. a void element has no contents
        }
    }
    while (!open.empty()) {
        appendEndTag(out, tree[open.back()]);
        open.pop_back();
    }
}

}  // namespace

void appendOuter(QByteArray &out, const dom::Tree &tree, dom::NodeId node)
{
    // outerHTML: the node serialized as the only child of a fictional parent.
    Writer writer(out);
    appendNodes(writer, tree, node, tree.subtreeEnd(node));
}

QByteArray serializeOuter(const dom::Tree &tree, dom::NodeId node)
{
    QByteArray out;
    appendOuter(out, tree, node);
    return out;
}

void appendDoctype(QByteArray &out, const dom::Tree &tree, dom::NodeId doctype)
{
    Writer writer(out);
    writeDoctype(writer, tree, doctype);
}

QByteArray serializeDocument(const dom::Tree &tree)
{
    QByteArray out;
    {
        Writer writer(out);
        appendNodes(writer, tree, 0, tree.size());
    }
    return out;
}

}  // namespace lumivane
