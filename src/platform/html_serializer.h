#pragma once

// Writes our tree back as HTML markup, exactly as a browser's outerHTML / innerHTML do, in UTF-8.

#include "platform/dom.h"

#include <QByteArray>

namespace lumivane {

// The node and everything it contains, as Element.outerHTML gives it (for a Text or Comment node
// the same markup the parent's innerHTML would hold for it).
void appendOuter(QByteArray &out, const dom::Tree &tree, dom::NodeId node);
QByteArray serializeOuter(const dom::Tree &tree, dom::NodeId node);

// `<!DOCTYPE name PUBLIC "pub" "sys">`, `<!DOCTYPE name SYSTEM "sys">` or `<!DOCTYPE name>`.
void appendDoctype(QByteArray &out, const dom::Tree &tree, dom::NodeId doctype);

// Every node at the top of the document, one after the other with nothing added between them,
// the doctype with its identifiers. Parsing the result again gives the same tree wherever markup
// can say it.
QByteArray serializeDocument(const dom::Tree &tree);

}  // namespace lumivane
