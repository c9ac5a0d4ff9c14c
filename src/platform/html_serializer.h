#pragma once

// Writes our tree back as HTML markup, exactly as a browser's outerHTML / innerHTML do.

#include "platform/dom.h"

#include <QString>

namespace lumivane {

// The node and everything it contains, as Element.outerHTML gives it (for a Text or Comment node
// the same markup the parent's innerHTML would hold for it).
QString serializeOuter(const dom::Node &node);
void appendOuter(QString &out, const dom::Node &node);

// The node's children (a template's contents for a <template>), as innerHTML gives them.
QString serializeInner(const dom::Node &node);

// `<!DOCTYPE name PUBLIC "pub" "sys">`, `<!DOCTYPE name SYSTEM "sys">` or `<!DOCTYPE name>`.
void appendDoctype(QString &out, const dom::Node &doctype);

// Every child of the document, one after the other with nothing added between them, the doctype
// with its identifiers. Parsing the result again gives the same tree wherever markup can say it.
QString serializeDocument(const dom::Node &document);

}  // namespace lumivane
