#pragma once

// Our own small document tree. The parser's output is copied into it once, so that nothing else in
// the program depends on the parser library's structures, and so that the tree can be changed
// (class names) and read back by our serializer.

#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace lumivane::dom {

enum class NodeKind {
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

enum class Namespace { Html, Svg, MathMl };

// Only the four attribute namespaces the HTML parser can give an attribute.
enum class AttributeNamespace { None, XLink, Xml, Xmlns };

struct Attribute {
    AttributeNamespace ns = AttributeNamespace::None;
    // The local name, already in its proper case (viewBox, definitionURL); for a namespaced
    // attribute without the prefix ("href" for xlink:href, "xlink" for xmlns:xlink).
    QString localName;
    QString value;
};

struct Node {
    explicit Node(NodeKind nodeKind)
        : kind(nodeKind)
    {}
    Node(const Node &) = delete;
    Node &operator=(const Node &) = delete;

    NodeKind kind;
    Node *parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    // Element: namespace, local name (lower case for HTML, adjusted case for SVG) and attributes
    // in source order.
    Namespace ns = Namespace::Html;
    QString localName;
    QList<Attribute> attributes;
    // Only for an HTML <template> element: its contents (a TemplateContents node).
    std::unique_ptr<Node> templateContents;

    // Text and Comment: the character data.
    QString data;

    // Doctype: name and identifiers as the page gave them (empty when missing).
    QString doctypeName;
    QString publicId;
    QString systemId;

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

}  // namespace lumivane::dom
