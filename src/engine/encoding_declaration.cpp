#include "engine/encoding_declaration.h"

#include "engine/markup_scanner.h"
#include "platform/step_timing.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Browsers look for a declaration in the first 1024 bytes only.
constexpr qsizetype PrescanBytes = 1024;

bool isUtf16(const PageEncoding &encoding)
{
    return encoding.kind == PageEncoding::Kind::Utf16LE ||
           encoding.kind == PageEncoding::Kind::Utf16BE;
}

// Bytes every encoding a browser may fall back to reads the same. An escape byte does not
// count: in ISO-2022-JP it switches to Japanese.
bool isPlainAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char byte) {
        const auto value = static_cast<unsigned char>(byte);
        return value < 0x80 && value != 0x1B;
    });
}

// Whether a browser reads the bytes in `encoding`, as it reads a page from a server that names
// no charset: the byte-order mark, then the prescan, then a guess, never "UTF-8 if it is valid".
bool readInOwnEncoding(const QByteArray &bytes, const PageEncoding &encoding)
{
    if (const std::optional<PageEncoding> marked = byteOrderMarkEncoding(bytes)) {
        return marked->name == encoding.name;
    }
    if (const QByteArray declared = prescanCharset(bytes); !declared.isEmpty()) {
        return declared == encoding.name;
    }
    return !isUtf16(encoding) && isPlainAscii(bytes);
}

// Right after the head's start tag when that lies early enough; otherwise, behind long comments
// before the root, as early as the page allows: after the doctype (ahead of it the page would fall
// into quirks mode), or at the very start, where the parser still puts it into the head.
qsizetype declarationPlace(const QString &page, const PageEncoding &encoding,
                           const QString &declaration)
{
    MarkupScanner scanner(page);
    MarkupTag tag;
    while (scanner.next(tag)) {
        if (tag.kind == MarkupTag::Kind::Start && tag.name == "head"_L1 && tag.inPageContent()) {
            if (encodePage(page.left(tag.end), encoding).size() + declaration.size() <=
                PrescanBytes) {
                return tag.end;
            }
            break;
        }
    }
    if (page.startsWith(u"<!DOCTYPE"_s, Qt::CaseInsensitive)) {
        return page.indexOf(u'>') + 1;
    }
    return 0;
}

}  // namespace

Result<EncodedPage> encodeDeclared(const QString &page, const PageEncoding &encoding)
{
    EncodedPage encoded{page, encodePage(page, encoding)};
    markStepEnd("encode");
    if (readInOwnEncoding(encoded.bytes, encoding)) {
        return encoded;
    }
    const QString declaration = u"<meta charset=\"%1\">"_s.arg(QString::fromLatin1(encoding.name));
    // UTF-16 is written with its byte-order mark, so it never gets here; an ASCII declaration
    // spliced into its bytes would be no declaration.
    if (!isUtf16(encoding)) {
        const qsizetype place = declarationPlace(page, encoding, declaration);
        // Every place follows a ">" (or is the start), where even a stateful encoding is back
        // in ASCII: the bytes before it are the start of the page's bytes.
        encoded.bytes.insert(encodePage(page.left(place), encoding).size(), declaration.toLatin1());
        encoded.text.insert(place, declaration);
        if (readInOwnEncoding(encoded.bytes, encoding)) {
            return encoded;
        }
    }
    return Error{u"no declaration of its encoding (%1) fits where browsers look for one, in its "
                 "first %2 bytes, so they would read the page in another encoding."_s
                     .arg(QString::fromLatin1(encoding.name))
                     .arg(PrescanBytes)};
}

}  // namespace lumivane
