#pragma once

// The document host: reads a page file, parses it as a browser does (html5ever, through
// src/platform/html5) into a small tree of our own, lets the run change class names, and reads
// the document back as markup with our own serializer.

#include "platform/dom.h"
#include "platform/result.h"
#include "platform/text_codec.h"

#include <QList>
#include <QString>

#include <memory>

namespace lumivane {

// A handle to one element of a Document; valid while the Document lives.
// A node's text or attribute value, every character kept: QString::fromUtf8() would drop a
// U+FEFF at the start, which in a class value is part of the class name.
QString toQString(const dom::Utf8 &text);
QString toQString(QByteArrayView utf8);

class Element {
public:
    Element(dom::Tree &tree, dom::NodeId id)
        : m_tree(&tree)
        , m_id(id)
    {}

    [[nodiscard]] QString localName() const;
    // The class attribute's value, empty when there is none.
    [[nodiscard]] QString className() const;
    // Replaces the class attribute's value (adds the attribute when there is none).
    void setClassName(const QString &value);
    // The element's markup and all it contains, as a browser's outerHTML gives it.
    [[nodiscard]] QString outerHTML() const;

    [[nodiscard]] dom::NodeId id() const { return m_id; }

private:
    dom::Tree *m_tree;
    dom::NodeId m_id;
};

class Document {
public:
    Document(Document &&) noexcept;
    Document &operator=(Document &&) noexcept;
    ~Document();

    // Reads the page file at `path`, decodes it (see decodePage) and parses it.
    static Result<Document> Navigate2(const QString &path);
    // The same from the page's bytes as read from `path` (named in messages).
    static Result<Document> load(QByteArray bytes, const QString &path);
    // Parses already decoded text; the encoding is recorded as given.
    static Document parse(const QString &html, const PageEncoding &encoding = PageEncoding{});

    [[nodiscard]] const PageEncoding &encoding() const { return m_encoding; }

    // Every HTML element with that tag name (ASCII case-insensitive), each once, in document
    // order, as a browser with scripting on sees the page: nothing inside <template> contents or
    // <noscript> counts.
    [[nodiscard]] QList<Element> getElementsByTagName(const QString &tagName) const;
    // Every <img> element, with the same rules.
    [[nodiscard]] QList<Element> images() const;
    // The root element (<html>); the parser always makes one.
    [[nodiscard]] Element documentElement() const;

    // The read-back markup: the doctype (with its public and system identifiers) and any comments
    // before the root element, the root element's outerHTML, then any comments after it.
    [[nodiscard]] QString readBack() const;

    [[nodiscard]] const dom::Tree &tree() const { return *m_tree; }

private:
    Document(dom::Tree tree, PageEncoding encoding, qsizetype sourceLength);

    // On the heap, so that Element handles stay valid when the Document moves.
    std::unique_ptr<dom::Tree> m_tree;
    PageEncoding m_encoding;
    qsizetype m_sourceLength = 0;  // of the page as read, a guide for the read-back's size
};

}  // namespace lumivane
