#include "engine/markup_scanner.h"

#include <optional>
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

QString asciiLower(QStringView text)
{
    QString lower(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        lower[i] = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u);
    }
    return lower;
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

// Reads one tag whose name starts at `nameBegin`, with its attributes as the tokenizer reads
// them. Nothing when the text ends inside the tag.
std::optional<MarkupTag> readTag(QStringView s, qsizetype begin, qsizetype nameBegin,
                                 MarkupTag::Kind kind)
{
    MarkupTag tag;
    tag.kind = kind;
    tag.begin = begin;
    qsizetype i = nameBegin;
    while (i < s.size() && !isSpace(s[i]) && s[i] != u'/' && s[i] != u'>') {
        ++i;
    }
    tag.name = asciiLower(s.sliced(nameBegin, i - nameBegin));

    while (true) {
        i = skipSpaces(s, i);
        if (i >= s.size()) {
            return std::nullopt;
        }
        if (s[i] == u'>') {
            tag.end = i + 1;
            return tag;
        }
        if (s[i] == u'/') {
            if (at(s, i + 1, ">"_L1)) {
                tag.selfClosing = true;
                tag.end = i + 2;
                return tag;
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
        attribute.name = asciiLower(s.sliced(attributeNameBegin, i - attributeNameBegin));
        i = skipSpaces(s, i);
        if (i < s.size() && s[i] == u'=') {
            i = skipSpaces(s, i + 1);
            if (i >= s.size()) {
                return std::nullopt;
            }
            if (s[i] == u'"' || s[i] == u'\'') {
                attribute.quote = s[i].unicode();
                attribute.valueBegin = i + 1;
                attribute.valueEnd = s.indexOf(s[i], i + 1);
                if (attribute.valueEnd < 0) {
                    return std::nullopt;
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

// Elements whose content a browser reads as text up to their own end tag.
bool hasRawTextContent(const QString &name)
{
    static const QLatin1StringView names[] = {
        "style"_L1, "xmp"_L1, "iframe"_L1, "noembed"_L1, "noframes"_L1,
        // A browser runs scripts, so <noscript> content is text to it as well.
        "noscript"_L1,
        // Escapable raw text: entities count, tags do not.
        "title"_L1, "textarea"_L1};
    for (const auto candidate : names) {
        if (name == candidate) {
            return true;
        }
    }
    return false;
}

enum class ElementNamespace { Html, Svg, MathMl };

// An element open inside <svg> or <math> content.
struct OpenElement {
    QString name;
    ElementNamespace ns;
};

// Where the parser reads an element's content as HTML again: SVG <foreignObject>, <desc> and
// <title>, and the MathML text elements.
bool isHtmlIntegrationPoint(const OpenElement &element)
{
    if (element.ns == ElementNamespace::Svg) {
        return element.name == "foreignobject"_L1 || element.name == "desc"_L1 ||
               element.name == "title"_L1;
    }
    if (element.ns == ElementNamespace::MathMl) {
        return element.name == "mi"_L1 || element.name == "mo"_L1 || element.name == "mn"_L1 ||
               element.name == "ms"_L1 || element.name == "mtext"_L1;
    }
    return false;
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
    if (parent == nullptr || parent->ns == ElementNamespace::Html ||
        isHtmlIntegrationPoint(*parent)) {
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

QList<MarkupTag> scanMarkup(QStringView page)
{
    QList<MarkupTag> tags;
    // The elements open since the outermost <svg> or <math>, so that each tag there is known to
    // be SVG, MathML or HTML again (inside an integration point). Serialized markup closes every
    // element but the void HTML ones; an end tag closes the nearest open element of its name and
    // whatever is still open above it, which drops those again.
    std::vector<OpenElement> foreign;
    int templateDepth = 0;  // open HTML <template> elements
    qsizetype i = 0;
    while (true) {
        i = page.indexOf(u'<', i);
        if (i < 0 || i + 1 >= page.size()) {
            break;
        }
        const QChar next = page[i + 1];
        if (next == u'!') {
            if (at(page, i + 2, "--"_L1)) {
                i = skipComment(page, i + 4);
            } else if (!foreign.empty() && foreign.back().ns != ElementNamespace::Html &&
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
                break;
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

        std::optional<MarkupTag> read = readTag(page, i, nameBegin, kind);
        if (!read) {
            break;
        }
        MarkupTag &tag = *read;
        tag.foreign = !foreign.empty();
        tag.inTemplate = templateDepth > 0;
        i = tag.end;

        if (kind == MarkupTag::Kind::End) {
            if (!foreign.empty()) {
                for (auto open = foreign.size(); open-- > 0;) {
                    if (foreign[open].name == tag.name) {
                        foreign.resize(open);
                        break;
                    }
                }
            } else if (tag.name == "template"_L1 && templateDepth > 0) {
                --templateDepth;
            }
            tags.append(std::move(tag));
            continue;
        }

        const ElementNamespace ns =
            namespaceOfChild(foreign.empty() ? nullptr : &foreign.back(), tag.name);
        // In SVG and MathML "<x/>" closes the element at once; in HTML the solidus means nothing.
        const bool closedAtOnce = tag.selfClosing && ns != ElementNamespace::Html;
        if (!closedAtOnce) {
            if (ns != ElementNamespace::Html || !foreign.empty()) {
                foreign.push_back(OpenElement{tag.name, ns});
            }
            if (ns != ElementNamespace::Html) {
                // SVG and MathML elements hold ordinary, escaped text: every '<' is a tag.
            } else if (tag.name == "template"_L1 && foreign.empty()) {
                ++templateDepth;
            } else if (tag.name == "script"_L1) {
                i = skipScriptData(page, i);
            } else if (tag.name == "plaintext"_L1) {
                i = page.size();
            } else if (hasRawTextContent(tag.name)) {
                i = skipRawText(page, i, tag.name);
            }
        }
        tags.append(std::move(tag));
    }
    return tags;
}

qsizetype findTagText(const QList<MarkupTag> &tags, QStringView page, QStringView tagText)
{
    // The kind and name the text opens with.
    MarkupTag::Kind kind = MarkupTag::Kind::Start;
    qsizetype nameBegin = 1;
    if (tagText.startsWith(u"</")) {
        kind = MarkupTag::Kind::End;
        nameBegin = 2;
    } else if (!tagText.startsWith(u'<')) {
        return -1;
    }
    if (nameBegin >= tagText.size() || !isAsciiAlpha(tagText[nameBegin])) {
        return -1;
    }
    qsizetype nameEnd = nameBegin;
    while (nameEnd < tagText.size() && !isSpace(tagText[nameEnd]) && tagText[nameEnd] != u'/' &&
           tagText[nameEnd] != u'>') {
        ++nameEnd;
    }
    const QString name = asciiLower(tagText.sliced(nameBegin, nameEnd - nameBegin));

    for (qsizetype index = 0; index < tags.size(); ++index) {
        const MarkupTag &tag = tags[index];
        if (tag.kind == kind && tag.name == name && tag.inPageContent() &&
            page.sliced(tag.begin).startsWith(tagText)) {
            return index;
        }
    }
    return -1;
}

qsizetype findCharsetDeclaration(const QList<MarkupTag> &tags, QStringView page)
{
    const auto valueOf = [page](const MarkupAttribute *attribute) {
        return attribute == nullptr || attribute->valueBegin < 0
                   ? QStringView()
                   : page.sliced(attribute->valueBegin,
                                 attribute->valueEnd - attribute->valueBegin);
    };
    for (qsizetype index = 0; index < tags.size(); ++index) {
        const MarkupTag &tag = tags[index];
        if (tag.kind != MarkupTag::Kind::Start || tag.name != "meta"_L1 || !tag.inPageContent()) {
            continue;
        }
        if (tag.attribute(u"charset") != nullptr) {
            return index;
        }
        const QStringView httpEquiv = valueOf(tag.attribute(u"http-equiv"));
        const QStringView content = valueOf(tag.attribute(u"content"));
        if (httpEquiv.compare("content-type"_L1, Qt::CaseInsensitive) == 0 &&
            content.contains("charset"_L1, Qt::CaseInsensitive)) {
            return index;
        }
    }
    return -1;
}

}  // namespace lumivane
