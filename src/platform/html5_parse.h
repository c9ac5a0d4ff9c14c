#pragma once

// The bridge to the HTML parser library: the one place that knows its interface.

#include "platform/dom.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace lumivane {

// Parses a whole page as a browser with scripting on does (so <noscript> holds text, as every
// visitor with JavaScript sees it) and returns our own tree: a Document node holding the doctype
// (if any), comments and the <html> element.
std::unique_ptr<dom::Node> parseHtmlDocument(const QString &html);
// The same from UTF-8 bytes, which the parser reads directly (the bytes are freed as soon as
// the parser has them).
std::unique_ptr<dom::Node> parseHtmlDocumentUtf8(QByteArray utf8);

// The parser library's own work and nothing of ours: parses UTF-8 bytes and frees the result.
// The floor a measured run is compared with.
void parseAndDiscard(QByteArrayView utf8);

}  // namespace lumivane
