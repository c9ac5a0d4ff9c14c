#include "platform/dom.h"

namespace lumivane::dom {

Tree::Tree()
    : m_owner(nullptr, [](void *) {})
{}

Tree::Tree(std::span<const Node> nodes, std::span<const Attribute> attributes, Owner owner)
    : m_nodes(nodes)
    , m_attributes(attributes)
    , m_parents(nodes.size(), NoNode)
    , m_subtreeEnds(nodes.size(), static_cast<NodeId>(nodes.size()))
    , m_owner(std::move(owner))
{
    // The nodes still open at the current one, outermost first: a node's parent is the last one
    // open one level up, and a subtree ends where the next node no deeper than its head begins.
    std::vector<NodeId> open;
    for (NodeId id = 0; id < size(); ++id) {
        while (!open.empty() && m_nodes[open.back()].depth >= m_nodes[id].depth) {
            m_subtreeEnds[open.back()] = id;
            open.pop_back();
        }
        if (!open.empty()) {
            m_parents[id] = open.back();
        }
        open.push_back(id);
    }
}

const Utf8 *Tree::attribute(NodeId element, std::string_view name) const
{
    for (const Attribute &attr : attributes(element)) {
        if (attr.ns == AttributeNamespace::None && attr.name == name) {
            return &attr.value;
        }
    }
    return nullptr;
}

const QByteArray *Tree::changedClass(NodeId element) const
{
    if (m_changedClasses.empty()) {
        return nullptr;
    }
    const auto found = m_changedClasses.find(element);
    return found == m_changedClasses.end() ? nullptr : &found->second;
}

void Tree::setClass(NodeId element, QByteArray utf8)
{
    m_changedClasses[element] = std::move(utf8);
}

}  // namespace lumivane::dom
