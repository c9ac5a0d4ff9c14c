#include "platform/html_document.h"

#include "platform/html5_parse.h"
#include "platform/html_element_facts.h"
#include "platform/html_serializer.h"
#include "platform/nesting_estimate.h"
#include "platform/page_file.h"
#include "platform/step_timing.h"

#include <QDir>
#include <QStringDecoder>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Every HTML element with this local name (lower case, UTF-8), in tree order. Template contents
// are skipped, as a browser's document does not reach into them; a <noscript> holds only text, as
// the parser runs with scripting on.
QList<Element> htmlElementsNamed(dom::Tree &tree, std::string_view localName)
{
    QList<Element> found;
    for (dom::NodeId id = 0; id < tree.size(); ++id) {
        const dom::Node &node = tree[id];
        if (node.kind == dom::NodeKind::TemplateContents) {
            id = tree.subtreeEnd(id) - 1;
        } else if (node.isHtml(localName)) {
            found.append(Element(tree, id));
        }
    }
    return found;
}

Error tooDeeplyNested(const QString &path)
{
    return Error{u"Cannot open the page \"%1\": it is too deeply nested (elements inside "
                 "elements more than %2 levels deep)."_s.arg(QDir::toNativeSeparators(path))
                     .arg(MaximumNestingDepth)};
}

}  // namespace

QString toQString(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QString toQString(const dom::Utf8 &text)
{
    return toQString(QByteArrayView(text.data, static_cast<qsizetype>(text.size)));
}

QString Element::localName() const
{
    return toQString((*m_tree)[m_id].name);
}

QString Element::className() const
{
    if (const QByteArray *changed = m_tree->changedClass(m_id)) {
        return toQString(*changed);
    }
    const dom::Utf8 *value = m_tree->attribute(m_id, "class");
    return value ? toQString(*value) : QString();
}

void Element::setClassName(const QString &value)
{
    m_tree->setClass(m_id, value.toUtf8());
}

QString Element::outerHTML() const
{
    return QString::fromUtf8(serializeOuter(*m_tree, m_id));
}

Document::Document(dom::Tree tree, PageEncoding encoding, qsizetype sourceLength)
    : m_tree(std::make_unique<dom::Tree>(std::move(tree)))
    , m_encoding(std::move(encoding))
    , m_sourceLength(sourceLength)
{}

Document::Document(Document &&) noexcept = default;
Document &Document::operator=(Document &&) noexcept = default;
Document::~Document() = default;

Result<Document> Document::Navigate2(const QString &path)
{
    auto bytes = ReadPageBytes(path);
    if (!bytes) {
        return Error{bytes.error()};
    }
    return load(std::move(bytes).value(), path);
}

Result<Document> Document::load(QByteArray bytes, const QString &path)
{
    auto page = PageFromBytes(std::move(bytes), path);
    if (!page) {
        return Error{page.error()};
    }
    PageFile &file = page.value();
    const bool deep = file.keptAsUtf8
                          ? nestsDeeperThan(QByteArrayView(file.utf8), MaximumNestingDepth)
                          : nestsDeeperThan(QStringView(file.text), MaximumNestingDepth);
    if (deep) {
        return tooDeeplyNested(path);
    }
    markStepEnd("nesting check");
    dom::Tree tree = file.keptAsUtf8 ? parseHtmlDocumentUtf8(std::move(file.utf8))
                                     : parseHtmlDocument(std::exchange(file.text, QString()));
    if (tree.size() == 0) {
        return Error{u"Cannot open the page \"%1\": the HTML parser could not read it."_s.arg(
            QDir::toNativeSeparators(path))};
    }
    return Document(std::move(tree), std::move(file.encoding), file.fileSize);
}

Document Document::parse(const QString &html, const PageEncoding &encoding)
{
    return Document(parseHtmlDocument(html), encoding, html.size());
}

QList<Element> Document::getElementsByTagName(const QString &tagName) const
{
    // Tag names match in ASCII letter case only, as in an HTML document (no Unicode folding).
    QByteArray name = tagName.toUtf8();
    std::transform(name.begin(), name.end(), name.begin(), asciiLower<char>);
    return htmlElementsNamed(*m_tree, {name.constData(), static_cast<size_t>(name.size())});
}

QList<Element> Document::images() const
{
    return htmlElementsNamed(*m_tree, "img");
}

Element Document::documentElement() const
{
    for (dom::NodeId id = 0; id < m_tree->size(); id = m_tree->subtreeEnd(id)) {
        if ((*m_tree)[id].isElement()) {
            return Element(*m_tree, id);
        }
    }
    // The parser always creates <html>; reaching this is a broken invariant, not a page fault.
    Q_ASSERT_X(false, "Document::documentElement", "the document has no root element");
    return Element(*m_tree, dom::NoNode);
}

QString Document::readBack() const
{
    QByteArray out;
    // About the size of the source: the markup written back is close to it, and one allocation of
    // the right size saves the copies (and the doubled memory) of growing a page-sized string.
    out.reserve(m_sourceLength + m_sourceLength / 8 + 4096);
    bool afterRoot = false;
    const dom::Tree &tree = *m_tree;
    for (dom::NodeId id = 0; id < tree.size(); id = tree.subtreeEnd(id)) {
        switch (tree[id].kind) {
        case dom::NodeKind::Doctype:
            appendDoctype(out, tree, id);
            out.append('\n');
            break;
        case dom::NodeKind::Comment:
            appendOuter(out, tree, id);
            // A line break after a comment before the root is dropped by the parser; after the
            // root it would land in the body, so none goes there.
            if (!afterRoot) {
                out.append('\n');
            }
            break;
        case dom::NodeKind::Element:
            appendOuter(out, tree, id);
            afterRoot = true;
            break;
        case dom::NodeKind::Text:
        case dom::NodeKind::TemplateContents:
            break;  // never a child of the document
        }
    }
    return QString::fromUtf8(out);
}

}  // namespace lumivane
