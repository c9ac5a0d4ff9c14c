#pragma once

// Our tree written in the html5lib tree-construction format ("| <html>", "|   <head>", ...), so a
// parse can be compared with the suite's expected #document section as plain text.

#include "platform/dom.h"

#include <QString>

namespace lumivane::testing {

// The document's children, one line per node (text may span lines), joined with "\n", no
// trailing newline.
QString dumpTree(const dom::Tree &tree);

}  // namespace lumivane::testing
