#include "tree_dump.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumivane::testing {

namespace {

QString text(const dom::Utf8 &utf8)
{
    return QString::fromUtf8(utf8.data, static_cast<qsizetype>(utf8.size));
}

// The format names foreign elements and attributes with their namespace first: "svg path".
QString attributeDumpName(const dom::Attribute &attr)
{
    static const QString prefixes[] = {QString(), u"xlink "_s, u"xml "_s, u"xmlns "_s};
    return prefixes[static_cast<int>(attr.ns)] + text(attr.name);
}

QString elementDumpName(const dom::Node &element)
{
    static const QString prefixes[] = {QString(), u"svg "_s, u"math "_s};
    return prefixes[static_cast<int>(element.ns)] + text(element.name);
}

void line(QString &out, int depth, const QString &text)
{
    if (!out.isEmpty())
        out.append(u'\n');
    out.append("| "_L1).append(QString(depth * 2, u' ')).append(text);
}

}  // namespace

// The tree's nodes come in document order with their depth, which is the format's indentation.
QString dumpTree(const dom::Tree &tree)
{
    QString out;
    for (dom::NodeId id = 0; id < tree.size(); ++id) {
        const dom::Node &node = tree[id];
        const int depth = static_cast<int>(node.depth);
        switch (node.kind) {
        case dom::NodeKind::Doctype: {
            const auto ids = tree.attributes(id);
            if (ids[0].value.size == 0 && ids[1].value.size == 0)
                line(out, depth, "<!DOCTYPE "_L1 + text(node.name) + u'>');
            else
                line(out, depth,
                     u"<!DOCTYPE %1 \"%2\" \"%3\">"_s.arg(text(node.name), text(ids[0].value),
                                                          text(ids[1].value)));
            break;
        }
        case dom::NodeKind::Comment:
            line(out, depth, "<!-- "_L1 + text(node.text) + " -->"_L1);
            break;
        case dom::NodeKind::Text:
            line(out, depth, u'"' + text(node.text) + u'"');
            break;
        case dom::NodeKind::Element: {
            line(out, depth, u'<' + elementDumpName(node) + u'>');
            QStringList attributes;
            for (const dom::Attribute &attr : tree.attributes(id))
                attributes.append(attributeDumpName(attr) + "=\""_L1 + text(attr.value) + u'"');
            // QString's operator< compares UTF-16 code units, the order the format asks for.
            std::sort(attributes.begin(), attributes.end());
            for (const QString &attr : attributes)
                line(out, depth + 1, attr);
            break;
        }
        case dom::NodeKind::TemplateContents:
            line(out, depth, u"content"_s);
            break;
        }
    }
    return out;
}

}  // namespace lumivane::testing
