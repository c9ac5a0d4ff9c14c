#pragma once

// The bridge to the HTML parser library: the one place that knows its structures.

#include "platform/dom.h"

#include <QString>

#include <memory>

namespace lumivane {

// Parses a whole page as a browser does with scripting off (the library has no other mode, so
// <noscript> contents become elements) and returns our own tree: a Document node holding the
// doctype (if any), comments and the <html> element.
std::unique_ptr<dom::Node> parseHtmlDocument(const QString &html);

}  // namespace lumivane
