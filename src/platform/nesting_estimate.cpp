#include "platform/nesting_estimate.h"

#include "platform/html_element_facts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace lumivane {

namespace {

// A tag name folded to lower case and cut to its first characters: enough to tell the tags that
// matter here apart.
struct ShortName {
    std::array<char, 15> text{};
    unsigned char size = 0;

    [[nodiscard]] std::string_view view() const { return {text.data(), size}; }
    friend bool operator==(const ShortName &a, const ShortName &b) { return a.view() == b.view(); }
};

enum class Kind {
    Ordinary,
    Void,           // never has contents
    ClosesOwnKind,  // its start tag closes an open element of the same name close by
    TextContent,    // its content is text up to its own end tag
};

// Start tags that close an open element of the same name, sorted by name for a binary search.
constexpr std::array<std::string_view, 26> closingOwnKind{
    "a",  "button", "dd",    "dt",   "form",     "h1",     "h2",    "h3", "h4",
    "h5", "h6",     "li",    "nobr", "optgroup", "option", "p",     "rb", "rp",
    "rt", "rtc",    "tbody", "td",   "tfoot",    "th",     "thead", "tr",
};
static_assert(std::is_sorted(closingOwnKind.begin(), closingOwnKind.end()));

Kind kindOf(std::string_view name)
{
    const ElementContent content = htmlElementFacts(name).content;
    // The parser reads <image> as <img>.
    if (content == ElementContent::Void || name == "image") {
        return Kind::Void;
    }
    if (content != ElementContent::Markup) {
        return Kind::TextContent;
    }
    return std::binary_search(closingOwnKind.begin(), closingOwnKind.end(), name)
               ? Kind::ClosesOwnKind
               : Kind::Ordinary;
}

template <typename Char>
bool isAsciiAlpha(Char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

template <typename Char>
bool endsName(Char c)
{
    return isAsciiWhitespace(c) || c == '/' || c == '>';
}

// Where the character `c` (ASCII) next occurs from `from` on; `size` when it does not. Bytes are
// searched with memchr, which looks at many at a time: most of a page is text between tags.
qsizetype findChar(const unsigned char *text, qsizetype size, qsizetype from, char c)
{
    if (from >= size) {
        return size;
    }
    const void *found = std::memchr(text + from, c, static_cast<size_t>(size - from));
    return found ? static_cast<const unsigned char *>(found) - text : size;
}

qsizetype findChar(const char16_t *text, qsizetype size, qsizetype from, char c)
{
    const char16_t *end = text + size;
    return std::find(text + std::min(from, size), end, static_cast<char16_t>(c)) - text;
}

// Where `what` (whose first character is no letter) next occurs from `from` on, ASCII letters in
// any case; `size` when it does not.
template <typename Char>
qsizetype find(const Char *text, qsizetype size, qsizetype from, std::string_view what)
{
    const auto length = static_cast<qsizetype>(what.size());
    for (qsizetype i = findChar(text, size, from, what[0]); i + length <= size;
         i = findChar(text, size, i + 1, what[0])) {
        bool same = true;
        for (qsizetype k = 1; k < length && same; ++k) {
            same = asciiLower(text[i + k]) == static_cast<Char>(what[static_cast<size_t>(k)]);
        }
        if (same) {
            return i;
        }
    }
    return size;
}

template <typename Char>
bool deeperThan(const Char *text, qsizetype size, qsizetype limit)
{
    // How far below the top an end tag or an implied end tag looks for its element: a page that
    // leaves many elements open inside another is not helped by looking further.
    constexpr qsizetype reach = 16;
    std::vector<ShortName> open;
    qsizetype i = 0;
    while ((i = findChar(text, size, i, '<')) < size) {
        if (i + 1 >= size) {
            break;
        }
        const Char next = text[i + 1];
        if (next == '!') {
            const bool comment = i + 3 < size && text[i + 2] == '-' && text[i + 3] == '-';
            i = comment ? find(text, size, i + 4, "-->") + 3 : find(text, size, i + 2, ">") + 1;
            continue;
        }
        const bool endTag = next == '/';
        qsizetype p = endTag ? i + 2 : i + 1;
        if (p >= size || !isAsciiAlpha(text[p])) {
            ++i;
            continue;
        }
        ShortName name;
        for (; p < size && !endsName(text[p]); ++p) {
            if (name.size < name.text.size()) {
                const Char c = asciiLower(text[p]);
                name.text[name.size++] = c < 0x80 ? static_cast<char>(c) : '?';
            }
        }
        // The tag's end; a quoted '>' in an attribute value is rare enough not to matter here.
        const qsizetype close = find(text, size, p, ">");
        const bool selfClosed = close < size && close > p && text[close - 1] == '/';
        i = close + 1;

        const auto closeNearest = [&open, &name] {
            const qsizetype bottom =
                std::max<qsizetype>(0, static_cast<qsizetype>(open.size()) - reach);
            for (qsizetype k = static_cast<qsizetype>(open.size()) - 1; k >= bottom; --k) {
                if (open[static_cast<size_t>(k)] == name) {
                    open.resize(static_cast<size_t>(k));
                    return;
                }
            }
        };
        if (endTag) {
            closeNearest();
            continue;
        }
        const Kind kind = kindOf(name.view());
        if (kind == Kind::Void || selfClosed) {
            continue;
        }
        if (kind == Kind::TextContent) {
            std::string closing = "</";
            closing += name.view();
            i = find(text, size, i, closing);
            continue;
        }
        if (kind == Kind::ClosesOwnKind) {
            closeNearest();
        }
        open.push_back(name);
        if (static_cast<qsizetype>(open.size()) > limit) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool nestsDeeperThan(QByteArrayView markup, qsizetype limit)
{
    return deeperThan(reinterpret_cast<const unsigned char *>(markup.data()), markup.size(), limit);
}

bool nestsDeeperThan(QStringView markup, qsizetype limit)
{
    return deeperThan(reinterpret_cast<const char16_t *>(markup.utf16()), markup.size(), limit);
}

}  // namespace lumivane
