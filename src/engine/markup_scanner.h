#pragma once

// Finds the real tags of a page text: the places where a browser reading the text would see a
// start or an end tag. Text inside comments, the doctype, attribute values and the content of
// script, style and the other raw-text elements is passed over, so a tag spelt inside a script
// string is never mistaken for one of the page's tags. Every tag also says whether it stands
// inside <svg>/<math> content or inside a <template>, where a browser keeps it out of the page's
// own head and body (an inline icon's <svg><title> is not the page's title).
//
// The scanner follows the tokenizer of the HTML standard closely enough for the markup our
// serializer writes and for the snippets we insert; it does not build a tree. One pass, linear in
// the length of the text.

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace lumivane {

struct MarkupAttribute {
    QString name;  // ASCII lower-case, as the tokenizer gives it
    // The value as it stands in the text (still escaped); both -1 when the attribute has no value.
    qsizetype valueBegin = -1;
    qsizetype valueEnd = -1;
    char16_t quote = 0;  // '"', '\'' or 0 for an unquoted or missing value
};

struct MarkupTag {
    enum class Kind { Start, End };

    Kind kind = Kind::Start;
    QString name;             // ASCII lower-case
    qsizetype begin = 0;      // index of the '<'
    qsizetype end = 0;        // one past the closing '>'
    bool foreign = false;     // stands inside <svg> or <math> content
    bool inTemplate = false;  // stands inside the content of an HTML <template>
    bool selfClosing = false;
    QList<MarkupAttribute> attributes;

    // A tag of the page itself: not part of an inline SVG/MathML image or of an inert template.
    [[nodiscard]] bool inPageContent() const { return !foreign && !inTemplate; }
    // The first attribute of that (lower-case) name, or nullptr.
    [[nodiscard]] const MarkupAttribute *attribute(QStringView lowerName) const;
};

// Reads the real tags of a page one at a time, in text order, so that a search that needs only
// the first few never scans the rest, and a pass over all of them keeps none. A tag left open at
// the end of the text is not a tag (a browser drops it too). The page must outlive the scanner.
class MarkupScanner {
public:
    enum class ElementNamespace : std::uint8_t { Html, Svg, MathMl };
    // An element open inside <svg> or <math> content.
    struct OpenElement {
        QString name;
        ElementNamespace ns;
        bool holdsHtml = false;  // the parser reads its content as HTML again
    };

    explicit MarkupScanner(QStringView page);

    // Reads the next tag into `tag` (whose storage is reused); false at the end of the page.
    bool next(MarkupTag &tag);

private:
    QStringView m_page;
    qsizetype m_position = 0;
    // The elements open since the outermost <svg> or <math>, so that each tag there is known to
    // be SVG, MathML or HTML again (inside an integration point). Serialized markup closes every
    // element but the void HTML ones; an end tag closes the nearest open element of its name and
    // whatever is still open above it, which drops those again.
    std::vector<OpenElement> m_foreign;
    int m_templateDepth = 0;  // open HTML <template> elements
};

// A tag as the snippet files spell it ("</title>", "<body"). It matches a real tag in page content
// whose text begins exactly so (letter case included) and whose kind and name are those the
// spelling opens with ("</title>" an end tag named title, "<body" a start tag named body). A
// spelling that does not begin like a tag matches nothing.
class TagSpelling {
public:
    explicit TagSpelling(QStringView text);
    [[nodiscard]] bool matches(const MarkupTag &tag, QStringView page) const;
    [[nodiscard]] qsizetype size() const { return m_text.size(); }

private:
    QString m_text;
    MarkupTag::Kind m_kind = MarkupTag::Kind::Start;
    QString m_name;  // ASCII lower-case; empty when the spelling is no tag
};

// A character-set declaration of the page: a <meta charset> or a <meta http-equiv="content-type">
// whose content names a charset.
bool isCharsetDeclaration(const MarkupTag &tag, QStringView page);

}  // namespace lumivane
