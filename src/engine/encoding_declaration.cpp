#include "engine/encoding_declaration.h"

#include "engine/markup_scanner.h"

using namespace Qt::StringLiterals;

namespace lumivane {

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
    MarkupScanner scanner(page);
    MarkupTag tag;
    while (scanner.next(tag)) {
        if (tag.kind == MarkupTag::Kind::Start && tag.name == "head"_L1 && tag.inPageContent()) {
            QString declared = page;
            declared.insert(tag.end,
                            u"<meta charset=\"%1\">"_s.arg(QString::fromLatin1(encoding.name)));
            return declared;
        }
    }
    return page;
}

}  // namespace lumivane
