#pragma once

// What the HTML parser knows about a few elements by name, and how it folds names to lower case:
// one table for every piece of code that reads or writes markup beside the parser (the
// serializer, the tag scanner, the nesting estimate, the charset prescan), so that none of them
// disagrees with another about which elements are void or hold text.
// https://html.spec.whatwg.org/multipage/syntax.html#elements-2

#include <QString>
#include <QStringView>

#include <string_view>

namespace lumivane {

// HTML matches tag and attribute names in ASCII case only: no other letter is folded.
template <typename Char>
constexpr Char asciiLower(Char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c + ('a' - 'A')) : c;
}

QString asciiLower(QStringView text);

// The parser's white space: tab, line feed, form feed, carriage return and space.
template <typename Char>
constexpr bool isAsciiWhitespace(Char c)
{
    return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

// What an HTML element's content is to the parser.
enum class ElementContent : unsigned char {
    Markup,            // tags, text and character references
    Void,              // nothing: no end tag, no content ("serializes as void")
    RawText,           // text up to its own end tag, taken literally
    EscapableRawText,  // the same, but character references count (title, textarea)
    ScriptData,        // raw text with the script's own escapes ("<!--" inside a script)
    Plaintext,         // everything up to the end of the page
};

struct ElementFacts {
    ElementContent content = ElementContent::Markup;
    // The parser drops one newline right after the start tag (pre, textarea, listing).
    bool dropsLeadingNewline = false;
};

// The facts for an HTML element named `name` (lower case); Markup for any other name. Only for
// HTML elements: an SVG <style> or <script> holds ordinary markup.
ElementFacts htmlElementFacts(std::string_view name);
ElementFacts htmlElementFacts(QStringView name);

// Raw text and escapable raw text both end only at the element's own end tag.
constexpr bool endsOnlyAtOwnEndTag(ElementContent content)
{
    return content == ElementContent::RawText || content == ElementContent::EscapableRawText;
}

}  // namespace lumivane
