#pragma once

// The old parser (gumbo 0.10.1), kept only as a reference floor for the benchmark: the figures
// the run was measured against before html5ever replaced it.

#include <QByteArrayView>

namespace lumivane::bench {

// Parses UTF-8 bytes with gumbo's default options and frees the result.
void gumboParseAndDiscard(QByteArrayView utf8);

}  // namespace lumivane::bench
