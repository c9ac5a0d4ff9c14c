#pragma once

// Cheap properties that every restyle must keep, whatever the page. Each check returns an empty
// string when the property holds, else a description of what broke, for the crash report.

#include "platform/html_document.h"
#include "platform/text_codec.h"

#include <QString>

namespace lumivane::fuzz {

// Decoding the page, encoding its text again and decoding that gives the same text: the codec
// loses nothing of a page that it reads. Legacy encodings through Qt are left out: there several
// byte sequences may stand for one character.
QString checkCodecRoundTrip(const DecodedPage &page);

// The written bytes, read again as a browser reads them, give the restyled text (with the
// character references the page's encoding needs).
QString checkOutputDecodes(const QString &restyled, const PageEncoding &encoding,
                           const QByteArray &written);

// Reading back a parse of the read-back gives markup that a further parse and read-back leaves
// as it is: the serializer's output is stable.
QString checkReadBackStable(const QString &readBack);

// With animations on and a family chosen, every h1 and image of the restyled page, as a browser
// parses it, carries the class "wow", and no marker remains in its class value unless the page
// itself had marker characters (`pageHasMarkers`).
QString checkAllTagged(const Document &restyled, bool pageHasMarkers);

// The page's visible text (text nodes outside script and style, white space left out) is the same
// before and after the text stages: no insert lands inside the page's text or swallows part of it.
QString checkTextKept(const Document &before, const Document &after);

}  // namespace lumivane::fuzz
