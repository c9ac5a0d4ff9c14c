#include "platform/html_document.h"

#include "platform/dom.h"
#include "platform/html5_parse.h"
#include "platform/html_serializer.h"
#include "platform/nesting_estimate.h"
#include "platform/page_file.h"
#include "platform/step_timing.h"

#include <QDir>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// ASCII lower case only, as tag name matching in an HTML document does (no Unicode folding).
QString asciiLower(const QString &text)
{
    QString lowered = text;
    for (QChar &c : lowered) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') {
            c = QChar(c.unicode() + ('a' - 'A'));
        }
    }
    return lowered;
}

// Every HTML element with this local name, in tree order. Template contents are not children,
// so they are never reached; a <noscript> holds only text, as the parser runs with scripting on.
// Iterative, so a deeply nested page cannot exhaust the stack.
QList<Element> htmlElementsNamed(const dom::Node &document, const QString &lowerName)
{
    QList<Element> found;
    std::vector<dom::Node *> pending;
    for (auto it = document.children.rbegin(); it != document.children.rend(); ++it) {
        pending.push_back(it->get());
    }
    while (!pending.empty()) {
        dom::Node *node = pending.back();
        pending.pop_back();
        if (!node->isElement()) {
            continue;
        }
        if (node->ns == dom::Namespace::Html && node->localName == lowerName) {
            found.append(Element(node));
        }
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
            pending.push_back(it->get());
        }
    }
    return found;
}

}  // namespace

QString Element::localName() const
{
    return m_node->localName;
}

QString Element::className() const
{
    const dom::Attribute *attr = m_node->attribute(u"class");
    return attr ? attr->value : QString();
}

void Element::setClassName(const QString &value)
{
    m_node->setAttribute(u"class"_s, value);
}

QString Element::outerHTML() const
{
    return serializeOuter(*m_node);
}

Document::Document(std::unique_ptr<dom::Node> root, PageEncoding encoding, qsizetype sourceLength)
    : m_root(std::move(root))
    , m_encoding(std::move(encoding))
    , m_sourceLength(sourceLength)
{}

Document::Document(Document &&) noexcept = default;
Document &Document::operator=(Document &&) noexcept = default;
Document::~Document() = default;

namespace {

Error tooDeeplyNested(const QString &path)
{
    return Error{u"Cannot open the page \"%1\": it is too deeply nested (elements inside "
                 "elements more than %2 levels deep)."_s.arg(QDir::toNativeSeparators(path))
                     .arg(MaximumNestingDepth)};
}

}  // namespace

Result<Document> Document::Navigate2(const QString &path)
{
    auto page = ReadPageFile(path);
    if (!page) {
        return Error{page.error()};
    }
    PageFile &file = page.value();
    if (file.keptAsUtf8) {
        if (nestsDeeperThan(QByteArrayView(file.utf8), MaximumNestingDepth)) {
            return tooDeeplyNested(path);
        }
        markStepEnd("nesting check");
        return Document(parseHtmlDocumentUtf8(std::move(file.utf8)), std::move(file.encoding),
                        file.fileSize);
    }
    if (nestsDeeperThan(QStringView(file.text), MaximumNestingDepth)) {
        return tooDeeplyNested(path);
    }
    markStepEnd("nesting check");
    return Document(parseHtmlDocument(file.text), std::move(file.encoding), file.fileSize);
}

Document Document::parse(const QString &html, const PageEncoding &encoding)
{
    return Document(parseHtmlDocument(html), encoding, html.size());
}

QList<Element> Document::getElementsByTagName(const QString &tagName) const
{
    return htmlElementsNamed(*m_root, asciiLower(tagName));
}

QList<Element> Document::images() const
{
    return htmlElementsNamed(*m_root, u"img"_s);
}

Element Document::documentElement() const
{
    for (const auto &child : m_root->children) {
        if (child->isElement()) {
            return Element(child.get());
        }
    }
    // The parser always creates <html>; reaching this is a broken invariant, not a page fault.
    Q_ASSERT_X(false, "Document::documentElement", "the document has no root element");
    return Element(nullptr);
}

QString Document::readBack() const
{
    QString out;
    // About the size of the source: the markup written back is close to it, and one allocation of
    // the right size saves the copies (and the doubled memory) of growing a page-sized string.
    out.reserve(m_sourceLength + m_sourceLength / 8 + 4096);
    bool afterRoot = false;
    for (const auto &child : m_root->children) {
        switch (child->kind) {
        case dom::NodeKind::Doctype:
            appendDoctype(out, *child);
            out.append(u'\n');
            break;
        case dom::NodeKind::Comment:
            appendOuter(out, *child);
            // A line break after a comment before the root is dropped by the parser; after the
            // root it would land in the body, so none goes there.
            if (!afterRoot) {
                out.append(u'\n');
            }
            break;
        case dom::NodeKind::Element:
            appendOuter(out, *child);
            afterRoot = true;
            break;
        case dom::NodeKind::Document:
        case dom::NodeKind::Text:
        case dom::NodeKind::TemplateContents:
            break;  // never a child of the document
        }
    }
    return out;
}

}  // namespace lumivane
