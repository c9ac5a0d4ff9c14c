#include "platform/gumbo_parse.h"

#include "platform/step_timing.h"

#include <gumbo.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <utility>

namespace lumivane {

namespace {

const GumboOptions &parseOptions()
{
    static const GumboOptions options = [] {
        GumboOptions o = kGumboDefaultOptions;
        // We never show parse errors, and a badly broken page would otherwise collect one record
        // per error; recording stops at the limit, parsing does not.
        o.max_errors = 0;
        return o;
    }();
    return options;
}

// Owns one parse. Why a class of its own:
// - The output points into the input buffer (every original_tag / original_text is a view of
//   it), so the buffer must live at least as long as the output: both live and die here, the
//   output first.
// - The input is handed over with its length, never as a C string: a page may hold NUL bytes,
//   and the parser must see them (it replaces or drops them as a browser does) instead of
//   stopping early.
// - The output must be released with the same options it was made with.
class GumboParse {
public:
    explicit GumboParse(QByteArray utf8)
        : m_input(std::move(utf8))
        , m_output(gumbo_parse_with_options(&parseOptions(), m_input.constData(),
                                            static_cast<size_t>(m_input.size())))
    {}
    ~GumboParse()
    {
        if (m_output) {
            gumbo_destroy_output(&parseOptions(), m_output);
        }
    }
    GumboParse(const GumboParse &) = delete;
    GumboParse &operator=(const GumboParse &) = delete;

    [[nodiscard]] GumboNode *document() const { return m_output ? m_output->document : nullptr; }
    [[nodiscard]] const QByteArray &input() const { return m_input; }

private:
    QByteArray m_input;
    GumboOutput *m_output;
};

const GumboNode *childAt(const GumboVector &children, unsigned int index)
{
    return static_cast<const GumboNode *>(children.data[index]);
}

bool isHtmlWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// A tag name as the tokenizer makes it from source text: ASCII upper case folded, NUL replaced.
QString tokenizerTagName(std::string_view raw)
{
    QString name = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    for (QChar &c : name) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') {
            c = QChar(c.unicode() + ('a' - 'A'));
        } else if (c.unicode() == 0) {
            c = QChar(0xFFFD);
        }
    }
    return name;
}

// The element's local name. The library has names only for the tags it knows; an unknown tag's
// name must be cut out of the start tag's source text (original_tag, "<my-tag a=1>"). SVG names
// get their mixed case (foreignObject, clipPath) from the library's table, which it leaves to
// us because it stores no adjusted name itself.
QString elementName(const GumboElement &element)
{
    std::string_view raw;
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        raw = gumbo_normalized_tagname(element.tag);
    } else if (element.original_tag.data && element.original_tag.length > 1) {
        std::string_view text(element.original_tag.data, element.original_tag.length);
        // The name follows the first '<' that a letter follows: a "</>" just before the tag makes
        // no token of its own, and the library counts it into the tag's source text.
        const auto isAsciiLetter = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        };
        size_t open = 0;
        while (open + 1 < text.size() && !(text[open] == '<' && isAsciiLetter(text[open + 1]))) {
            ++open;
        }
        text.remove_prefix(open + 1 < text.size() ? open + 1 : 0);
        size_t end = 0;
        while (end < text.size() && !isHtmlWhitespace(text[end]) && text[end] != '/' &&
               text[end] != '>') {
            ++end;
        }
        raw = text.substr(0, end);
    }
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG) {
        const GumboStringPiece piece{raw.data(), raw.size()};
        if (const char *adjusted = gumbo_normalize_svg_tagname(&piece)) {
            return QString::fromLatin1(adjusted);
        }
    }
    return tokenizerTagName(raw);
}

dom::Namespace elementNamespace(GumboNamespaceEnum ns)
{
    switch (ns) {
    case GUMBO_NAMESPACE_SVG:
        return dom::Namespace::Svg;
    case GUMBO_NAMESPACE_MATHML:
        return dom::Namespace::MathMl;
    case GUMBO_NAMESPACE_HTML:
        break;
    }
    return dom::Namespace::Html;
}

dom::AttributeNamespace attributeNamespace(GumboAttributeNamespaceEnum ns)
{
    switch (ns) {
    case GUMBO_ATTR_NAMESPACE_XLINK:
        return dom::AttributeNamespace::XLink;
    case GUMBO_ATTR_NAMESPACE_XML:
        return dom::AttributeNamespace::Xml;
    case GUMBO_ATTR_NAMESPACE_XMLNS:
        return dom::AttributeNamespace::Xmlns;
    case GUMBO_ATTR_NAMESPACE_NONE:
        break;
    }
    return dom::AttributeNamespace::None;
}

// Names that nearly every page repeats, shared instead of made anew for each attribute: one
// string for thousands of "class" attributes instead of thousands of strings.
QString attributeName(const char *name)
{
    static constexpr std::array<std::u16string_view, 24> common{
        u"class", u"src",     u"alt",    u"href",   u"id",       u"style",
        u"width", u"height",  u"type",   u"rel",    u"name",     u"content",
        u"title", u"loading", u"d",      u"fill",   u"viewBox",  u"aria-hidden",
        u"lang",  u"charset", u"target", u"srcset", u"data-src", u"stroke"};
    const std::string_view wanted(name);
    for (const std::u16string_view candidate : common) {
        if (candidate.size() != wanted.size()) {
            continue;
        }
        bool same = true;
        for (size_t i = 0; i < wanted.size() && same; ++i) {
            same = static_cast<char16_t>(static_cast<unsigned char>(wanted[i])) == candidate[i];
        }
        if (same) {
            // A literal's characters, not a copy: the strings live as long as the program.
            return QString::fromRawData(reinterpret_cast<const QChar *>(candidate.data()),
                                        static_cast<qsizetype>(candidate.size()));
        }
    }
    return QString::fromUtf8(name);
}

// Converts the parser's tree into ours and releases the parser's nodes as it goes, so that the
// two trees are never whole in memory at the same time (the parser's is several times the size
// of the page). Iterative, with its own stack: a page nested 100,000 deep must not exhaust the
// thread's stack, and the library's own recursive release is never reached for anything but
// the empty document node.
class TreeConverter {
public:
    explicit TreeConverter(const GumboOptions &options)
        : m_options(options)
    {}

    void convertDocument(GumboNode &gumboDocument, dom::Node &document)
    {
        GumboVector &topLevel = gumboDocument.v.document.children;
        std::vector<Frame> stack;
        stack.push_back(Frame{&topLevel, &document, 0});
        while (!stack.empty()) {
            Frame &frame = stack.back();
            if (frame.next == frame.children->length) {
                // Every child is converted and released already; so is the vector's content.
                frame.children->length = 0;
                stack.pop_back();
                if (!stack.empty()) {
                    GumboVector *parentChildren = stack.back().children;
                    release(childAt(*parentChildren, stack.back().next - 1));
                }
                continue;
            }
            GumboNode *child = childAt(*frame.children, frame.next++);
            dom::Node &parent = *frame.parent;
            switch (child->type) {
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE: {
                dom::Node *element = parent.appendChild(convertElement(*child));
                dom::Node *contentParent = element;
                if (child->type == GUMBO_NODE_TEMPLATE) {
                    // The library lists a template's contents as its children; a browser keeps
                    // them in a separate inert fragment, and so do we.
                    element->templateContents =
                        std::make_unique<dom::Node>(dom::NodeKind::TemplateContents);
                    contentParent = element->templateContents.get();
                }
                contentParent->children.reserve(child->v.element.children.length);
                // `frame` may dangle after this push.
                stack.push_back(Frame{&child->v.element.children, contentParent, 0});
                break;
            }
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA:  // a CDATA section in SVG/MathML is plain text in the tree
                appendText(parent, child->v.text.text);
                release(child);
                break;
            case GUMBO_NODE_COMMENT: {
                auto comment = std::make_unique<dom::Node>(dom::NodeKind::Comment);
                comment->data = QString::fromUtf8(child->v.text.text);
                parent.appendChild(std::move(comment));
                release(child);
                break;
            }
            case GUMBO_NODE_DOCUMENT:
                break;
            }
        }
    }

private:
    struct Frame {
        GumboVector *children;
        dom::Node *parent;
        unsigned int next;
    };

    static GumboNode *childAt(const GumboVector &children, unsigned int index)
    {
        return static_cast<GumboNode *>(children.data[index]);
    }

    std::unique_ptr<dom::Node> convertElement(const GumboNode &node)
    {
        const GumboElement &element = node.v.element;
        auto result = std::make_unique<dom::Node>(dom::NodeKind::Element);
        result->ns = elementNamespace(element.tag_namespace);
        result->localName = localName(element);
        result->attributes.reserve(element.attributes.length);
        for (unsigned int i = 0; i < element.attributes.length; ++i) {
            const auto *attr = static_cast<const GumboAttribute *>(element.attributes.data[i]);
            // name is the tokenizer's name, already folded and, on SVG and MathML elements,
            // adjusted (viewBox, definitionURL) with the prefix split off into attr_namespace.
            result->attributes.append(dom::Attribute{attributeNamespace(attr->attr_namespace),
                                                     attributeName(attr->name),
                                                     QString::fromUtf8(attr->value)});
        }
        return result;
    }

    // Known HTML tags share one name string per parse.
    QString localName(const GumboElement &element)
    {
        if (element.tag == GUMBO_TAG_UNKNOWN || element.tag_namespace == GUMBO_NAMESPACE_SVG ||
            element.tag >= GUMBO_TAG_LAST) {
            return elementName(element);
        }
        QString &name = m_knownNames[static_cast<size_t>(element.tag)];
        if (name.isNull()) {
            name = elementName(element);
        }
        return name;
    }

    static void appendText(dom::Node &parent, const char *text)
    {
        // The library may split a run of text into whitespace and other pieces; a browser's
        // parser appends to the previous Text node instead, so we merge.
        if (!parent.children.empty() && parent.children.back()->kind == dom::NodeKind::Text) {
            parent.children.back()->data += QString::fromUtf8(text);
            return;
        }
        auto textNode = std::make_unique<dom::Node>(dom::NodeKind::Text);
        textNode->data = QString::fromUtf8(text);
        parent.appendChild(std::move(textNode));
    }

    // Frees one node of the parser's tree whose children are released already, exactly what the
    // library's own release frees for it: the node, a text's characters, an element's attributes
    // (name, value, record) and its two vectors' storage.
    void release(GumboNode *node)
    {
        switch (node->type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            GumboElement &element = node->v.element;
            for (unsigned int i = 0; i < element.attributes.length; ++i) {
                auto *attr = static_cast<GumboAttribute *>(element.attributes.data[i]);
                free(const_cast<char *>(attr->name));
                free(const_cast<char *>(attr->value));
                free(attr);
            }
            free(element.attributes.data);
            free(element.children.data);
            break;
        }
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_COMMENT:
            free(const_cast<char *>(node->v.text.text));
            break;
        case GUMBO_NODE_DOCUMENT:
            return;  // released with the output
        }
        free(node);
    }

    void free(void *memory) { m_options.deallocator(m_options.userdata, memory); }

    const GumboOptions &m_options;
    std::array<QString, GUMBO_TAG_LAST> m_knownNames;
};

// Where the doctype goes among the document's children. The library records the doctype only as
// fields of the document, not as a child, so its place among comments before it is lost. In the
// first stage of parsing only whitespace and comments may come before the doctype, so the doctype
// sits before the first comment that has anything but whitespace in the source ahead of it (back
// to the previous comment), or else after all comments that lead the document.
unsigned int doctypeIndex(const GumboVector &children, const QByteArray &input)
{
    const char *begin = input.constData();
    const char *end = begin + input.size();
    const char *scanFrom = begin;
    for (unsigned int i = 0; i < children.length; ++i) {
        const GumboNode &child = *childAt(children, i);
        if (child.type != GUMBO_NODE_COMMENT) {
            return i;
        }
        const GumboStringPiece &source = child.v.text.original_text;
        if (!source.data || source.data < scanFrom || source.data > end) {
            return i;  // no usable source position: keep the doctype first, the common case
        }
        for (const char *p = scanFrom; p < source.data; ++p) {
            if (!isHtmlWhitespace(*p)) {
                return i;
            }
        }
        scanFrom = source.data + source.length;
    }
    return children.length;
}

}  // namespace

std::unique_ptr<dom::Node> parseHtmlDocument(const QString &html)
{
    return parseHtmlDocumentUtf8(html.toUtf8());
}

std::unique_ptr<dom::Node> parseHtmlDocumentUtf8(QByteArray utf8)
{
    const GumboParse parse(std::move(utf8));
    markStepEnd("parse");
    auto document = std::make_unique<dom::Node>(dom::NodeKind::Document);
    GumboNode *gumboDocument = parse.document();
    if (!gumboDocument) {
        return document;
    }
    const GumboDocument &source = gumboDocument->v.document;
    // Found before the conversion releases the comments it looks at.
    const auto doctypeAt =
        static_cast<std::ptrdiff_t>(doctypeIndex(source.children, parse.input()));
    TreeConverter(parseOptions()).convertDocument(*gumboDocument, *document);
    if (source.has_doctype) {
        auto doctype = std::make_unique<dom::Node>(dom::NodeKind::Doctype);
        doctype->doctype = std::make_unique<dom::DoctypeFields>(dom::DoctypeFields{
            QString::fromUtf8(source.name), QString::fromUtf8(source.public_identifier),
            QString::fromUtf8(source.system_identifier)});
        doctype->parent = document.get();
        // Everything ahead of that index is a comment, converted one for one, so the library's
        // index is ours too.
        document->children.insert(document->children.begin() + doctypeAt, std::move(doctype));
    }
    markStepEnd("tree");
    return document;
}

void parseAndDiscard(QByteArrayView utf8)
{
    GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(),
                                                   static_cast<size_t>(utf8.size()));
    gumbo_destroy_output(&kGumboDefaultOptions, output);
}

}  // namespace lumivane
