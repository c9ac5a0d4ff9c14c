#pragma once

// The bridge to the HTML parser library: the one place that knows its structures.

#include "platform/dom.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace lumivane {

// Parses a whole page as a browser does with scripting off (the library has no other mode, so
// <noscript> contents become elements) and returns our own tree: a Document node holding the
// doctype (if any), comments and the <html> element.
std::unique_ptr<dom::Node> parseHtmlDocument(const QString &html);
// The same from UTF-8 bytes, which the parser reads directly (the bytes are given away: they are
// freed as soon as the tree is made).
std::unique_ptr<dom::Node> parseHtmlDocumentUtf8(QByteArray utf8);

// The parser library's own work and nothing of ours: parses UTF-8 bytes with its default options
// and frees the result. The floor a measured run is compared with.
void parseAndDiscard(QByteArrayView utf8);

}  // namespace lumivane
