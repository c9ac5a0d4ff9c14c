#include "engine/encoding_declaration.h"

#include "engine/markup_scanner.h"

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Browsers look for a declaration in the first 1024 bytes only.
constexpr qsizetype PrescanBytes = 1024;

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

QString keepEncodingDeclared(const QString &page, const PageEncoding &encoding)
{
    // UTF-16 is always written with its byte-order mark, which settles the question.
    if (encoding.kind == PageEncoding::Kind::Utf16LE ||
        encoding.kind == PageEncoding::Kind::Utf16BE) {
        return page;
    }
    if (detectPageEncoding(encodePage(page, encoding)).name == encoding.name) {
        return page;
    }
    const QString declaration = u"<meta charset=\"%1\">"_s.arg(QString::fromLatin1(encoding.name));
    QString declared = page;
    declared.insert(declarationPlace(page, encoding, declaration), declaration);
    return declared;
}

}  // namespace lumivane
