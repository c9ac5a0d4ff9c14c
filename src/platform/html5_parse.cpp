#include "platform/html5_parse.h"

#include "platform/html5/html5_parser.h"
#include "platform/html_serializer.h"
#include "platform/step_timing.h"

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lumivane {

namespace {

struct ParsedPageDeleter {
    void operator()(LumivaneHtml5Document *document) const { lumivane_html5_free(document); }
};
using ParsedPage = std::unique_ptr<LumivaneHtml5Document, ParsedPageDeleter>;

enum class QuirksMode : std::uint8_t { None = 0, Limited = 1, Quirks = 2 };

ParsedPage parse(QByteArrayView utf8)
{
    return ParsedPage(lumivane_html5_parse(reinterpret_cast<const uint8_t *>(utf8.data()),
                                           static_cast<size_t>(utf8.size())));
}

std::string_view view(const LumivaneHtml5String &text)
{
    return {text.data, text.size};
}

QString toQString(const LumivaneHtml5String &text)
{
    return QString::fromUtf8(text.data, static_cast<qsizetype>(text.size));
}

dom::Namespace elementNamespace(std::uint8_t ns)
{
    switch (ns) {
    case 1:
        return dom::Namespace::Svg;
    case 2:
        return dom::Namespace::MathMl;
    default:
        return dom::Namespace::Html;
    }
}

dom::AttributeNamespace attributeNamespace(std::uint8_t ns)
{
    switch (ns) {
    case 1:
        return dom::AttributeNamespace::XLink;
    case 2:
        return dom::AttributeNamespace::Xml;
    case 3:
        return dom::AttributeNamespace::Xmlns;
    default:
        return dom::AttributeNamespace::None;
    }
}

// Element and attribute names repeat thousands of times in a page: each distinct name becomes one
// shared string instead of thousands of copies.
class Names {
public:
    const QString &operator()(const LumivaneHtml5String &name)
    {
        auto [it, added] = m_names.try_emplace(view(name));
        if (added) {
            it->second = toQString(name);
        }
        return it->second;
    }

private:
    // The keys point into the parsed page, which outlives this table.
    std::unordered_map<std::string_view, QString> m_names;
};

// Builds our tree from the parser's flat list: parents come before their children, and a node's
// parent is the last node one level up.
std::unique_ptr<dom::Node> buildTree(const LumivaneHtml5Document &page)
{
    size_t nodeCount = 0;
    size_t attributeCount = 0;
    const LumivaneHtml5Node *nodes = lumivane_html5_nodes(&page, &nodeCount);
    const LumivaneHtml5Attribute *attributes = lumivane_html5_attributes(&page, &attributeCount);

    auto document = std::make_unique<dom::Node>(dom::NodeKind::Document);
    Names names;
    // open[d] takes the nodes of depth d; a node's own children, if any, go to open[d + 1].
    std::vector<dom::Node *> open{document.get()};
    for (size_t i = 0; i < nodeCount; ++i) {
        const LumivaneHtml5Node &source = nodes[i];
        open.resize(source.depth + 1);
        dom::Node &parent = *open.back();
        const LumivaneHtml5Attribute *firstAttribute = attributes + source.firstAttribute;
        switch (source.kind) {
        case LUMIVANE_HTML5_ELEMENT: {
            auto element = std::make_unique<dom::Node>(dom::NodeKind::Element);
            element->ns = elementNamespace(source.ns);
            element->localName = names(source.name);
            element->attributes.reserve(source.attributeCount);
            for (const auto *a = firstAttribute; a != firstAttribute + source.attributeCount; ++a) {
                element->attributes.append(
                    dom::Attribute{attributeNamespace(a->ns), names(a->name), toQString(a->value)});
            }
            open.push_back(parent.appendChild(std::move(element)));
            break;
        }
        case LUMIVANE_HTML5_TEMPLATE_CONTENTS:
            // The parent is the <template>; the contents hang off it, never among its children.
            parent.templateContents = std::make_unique<dom::Node>(dom::NodeKind::TemplateContents);
            open.push_back(parent.templateContents.get());
            break;
        case LUMIVANE_HTML5_TEXT:
        case LUMIVANE_HTML5_COMMENT: {
            auto node = std::make_unique<dom::Node>(
                source.kind == LUMIVANE_HTML5_TEXT ? dom::NodeKind::Text : dom::NodeKind::Comment);
            node->data = toQString(source.text);
            open.push_back(parent.appendChild(std::move(node)));
            break;
        }
        case LUMIVANE_HTML5_DOCTYPE: {
            auto doctype = std::make_unique<dom::Node>(dom::NodeKind::Doctype);
            doctype->doctype = std::make_unique<dom::DoctypeFields>(
                dom::DoctypeFields{toQString(source.name), toQString(firstAttribute[0].value),
                                   toQString(firstAttribute[1].value)});
            open.push_back(parent.appendChild(std::move(doctype)));
            break;
        }
        default:
            open.push_back(nullptr);  // no node of ours; nothing can be its child
            break;
        }
    }
    return document;
}

QuirksMode quirksMode(const LumivaneHtml5Document &page)
{
    return static_cast<QuirksMode>(lumivane_html5_quirks_mode(&page));
}

// A doctype with something unexpected after its name (<!DOCTYPE html lang="en">) puts a browser
// into quirks mode whatever its name and identifiers say, and the tree keeps no trace of it. Such
// a doctype is marked, so that it is written back in a form that does the same.
void markForcedQuirks(dom::Node &document, QuirksMode pageMode)
{
    if (pageMode != QuirksMode::Quirks) {
        return;
    }
    for (auto &child : document.children) {
        if (child->kind != dom::NodeKind::Doctype) {
            continue;
        }
        QString plain;
        appendDoctype(plain, *child);
        const ParsedPage alone = parse(plain.toUtf8());
        if (alone && quirksMode(*alone) != QuirksMode::Quirks) {
            child->doctype->forcesQuirks = true;
        }
        return;
    }
}

// What a parser makes of an empty page: <html><head></head><body></body></html>.
std::unique_ptr<dom::Node> emptyDocument()
{
    auto document = std::make_unique<dom::Node>(dom::NodeKind::Document);
    auto html = std::make_unique<dom::Node>(dom::NodeKind::Element);
    html->localName = QStringLiteral("html");
    for (const char16_t *name : {u"head", u"body"}) {
        auto child = std::make_unique<dom::Node>(dom::NodeKind::Element);
        child->localName = QString::fromUtf16(name);
        html->appendChild(std::move(child));
    }
    document->appendChild(std::move(html));
    return document;
}

}  // namespace

std::unique_ptr<dom::Node> parseHtmlDocument(const QString &html)
{
    return parseHtmlDocumentUtf8(html.toUtf8());
}

std::unique_ptr<dom::Node> parseHtmlDocumentUtf8(QByteArray utf8)
{
    ParsedPage page = parse(utf8);
    utf8 = QByteArray();  // the parser keeps what it needs
    markStepEnd("parse");
    if (!page) {
        // The parser is not known to fail on any input; should it, the page reads as empty, as a
        // browser shows a page it cannot read, rather than taking the program down.
        return emptyDocument();
    }
    std::unique_ptr<dom::Node> document = buildTree(*page);
    markForcedQuirks(*document, quirksMode(*page));
    markStepEnd("tree");
    return document;
}

void parseAndDiscard(QByteArrayView utf8)
{
    lumivane_html5_parse_only(reinterpret_cast<const uint8_t *>(utf8.data()),
                              static_cast<size_t>(utf8.size()));
}

}  // namespace lumivane
