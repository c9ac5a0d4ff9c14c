#include "tree_dump.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumivane::testing {

namespace {

// The format names foreign elements and attributes with their namespace first: "svg path".
QString attributeDumpName(const dom::Attribute &attr)
{
    static const QString prefixes[] = {QString(), u"xlink "_s, u"xml "_s, u"xmlns "_s};
    return prefixes[static_cast<int>(attr.ns)] + attr.localName;
}

QString elementDumpName(const dom::Node &element)
{
    static const QString prefixes[] = {QString(), u"svg "_s, u"math "_s};
    return prefixes[static_cast<int>(element.ns)] + element.localName;
}

void line(QString &out, int depth, const QString &text)
{
    if (!out.isEmpty()) {
        out.append(u'\n');
    }
    out.append("| "_L1).append(QString(qsizetype{depth} * 2, u' ')).append(text);
}

void dumpChildren(QString &out, const dom::Node &parent, int depth)
{
    for (const auto &child : parent.children) {
        const dom::Node &node = *child;
        switch (node.kind) {
        case dom::NodeKind::Doctype:
            if (node.doctype->publicId.isEmpty() && node.doctype->systemId.isEmpty()) {
                line(out, depth, "<!DOCTYPE "_L1 + node.doctype->name + u'>');
            } else {
                line(out, depth,
                     u"<!DOCTYPE %1 \"%2\" \"%3\">"_s.arg(
                         node.doctype->name, node.doctype->publicId, node.doctype->systemId));
            }
            break;
        case dom::NodeKind::Comment:
            line(out, depth, "<!-- "_L1 + node.data + " -->"_L1);
            break;
        case dom::NodeKind::Text:
            line(out, depth, u'"' + node.data + u'"');
            break;
        case dom::NodeKind::Element: {
            line(out, depth, u'<' + elementDumpName(node) + u'>');
            QStringList attributes;
            for (const dom::Attribute &attr : node.attributes) {
                attributes.append(attributeDumpName(attr) + "=\""_L1 + attr.value + u'"');
            }
            // QString's operator< compares UTF-16 code units, the order the format asks for.
            std::sort(attributes.begin(), attributes.end());
            for (const QString &attr : attributes) {
                line(out, depth + 1, attr);
            }
            if (node.templateContents) {
                line(out, depth + 1, u"content"_s);
                dumpChildren(out, *node.templateContents, depth + 2);
            }
            dumpChildren(out, node, depth + 1);
            break;
        }
        case dom::NodeKind::Document:
        case dom::NodeKind::TemplateContents:
            dumpChildren(out, node, depth);
            break;
        }
    }
}

}  // namespace

QString dumpTree(const dom::Node &document)
{
    QString out;
    dumpChildren(out, document, 0);
    return out;
}

}  // namespace lumivane::testing
