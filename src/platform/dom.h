#pragma once

// Our own small document tree. The parser's output is copied into it once, so that nothing else in
// the program depends on the parser library's structures, and so that the tree can be changed
// (class names) and read back by our serializer.

#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace lumivane::dom {

enum class NodeKind : std::uint8_t {
    Document,
    Doctype,
    Element,
    Text,
    Comment,
    // The inert fragment that holds a <template>'s contents. It hangs off the template element
    // (Node::templateContents), never among its children, so that walks over the document do not
    // see it, as in a browser.
    TemplateContents,
};

enum class Namespace : std::uint8_t { Html, Svg, MathMl };

// Only the four attribute namespaces the HTML parser can give an attribute.
enum class AttributeNamespace : std::uint8_t { None, XLink, Xml, Xmlns };

struct Attribute {
    AttributeNamespace ns = AttributeNamespace::None;
    // The local name, already in its proper case (viewBox, definitionURL); for a namespaced
    // attribute without the prefix ("href" for xlink:href, "xlink" for xmlns:xlink).
    QString localName;
    QString value;
};

// A doctype's name and identifiers as the page gave them (empty when missing).
struct DoctypeFields {
    QString name;
    QString publicId;
    QString systemId;
    // The page's doctype put the browser into quirks mode beyond what these fields say (it had
    // something unexpected after its name); it must be written so that it does the same.
    bool forcesQuirks = false;
};

// Kept small (a page has hundreds of thousands of nodes): fields only some kinds of node use sit
// behind pointers.
struct Node {
    explicit Node(NodeKind nodeKind)
        : kind(nodeKind)
    {}
    Node(const Node &) = delete;
    Node &operator=(const Node &) = delete;
    // Takes the descendants apart one by one: letting each node's children destroy their own
    // children would recurse once per level, and a page nested 100,000 deep would exhaust the
    // stack.
    ~Node()
    {
        if (children.empty() && !templateContents) {
            return;
        }
        std::vector<std::unique_ptr<Node>> pending = std::move(children);
        if (templateContents) {
            pending.push_back(std::move(templateContents));
        }
        while (!pending.empty()) {
            std::unique_ptr<Node> node = std::move(pending.back());
            pending.pop_back();
            for (auto &child : node->children) {
                pending.push_back(std::move(child));
            }
            node->children.clear();
            if (node->templateContents) {
                pending.push_back(std::move(node->templateContents));
            }
        }  // `node` goes here, childless, so its own destructor returns at once
    }

    NodeKind kind;
    Namespace ns = Namespace::Html;  // of an element
    Node *parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    // Element: namespace, local name (lower case for HTML, adjusted case for SVG) and attributes
    // in source order (the namespace is next to the kind above, where it takes no room).
    QString localName;
    QList<Attribute> attributes;
    // Only for an HTML <template> element: its contents (a TemplateContents node).
    std::unique_ptr<Node> templateContents;

    // Text and Comment: the character data.
    QString data;

    // Doctype only.
    std::unique_ptr<DoctypeFields> doctype;

    [[nodiscard]] bool isElement() const { return kind == NodeKind::Element; }
    // An element in the HTML namespace with this (lower-case) local name.
    [[nodiscard]] bool isHtml(QStringView name) const
    {
        return kind == NodeKind::Element && ns == Namespace::Html && localName == name;
    }

    // The attribute without namespace called `name`, or nullptr.
    [[nodiscard]] const Attribute *attribute(QStringView name) const
    {
        for (const Attribute &attr : attributes) {
            if (attr.ns == AttributeNamespace::None && attr.localName == name) {
                return &attr;
            }
        }
        return nullptr;
    }
    // Sets (or adds at the end) the attribute without namespace called `name`.
    void setAttribute(const QString &name, const QString &value)
    {
        for (Attribute &attr : attributes) {
            if (attr.ns == AttributeNamespace::None && attr.localName == name) {
                attr.value = value;
                return;
            }
        }
        attributes.append(Attribute{AttributeNamespace::None, name, value});
    }

    Node *appendChild(std::unique_ptr<Node> child)
    {
        child->parent = this;
        children.push_back(std::move(child));
        return children.back().get();
    }
};

// Each node costs this much and more of memory per element and per text of a page.
static_assert(sizeof(void *) != 8 || sizeof(Node) <= 128,
              "a node grew; keep rarely used fields out");

}  // namespace lumivane::dom
