#pragma once

// The names a page may give its encoding, and what each stands for.

#include "platform/page_encoding.h"

#include <QByteArrayView>

#include <optional>

namespace lumivane {

// The encoding a label stands for, when we can decode it: nullopt for labels browsers don't
// know, for "replacement", and for legacy encodings this Qt build cannot convert. Such a
// declaration is treated as no declaration at all. "x-user-defined" becomes windows-1252, which
// is what browsers use for it in a page. Case and surrounding white space don't matter.
std::optional<PageEncoding> encodingForLabel(QByteArrayView label);

}  // namespace lumivane
