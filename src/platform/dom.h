#pragma once

// Our document tree. The parser hands over its nodes as one list in document order (each node's
// descendants follow it directly, each with its depth), and that list is the tree's storage: no
// node is copied, and the whole tree is one allocation of the parser's and two of ours, freed at
// once however deeply the page nests. What a tree is besides its nodes (each node's parent and
// where its subtree ends) and the only change the program makes to a page before it is written
// (class names) are kept here.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumivane::dom {

using NodeId = std::uint32_t;
inline constexpr NodeId NoNode = ~NodeId{0};

// The values are the parser interface's (html5_parse.cpp checks them).
enum class NodeKind : std::uint8_t {
    Doctype = 1,  // name; its public and system identifiers are its two attributes
    Element = 2,
    Text = 3,
    Comment = 4,
    // The inert fragment that holds a <template>'s contents: it follows the template element,
    // one level deeper, and is no child of it (walks over the document skip it, as in a browser).
    TemplateContents = 5,
};

enum class Namespace : std::uint8_t { Html, Svg, MathMl };

// Only the four attribute namespaces the HTML parser can give an attribute.
enum class AttributeNamespace : std::uint8_t { None, XLink, Xml, Xmlns };

// UTF-8 text inside the parsed page.
struct Utf8 {
    const char *data = nullptr;
    std::size_t size = 0;

    [[nodiscard]] std::string_view view() const { return {data, size}; }
    friend bool operator==(const Utf8 &text, std::string_view other)
    {
        return text.view() == other;
    }
};

struct Attribute {
    AttributeNamespace ns;
    // The local name, in its proper case (viewBox, definitionURL); for a namespaced attribute
    // without the prefix ("href" for xlink:href, "xlink" for xmlns:xlink).
    Utf8 name;
    Utf8 value;
};

struct Node {
    NodeKind kind;
    Namespace ns;         // of an element
    std::uint32_t depth;  // 0 for the document's own children
    std::uint32_t firstAttribute;
    std::uint32_t attributeCount;
    Utf8 name;  // an element's local name (lower case for HTML, adjusted for SVG); a doctype's
    Utf8 text;  // a text's or comment's data

    [[nodiscard]] bool isElement() const { return kind == NodeKind::Element; }
    // An element in the HTML namespace with this (lower-case) local name.
    [[nodiscard]] bool isHtml(std::string_view localName) const
    {
        return kind == NodeKind::Element && ns == Namespace::Html && name == localName;
    }
};

class Tree {
public:
    // Whatever must live for the nodes' strings to stay valid (the parser's document).
    using Owner = std::unique_ptr<void, void (*)(void *)>;

    Tree();
    Tree(std::span<const Node> nodes, std::span<const Attribute> attributes, Owner owner);

    [[nodiscard]] NodeId size() const { return static_cast<NodeId>(m_nodes.size()); }
    [[nodiscard]] const Node &operator[](NodeId id) const { return m_nodes[id]; }
    [[nodiscard]] std::span<const Attribute> attributes(NodeId id) const
    {
        return m_attributes.subspan(m_nodes[id].firstAttribute, m_nodes[id].attributeCount);
    }
    // NoNode for the document's own children; a template's contents have the template.
    [[nodiscard]] NodeId parent(NodeId id) const { return m_parents[id]; }
    // One past the last node of the subtree `id` heads: its descendants are id + 1 up to here.
    [[nodiscard]] NodeId subtreeEnd(NodeId id) const { return m_subtreeEnds[id]; }

    // The value of the attribute without namespace called `name`, if the element has one.
    [[nodiscard]] const Utf8 *attribute(NodeId element, std::string_view name) const;

    // The element's class value as changed by setClass, or null when it was not changed.
    [[nodiscard]] const QByteArray *changedClass(NodeId element) const;
    // Sets the element's class value (UTF-8); an element without one gets the attribute last.
    void setClass(NodeId element, QByteArray utf8);

    // The page's doctype put the browser into quirks mode beyond what its name and identifiers
    // say (it had something unexpected after its name); it must be written so that it does the
    // same.
    [[nodiscard]] bool doctypeForcesQuirks() const { return m_doctypeForcesQuirks; }
    void setDoctypeForcesQuirks() { m_doctypeForcesQuirks = true; }

private:
    std::span<const Node> m_nodes;
    std::span<const Attribute> m_attributes;
    std::vector<NodeId> m_parents;
    std::vector<NodeId> m_subtreeEnds;
    std::unordered_map<NodeId, QByteArray> m_changedClasses;
    bool m_doctypeForcesQuirks = false;
    Owner m_owner;
};

}  // namespace lumivane::dom
