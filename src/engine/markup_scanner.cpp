#include "engine/markup_scanner.h"

#include "platform/html_element_facts.h"

#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// The tokenizer's whitespace; a carriage return counts because a browser turns it into a line
// feed before tokenizing, and our own inserts bring CR LF line ends.
bool isSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r' || u == u' ';
}

bool isAsciiAlpha(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// The names nearly every page repeats, as shared strings: a scan then makes no string of its own
// for them.
QString lowerName(QStringView text)
{
    static constexpr std::u16string_view common[] = {u"a",
                                                     u"b",
                                                     u"i",
                                                     u"p",
                                                     u"d",
                                                     u"h1",
                                                     u"h2",
                                                     u"h3",
                                                     u"li",
                                                     u"ul",
                                                     u"td",
                                                     u"tr",
                                                     u"th",
                                                     u"br",
                                                     u"id",
                                                     u"alt",
                                                     u"div",
                                                     u"img",
                                                     u"rel",
                                                     u"src",
                                                     u"svg",
                                                     u"nav",
                                                     u"body",
                                                     u"head",
                                                     u"html",
                                                     u"link",
                                                     u"meta",
                                                     u"span",
                                                     u"path",
                                                     u"name",
                                                     u"type",
                                                     u"fill",
                                                     u"lang",
                                                     u"form",
                                                     u"href",
                                                     u"main",
                                                     u"class",
                                                     u"style",
                                                     u"title",
                                                     u"table",
                                                     u"tbody",
                                                     u"thead",
                                                     u"width",
                                                     u"input",
                                                     u"label",
                                                     u"script",
                                                     u"figure",
                                                     u"footer",
                                                     u"header",
                                                     u"button",
                                                     u"height",
                                                     u"strong",
                                                     u"srcset",
                                                     u"target",
                                                     u"viewbox",
                                                     u"charset",
                                                     u"content",
                                                     u"loading",
                                                     u"section",
                                                     u"article",
                                                     u"template",
                                                     u"noscript",
                                                     u"textarea",
                                                     u"figcaption",
                                                     u"http-equiv",
                                                     u"aria-hidden",
                                                     u"data-wow-duration"};
    for (const std::u16string_view candidate : common) {
        if (static_cast<qsizetype>(candidate.size()) != text.size()) {
            continue;
        }
        bool same = true;
        for (qsizetype k = 0; k < text.size() && same; ++k) {
            same = asciiLower(text[k].unicode()) == candidate[static_cast<size_t>(k)];
        }
        if (same) {
            // The literal's own characters, not a copy; they live as long as the program.
            return QString::fromRawData(reinterpret_cast<const QChar *>(candidate.data()),
                                        text.size());
        }
    }
    return asciiLower(text);
}

bool at(QStringView s, qsizetype i, QLatin1StringView what,
        Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return i >= 0 && i <= s.size() && s.sliced(i).startsWith(what, cs);
}

// Whether `s` holds "<name" (start) or "</name" (end) at `i`, followed by what may follow a tag
// name. Only then does a browser end a script or other raw text there.
bool tagOfNameAt(QStringView s, qsizetype i, QStringView name, MarkupTag::Kind kind)
{
    qsizetype p = i + 1;
    if (kind == MarkupTag::Kind::End) {
        if (!at(s, p, "/"_L1)) {
            return false;
        }
        ++p;
    }
    if (p > s.size() || !s.sliced(p).startsWith(name, Qt::CaseInsensitive)) {
        return false;
    }
    p += name.size();
    return p < s.size() && (isSpace(s[p]) || s[p] == u'/' || s[p] == u'>');
}

// Raw text and escapable raw text (title, textarea) run to the first end tag of their own
// element; everything before it is text.
qsizetype skipRawText(QStringView s, qsizetype from, QStringView name)
{
    qsizetype p = s.indexOf(u"</", from);
    while (p >= 0) {
        if (tagOfNameAt(s, p, name, MarkupTag::Kind::End)) {
            return p;
        }
        p = s.indexOf(u"</", p + 2);
    }
    return s.size();
}

// Script content has escape states of its own: inside "<!--" a nested "<script" makes the next
// "</script>" part of the text. Returns the position of the end tag that really closes it.
qsizetype skipScriptData(QStringView s, qsizetype from)
{
    enum class State { Data, Escaped, DoubleEscaped };
    const QStringView script = u"script";
    State state = State::Data;
    qsizetype i = from;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'<') {
            if (tagOfNameAt(s, i, script, MarkupTag::Kind::End)) {
                if (state != State::DoubleEscaped) {
                    return i;
                }
                state = State::Escaped;
                i += 8;
                continue;
            }
            if (state == State::Data && at(s, i, "<!--"_L1)) {
                // The dashes of "<!--" already count towards a closing "-->": "<!-->" and
                // "<!--->" open and close at once.
                qsizetype p = i + 4;
                while (p < s.size() && s[p] == u'-') {
                    ++p;
                }
                if (p < s.size() && s[p] == u'>') {
                    i = p + 1;
                } else {
                    state = State::Escaped;
                    i = p;
                }
                continue;
            }
            if (state == State::Escaped && tagOfNameAt(s, i, script, MarkupTag::Kind::Start)) {
                state = State::DoubleEscaped;
                i += 7;
                continue;
            }
        } else if (c == u'-' && state != State::Data && at(s, i, "-->"_L1)) {
            state = State::Data;
            i += 3;
            continue;
        }
        ++i;
    }
    return s.size();
}

// After "<!--": a comment ends at "-->" or "--!>"; "<!-->" and "<!--->" are empty comments.
qsizetype skipComment(QStringView s, qsizetype from)
{
    if (at(s, from, ">"_L1)) {
        return from + 1;
    }
    if (at(s, from, "->"_L1)) {
        return from + 2;
    }
    qsizetype p = s.indexOf(u"--", from);
    while (p >= 0) {
        if (at(s, p + 2, ">"_L1)) {
            return p + 3;
        }
        if (at(s, p + 2, "!>"_L1)) {
            return p + 4;
        }
        p = s.indexOf(u"--", p + 1);
    }
    return s.size();
}

// A doctype, a processing instruction or another markup declaration: up to the next '>'.
qsizetype skipToTagEnd(QStringView s, qsizetype from)
{
    const qsizetype p = s.indexOf(u'>', from);
    return p < 0 ? s.size() : p + 1;
}

qsizetype skipSpaces(QStringView s, qsizetype i)
{
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    return i;
}

// Reads one tag whose name starts at `nameBegin` into `tag`, with its attributes as the tokenizer
// reads them. False when the text ends inside the tag. The tag's attribute list is reused, so a
// scan that looks at one tag at a time allocates next to nothing.
bool readTag(QStringView s, qsizetype begin, qsizetype nameBegin, MarkupTag::Kind kind,
             MarkupTag &tag)
{
    tag.kind = kind;
    tag.selfClosing = false;
    tag.attributes.clear();
    tag.begin = begin;
    qsizetype i = nameBegin;
    while (i < s.size() && !isSpace(s[i]) && s[i] != u'/' && s[i] != u'>') {
        ++i;
    }
    tag.name = lowerName(s.sliced(nameBegin, i - nameBegin));

    while (true) {
        i = skipSpaces(s, i);
        if (i >= s.size()) {
            return false;
        }
        if (s[i] == u'>') {
            tag.end = i + 1;
            return true;
        }
        if (s[i] == u'/') {
            if (at(s, i + 1, ">"_L1)) {
                tag.selfClosing = true;
                tag.end = i + 2;
                return true;
            }
            ++i;  // a stray solidus is skipped
            continue;
        }
        // An attribute name runs to a space, '/', '>' or '='; a leading '=' belongs to the name.
        const qsizetype attributeNameBegin = i++;
        while (i < s.size() && !isSpace(s[i]) && s[i] != u'/' && s[i] != u'>' && s[i] != u'=') {
            ++i;
        }
        MarkupAttribute attribute;
        attribute.name = lowerName(s.sliced(attributeNameBegin, i - attributeNameBegin));
        i = skipSpaces(s, i);
        if (i < s.size() && s[i] == u'=') {
            i = skipSpaces(s, i + 1);
            if (i >= s.size()) {
                return false;
            }
            if (s[i] == u'"' || s[i] == u'\'') {
                attribute.quote = s[i].unicode();
                attribute.valueBegin = i + 1;
                attribute.valueEnd = s.indexOf(s[i], i + 1);
                if (attribute.valueEnd < 0) {
                    return false;
                }
                i = attribute.valueEnd + 1;
            } else if (s[i] != u'>') {
                attribute.valueBegin = i;
                while (i < s.size() && !isSpace(s[i]) && s[i] != u'>') {
                    ++i;
                }
                attribute.valueEnd = i;
            }
        }
        tag.attributes.append(std::move(attribute));
    }
}

using ElementNamespace = MarkupScanner::ElementNamespace;
using OpenElement = MarkupScanner::OpenElement;

// Where the parser reads an element's content as HTML again: SVG <foreignObject>, <desc> and
// <title>, the MathML text elements, and a MathML <annotation-xml> whose encoding is HTML.
bool isHtmlIntegrationPoint(QStringView page, const MarkupTag &tag, ElementNamespace ns)
{
    if (ns == ElementNamespace::Svg) {
        return tag.name == "foreignobject"_L1 || tag.name == "desc"_L1 || tag.name == "title"_L1;
    }
    if (ns != ElementNamespace::MathMl) {
        return false;
    }
    if (tag.name == "annotation-xml"_L1) {
        const MarkupAttribute *encoding = tag.attribute(u"encoding");
        if (encoding == nullptr || encoding->valueBegin < 0) {
            return false;
        }
        const QString value = asciiLower(
            page.sliced(encoding->valueBegin, encoding->valueEnd - encoding->valueBegin));
        return value == "text/html"_L1 || value == "application/xhtml+xml"_L1;
    }
    return tag.name == "mi"_L1 || tag.name == "mo"_L1 || tag.name == "mn"_L1 ||
           tag.name == "ms"_L1 || tag.name == "mtext"_L1;
}

// The namespace of an element that starts as a child of `parent` (nullptr: outside SVG and
// MathML content).
ElementNamespace namespaceOfChild(const OpenElement *parent, const QString &name)
{
    if (name == "svg"_L1) {
        return ElementNamespace::Svg;
    }
    if (name == "math"_L1) {
        return ElementNamespace::MathMl;
    }
    if (parent == nullptr || parent->ns == ElementNamespace::Html || parent->holdsHtml) {
        return ElementNamespace::Html;
    }
    return parent->ns;
}

}  // namespace

const MarkupAttribute *MarkupTag::attribute(QStringView lowerName) const
{
    for (const MarkupAttribute &candidate : attributes) {
        if (candidate.name == lowerName) {
            return &candidate;
        }
    }
    return nullptr;
}

MarkupScanner::MarkupScanner(QStringView page)
    : m_page(page)
{}

bool MarkupScanner::next(MarkupTag &tag)
{
    const QStringView page = m_page;
    qsizetype &i = m_position;
    while (true) {
        i = page.indexOf(u'<', i);
        if (i < 0 || i + 1 >= page.size()) {
            i = page.size();
            return false;
        }
        const QChar next = page[i + 1];
        if (next == u'!') {
            if (at(page, i + 2, "--"_L1)) {
                i = skipComment(page, i + 4);
            } else if (!m_foreign.empty() && m_foreign.back().ns != ElementNamespace::Html &&
                       at(page, i + 2, "[CDATA["_L1)) {
                const qsizetype close = page.indexOf(u"]]>", i + 9);
                i = close < 0 ? page.size() : close + 3;
            } else {
                i = skipToTagEnd(page, i + 2);
            }
            continue;
        }
        if (next == u'?') {
            i = skipToTagEnd(page, i + 2);
            continue;
        }
        MarkupTag::Kind kind = MarkupTag::Kind::Start;
        qsizetype nameBegin = i + 1;
        if (next == u'/') {
            if (i + 2 >= page.size()) {
                i = page.size();
                return false;
            }
            if (!isAsciiAlpha(page[i + 2])) {
                // "</>" is dropped, anything else after "</" is a bogus comment.
                i = skipToTagEnd(page, i + 2);
                continue;
            }
            kind = MarkupTag::Kind::End;
            nameBegin = i + 2;
        } else if (!isAsciiAlpha(next)) {
            ++i;  // a '<' that opens nothing is text
            continue;
        }

        if (!readTag(page, i, nameBegin, kind, tag)) {
            i = page.size();
            return false;
        }
        tag.foreign = !m_foreign.empty();
        tag.inTemplate = m_templateDepth > 0;
        i = tag.end;

        if (kind == MarkupTag::Kind::End) {
            if (!m_foreign.empty()) {
                for (auto open = m_foreign.size(); open-- > 0;) {
                    if (m_foreign[open].name == tag.name) {
                        m_foreign.resize(open);
                        break;
                    }
                }
            } else if (tag.name == "template"_L1 && m_templateDepth > 0) {
                --m_templateDepth;
            }
            return true;
        }

        const ElementNamespace ns =
            namespaceOfChild(m_foreign.empty() ? nullptr : &m_foreign.back(), tag.name);
        // In SVG and MathML "<x/>" closes the element at once; in HTML the solidus means nothing.
        const bool closedAtOnce = tag.selfClosing && ns != ElementNamespace::Html;
        if (!closedAtOnce) {
            if (ns != ElementNamespace::Html || !m_foreign.empty()) {
                m_foreign.push_back(
                    OpenElement{tag.name, ns, isHtmlIntegrationPoint(page, tag, ns)});
            }
            if (ns != ElementNamespace::Html) {
                // SVG and MathML elements hold ordinary, escaped text: every '<' is a tag.
            } else if (tag.name == "template"_L1 && m_foreign.empty()) {
                ++m_templateDepth;
            } else if (tag.name == "script"_L1) {
                i = skipScriptData(page, i);
            } else if (tag.name == "plaintext"_L1) {
                i = page.size();
            } else if (endsOnlyAtOwnEndTag(htmlElementFacts(tag.name).content)) {
                i = skipRawText(page, i, tag.name);
            }
        }
        return true;
    }
}

TagSpelling::TagSpelling(QStringView text)
    : m_text(text.toString())
{
    // The kind and name the text opens with.
    qsizetype nameBegin = 1;
    if (text.startsWith(u"</")) {
        m_kind = MarkupTag::Kind::End;
        nameBegin = 2;
    } else if (!text.startsWith(u'<')) {
        return;
    }
    if (nameBegin >= text.size() || !isAsciiAlpha(text[nameBegin])) {
        return;
    }
    qsizetype nameEnd = nameBegin;
    while (nameEnd < text.size() && !isSpace(text[nameEnd]) && text[nameEnd] != u'/' &&
           text[nameEnd] != u'>') {
        ++nameEnd;
    }
    m_name = asciiLower(text.sliced(nameBegin, nameEnd - nameBegin));
}

bool TagSpelling::matches(const MarkupTag &tag, QStringView page) const
{
    return !m_name.isEmpty() && tag.kind == m_kind && tag.name == m_name && tag.inPageContent() &&
           page.sliced(tag.begin).startsWith(m_text);
}

bool isCharsetDeclaration(const MarkupTag &tag, QStringView page)
{
    if (tag.kind != MarkupTag::Kind::Start || tag.name != "meta"_L1 || !tag.inPageContent()) {
        return false;
    }
    if (tag.attribute(u"charset") != nullptr) {
        return true;
    }
    const auto valueOf = [page](const MarkupAttribute *attribute) {
        return attribute == nullptr || attribute->valueBegin < 0
                   ? QStringView()
                   : page.sliced(attribute->valueBegin,
                                 attribute->valueEnd - attribute->valueBegin);
    };
    return valueOf(tag.attribute(u"http-equiv")).compare("content-type"_L1, Qt::CaseInsensitive) ==
               0 &&
           valueOf(tag.attribute(u"content")).contains("charset"_L1, Qt::CaseInsensitive);
}

}  // namespace lumivane
