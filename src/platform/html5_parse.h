#pragma once

// The bridge to the HTML parser library: the one place that knows its interface.

#include "platform/dom.h"

#include <QByteArrayView>
#include <QString>

namespace lumivane {

// Parses a whole page as a browser with scripting on does (so <noscript> holds text, as every
// visitor with JavaScript sees it) and returns our tree of it: the doctype (if any), comments and
// the <html> element at the top. An empty tree only if the parser failed, which it is not known
// to do on any input.
dom::Tree parseHtmlDocument(const QString &html);
// The same from UTF-8 bytes; the bytes are freed as soon as the parser has them.
dom::Tree parseHtmlDocumentUtf8(QByteArray utf8);

// The parser library's own work and nothing of ours: parses UTF-8 bytes and frees the result.
// The floor a measured run is compared with.
void parseAndDiscard(QByteArrayView utf8);

}  // namespace lumivane
