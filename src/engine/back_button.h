#pragma once

#include <QString>

namespace lumivane {

// The address made safe to stand inside a script string in the page head: characters that could
// end a string or a tag are percent-encoded; the address stays the same address for a browser.
QString escapeRedirectAddress(const QString &address);

// The back-button script template with every "[LOCATION]" filled by the (escaped) address.
QString fillBackButtonScript(const QString &txtSnippet, const QString &address);

}  // namespace lumivane
