#include "platform/html5_parse.h"

#include "platform/html5/html5_parser.h"
#include "platform/html_serializer.h"
#include "platform/step_timing.h"

#include <cstddef>

namespace lumivane {

namespace {

// The parser's list is our tree's storage: its records are read as our own node and attribute
// types, which must therefore be laid out alike.
template <typename Ours, typename Theirs>
constexpr bool sameSize = sizeof(Ours) == sizeof(Theirs) && alignof(Ours) == alignof(Theirs);
static_assert(sameSize<dom::Utf8, LumivaneHtml5String> &&
              offsetof(dom::Utf8, data) == offsetof(LumivaneHtml5String, data) &&
              offsetof(dom::Utf8, size) == offsetof(LumivaneHtml5String, size));
static_assert(sameSize<dom::Node, LumivaneHtml5Node> &&
              offsetof(dom::Node, kind) == offsetof(LumivaneHtml5Node, kind) &&
              offsetof(dom::Node, ns) == offsetof(LumivaneHtml5Node, ns) &&
              offsetof(dom::Node, depth) == offsetof(LumivaneHtml5Node, depth) &&
              offsetof(dom::Node, firstAttribute) == offsetof(LumivaneHtml5Node, firstAttribute) &&
              offsetof(dom::Node, attributeCount) == offsetof(LumivaneHtml5Node, attributeCount) &&
              offsetof(dom::Node, name) == offsetof(LumivaneHtml5Node, name) &&
              offsetof(dom::Node, text) == offsetof(LumivaneHtml5Node, text));
static_assert(sameSize<dom::Attribute, LumivaneHtml5Attribute> &&
              offsetof(dom::Attribute, ns) == offsetof(LumivaneHtml5Attribute, ns) &&
              offsetof(dom::Attribute, name) == offsetof(LumivaneHtml5Attribute, name) &&
              offsetof(dom::Attribute, value) == offsetof(LumivaneHtml5Attribute, value));
static_assert(static_cast<int>(dom::NodeKind::Doctype) == LUMIVANE_HTML5_DOCTYPE &&
              static_cast<int>(dom::NodeKind::Element) == LUMIVANE_HTML5_ELEMENT &&
              static_cast<int>(dom::NodeKind::Text) == LUMIVANE_HTML5_TEXT &&
              static_cast<int>(dom::NodeKind::Comment) == LUMIVANE_HTML5_COMMENT &&
              static_cast<int>(dom::NodeKind::TemplateContents) ==
                  LUMIVANE_HTML5_TEMPLATE_CONTENTS);

enum class QuirksMode : std::uint8_t { None = 0, Limited = 1, Quirks = 2 };

struct ParsedPage {
    explicit ParsedPage(QByteArrayView utf8)
        : document(lumivane_html5_parse(reinterpret_cast<const uint8_t *>(utf8.data()),
                                        static_cast<size_t>(utf8.size())))
    {}
    ~ParsedPage()
    {
        if (document) {
            lumivane_html5_free(document);
        }
    }
    ParsedPage(const ParsedPage &) = delete;
    ParsedPage &operator=(const ParsedPage &) = delete;

    // Hands the document to whoever frees it next.
    LumivaneHtml5Document *release() { return std::exchange(document, nullptr); }

    LumivaneHtml5Document *document;
};

dom::Tree treeOf(ParsedPage &page)
{
    size_t nodeCount = 0;
    size_t attributeCount = 0;
    const auto *nodes =
        reinterpret_cast<const dom::Node *>(lumivane_html5_nodes(page.document, &nodeCount));
    const auto *attributes = reinterpret_cast<const dom::Attribute *>(
        lumivane_html5_attributes(page.document, &attributeCount));
    return dom::Tree({nodes, nodeCount}, {attributes, attributeCount},
                     dom::Tree::Owner(page.release(), [](void *document) {
                         lumivane_html5_free(static_cast<LumivaneHtml5Document *>(document));
                     }));
}

// A doctype with something unexpected after its name (<!DOCTYPE html lang="en">) puts a browser
// into quirks mode whatever its name and identifiers say, and the tree keeps no trace of it but
// the page's mode. Such a doctype is marked, so that it is written back in a form that does the
// same.
void markForcedQuirks(dom::Tree &tree, QuirksMode pageMode)
{
    if (pageMode != QuirksMode::Quirks) {
        return;
    }
    for (dom::NodeId id = 0; id < tree.size(); id = tree.subtreeEnd(id)) {
        if (tree[id].kind != dom::NodeKind::Doctype) {
            continue;
        }
        QByteArray plain;
        appendDoctype(plain, tree, id);
        ParsedPage alone(plain);
        if (alone.document && static_cast<QuirksMode>(lumivane_html5_quirks_mode(alone.document)) !=
                                  QuirksMode::Quirks) {
            tree.setDoctypeForcesQuirks();
        }
        return;
    }
}

}  // namespace

dom::Tree parseHtmlDocument(const QString &html)
{
    return parseHtmlDocumentUtf8(html.toUtf8());
}

dom::Tree parseHtmlDocumentUtf8(QByteArray utf8)
{
    ParsedPage page(utf8);
    utf8 = QByteArray();  // the parser keeps what it needs
    markStepEnd("parse");
    if (!page.document) {
        return {};
    }
    const auto mode = static_cast<QuirksMode>(lumivane_html5_quirks_mode(page.document));
    dom::Tree tree = treeOf(page);
    markForcedQuirks(tree, mode);
    markStepEnd("tree");
    return tree;
}

void parseAndDiscard(QByteArrayView utf8)
{
    lumivane_html5_parse_only(reinterpret_cast<const uint8_t *>(utf8.data()),
                              static_cast<size_t>(utf8.size()));
}

}  // namespace lumivane
