#include "platform/html_element_facts.h"

#include <algorithm>
#include <array>

namespace lumivane {

namespace {

using namespace std::string_view_literals;
using Content = ElementContent;

struct NamedFacts {
    std::string_view name;
    ElementFacts facts;
};

// Sorted by name, for a binary search: the tag scanner looks up every start tag.
// The void elements are the standard's "serializes as void" list. basefont, bgsound, frame and
// keygen are in it although the parser ignores some of them in some places (a <frame> outside a
// frameset): wherever it does take them, they never hold content, and no browser writes an end
// tag for them. <noscript> holds raw text because scripting is on, for our documents as for every
// visitor's browser; with scripting off it would hold markup.
constexpr std::array table{
    NamedFacts{"area"sv, {Content::Void}},
    NamedFacts{"base"sv, {Content::Void}},
    NamedFacts{"basefont"sv, {Content::Void}},
    NamedFacts{"bgsound"sv, {Content::Void}},
    NamedFacts{"br"sv, {Content::Void}},
    NamedFacts{"col"sv, {Content::Void}},
    NamedFacts{"embed"sv, {Content::Void}},
    NamedFacts{"frame"sv, {Content::Void}},
    NamedFacts{"hr"sv, {Content::Void}},
    NamedFacts{"iframe"sv, {Content::RawText}},
    NamedFacts{"img"sv, {Content::Void}},
    NamedFacts{"input"sv, {Content::Void}},
    NamedFacts{"keygen"sv, {Content::Void}},
    NamedFacts{"link"sv, {Content::Void}},
    NamedFacts{"listing"sv, {Content::Markup, true}},
    NamedFacts{"meta"sv, {Content::Void}},
    NamedFacts{"noembed"sv, {Content::RawText}},
    NamedFacts{"noframes"sv, {Content::RawText}},
    NamedFacts{"noscript"sv, {Content::RawText}},
    NamedFacts{"param"sv, {Content::Void}},
    NamedFacts{"plaintext"sv, {Content::Plaintext}},
    NamedFacts{"pre"sv, {Content::Markup, true}},
    NamedFacts{"script"sv, {Content::ScriptData}},
    NamedFacts{"source"sv, {Content::Void}},
    NamedFacts{"style"sv, {Content::RawText}},
    NamedFacts{"textarea"sv, {Content::EscapableRawText, true}},
    NamedFacts{"title"sv, {Content::EscapableRawText}},
    NamedFacts{"track"sv, {Content::Void}},
    NamedFacts{"wbr"sv, {Content::Void}},
    NamedFacts{"xmp"sv, {Content::RawText}},
};
static_assert(std::is_sorted(table.begin(), table.end(),
                             [](const NamedFacts &a, const NamedFacts &b) {
                                 return a.name < b.name;
                             }));

// The longest name in the table: a longer name is none of them.
constexpr std::size_t longestName =
    std::max_element(table.begin(), table.end(), [](const NamedFacts &a, const NamedFacts &b) {
        return a.name.size() < b.name.size();
    })->name.size();

}  // namespace

QString asciiLower(QStringView text)
{
    QString lower(text.size(), Qt::Uninitialized);
    std::transform(text.begin(), text.end(), lower.begin(),
                   [](QChar c) { return QChar(asciiLower(c.unicode())); });
    return lower;
}

ElementFacts htmlElementFacts(std::string_view name)
{
    const auto found = std::lower_bound(
        table.begin(), table.end(), name,
        [](const NamedFacts &entry, std::string_view wanted) { return entry.name < wanted; });
    return found != table.end() && found->name == name ? found->facts : ElementFacts{};
}

ElementFacts htmlElementFacts(QStringView name)
{
    // The table's names are ASCII: a name with any other character is none of them.
    if (static_cast<std::size_t>(name.size()) > longestName) {
        return {};
    }
    std::array<char, longestName> ascii{};
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= 0x80) {
            return {};
        }
        ascii[static_cast<std::size_t>(i)] = static_cast<char>(c);
    }
    return htmlElementFacts(std::string_view(ascii.data(), static_cast<std::size_t>(name.size())));
}

}  // namespace lumivane
