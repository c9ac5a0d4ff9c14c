#include "platform/charset_prescan.h"

#include "platform/encoding_labels.h"
#include "platform/html_element_facts.h"

#include <QList>

#include <algorithm>

namespace lumivane {

namespace {

// A page declaring UTF-16 in ASCII bytes cannot be UTF-16, so browsers read it as UTF-8.
PageEncoding withoutUtf16(PageEncoding encoding)
{
    if (encoding.isUtf16()) {
        return PageEncoding::of(PageEncoding::Kind::Utf8);
    }
    return encoding;
}

// https://html.spec.whatwg.org/multipage/parsing.html#extracting-character-encodings-from-meta-elements
// Reads "text/html; charset=..." from a content attribute.
std::optional<PageEncoding> encodingFromMetaContent(QByteArrayView content)
{
    qsizetype position = 0;
    while (true) {
        // Find the next "charset", in any case.
        qsizetype found = -1;
        for (qsizetype i = position; i + 7 <= content.size(); ++i) {
            bool match = true;
            for (qsizetype k = 0; k < 7 && match; ++k) {
                match = asciiLower(content[i + k]) == "charset"[k];
            }
            if (match) {
                found = i;
                break;
            }
        }
        if (found < 0) {
            return std::nullopt;
        }
        // Skip whitespace after the word; no "=" means this was not the parameter, look again.
        qsizetype p = found + 7;
        while (p < content.size() && isAsciiWhitespace(content[p])) {
            ++p;
        }
        if (p >= content.size() || content[p] != '=') {
            position = p;
            continue;
        }
        // Skip whitespace after "=".
        ++p;
        while (p < content.size() && isAsciiWhitespace(content[p])) {
            ++p;
        }
        if (p >= content.size()) {
            return std::nullopt;
        }
        // A quoted value runs to the matching quote; an unmatched quote gives nothing.
        const char first = content[p];
        if (first == '"' || first == '\'') {
            const qsizetype close = content.indexOf(first, p + 1);
            if (close < 0) {
                return std::nullopt;
            }
            return encodingForLabel(content.sliced(p + 1, close - p - 1));
        }
        // An unquoted value runs to whitespace, ";" or the end.
        qsizetype end = p;
        while (end < content.size() && !isAsciiWhitespace(content[end]) && content[end] != ';') {
            ++end;
        }
        return encodingForLabel(content.sliced(p, end - p));
    }
}

// https://html.spec.whatwg.org/multipage/parsing.html#concept-get-xml-encoding-when-sniffing
// Pages saved as XHTML often carry their encoding only in <?xml ... encoding="..."?>.
std::optional<PageEncoding> encodingFromXmlDeclaration(QByteArrayView bytes)
{
    // The bytes must start with "<?xml", and the declaration must close with ">".
    if (!bytes.startsWith("<?xml")) {
        return std::nullopt;
    }
    const qsizetype declarationEnd = bytes.indexOf('>');
    if (declarationEnd < 0) {
        return std::nullopt;
    }
    const QByteArrayView declaration = bytes.first(declarationEnd);
    // Find "encoding" (case matters in XML), then "=" with optional space or control bytes.
    qsizetype p = declaration.indexOf("encoding");
    if (p < 0) {
        return std::nullopt;
    }
    p += 8;
    auto skipSpaceAndControls = [&] {
        while (p < declaration.size() && static_cast<unsigned char>(declaration[p]) <= 0x20) {
            ++p;
        }
    };
    skipSpaceAndControls();
    if (p >= declaration.size() || declaration[p] != '=') {
        return std::nullopt;
    }
    ++p;
    skipSpaceAndControls();
    // The value is quoted with " or '.
    if (p >= declaration.size() || (declaration[p] != '"' && declaration[p] != '\'')) {
        return std::nullopt;
    }
    const char quote = declaration[p];
    ++p;
    const qsizetype close = declaration.indexOf(quote, p);
    if (close < 0) {
        return std::nullopt;
    }
    // A UTF-16 label in ASCII bytes means UTF-8.
    const std::optional<PageEncoding> encoding = encodingForLabel(declaration.sliced(p, close - p));
    if (!encoding) {
        return std::nullopt;
    }
    return withoutUtf16(*encoding);
}

// The prescan walks the bytes the way a browser's quick look-ahead does, before any real parsing:
// it skips comments and other tags and stops at the first <meta> that names a usable encoding.
// Running out of bytes anywhere means the window declares nothing, except perhaps through an XML
// declaration.
class Prescan {
public:
    explicit Prescan(QByteArrayView bytes)
        : m_bytes(bytes)
    {}

    // https://html.spec.whatwg.org/multipage/parsing.html#prescan-a-byte-stream-to-determine-its-encoding
    std::optional<PageEncoding> run()
    {
        // UTF-16 XML declarations: "<?x" in UTF-16 little- or big-endian, no byte-order mark.
        // The parser turns the declaration into a comment, so the page written back would have
        // nothing left that says UTF-16: it is written with a byte-order mark instead.
        if (m_bytes.startsWith(QByteArrayView("<\0?\0x\0", 6))) {
            return PageEncoding::of(PageEncoding::Kind::Utf16LE, true);
        }
        if (m_bytes.startsWith(QByteArrayView("\0<\0?\0x", 6))) {
            return PageEncoding::of(PageEncoding::Kind::Utf16BE, true);
        }

        // Loop: look at each byte in turn.
        for (; m_position < m_bytes.size(); ++m_position) {
            Step step = Step::NextByte;
            if (startsHere("<!--")) {
                // Comment: jump to its "-->" (the dashes of "<!--" count, so "<!-->" ends it).
                step = skipComment();
            } else if (atMetaStart()) {
                // <meta followed by whitespace or "/": read its attributes.
                std::optional<PageEncoding> found;
                step = readMeta(found);
                if (found) {
                    return found;
                }
            } else if (atTagStart()) {
                // Any other start or end tag: skip its name and attributes.
                step = skipTag();
            } else if (startsHere("<!") || startsHere("</") || startsHere("<?")) {
                // Doctype, processing instruction, bogus end tag: jump to the next ">".
                step = skipTo('>', m_position + 1);
            }
            // Any other byte: nothing to do.
            if (step == Step::OutOfBytes) {
                break;
            }
        }
        // Nothing found in the window: an XML declaration may still name the encoding.
        return encodingFromXmlDeclaration(m_bytes);
    }

private:
    enum class Step { NextByte, OutOfBytes };
    enum class Got { Attribute, NoAttribute, OutOfBytes };
    struct Attribute {
        QByteArray name;
        QByteArray value;
    };

    bool atEnd() const { return m_position >= m_bytes.size(); }
    char current() const { return m_bytes[m_position]; }

    bool startsHere(QByteArrayView prefix) const
    {
        return m_bytes.sliced(m_position).startsWith(prefix);
    }

    bool atMetaStart() const
    {
        if (m_position + 5 >= m_bytes.size() || m_bytes[m_position] != '<') {
            return false;
        }
        for (qsizetype k = 0; k < 4; ++k) {
            if (asciiLower(m_bytes[m_position + 1 + k]) != "meta"[k]) {
                return false;
            }
        }
        const char after = m_bytes[m_position + 5];
        return isAsciiWhitespace(after) || after == '/';
    }

    bool atTagStart() const
    {
        qsizetype p = m_position;
        if (p >= m_bytes.size() || m_bytes[p] != '<') {
            return false;
        }
        ++p;
        if (p < m_bytes.size() && m_bytes[p] == '/') {
            ++p;
        }
        if (p >= m_bytes.size()) {
            return false;
        }
        const char c = asciiLower(m_bytes[p]);
        return c >= 'a' && c <= 'z';
    }

    Step skipTo(char wanted, qsizetype from)
    {
        const qsizetype found = m_bytes.indexOf(wanted, from);
        if (found < 0) {
            return Step::OutOfBytes;
        }
        m_position = found;
        return Step::NextByte;
    }

    Step skipComment()
    {
        // The first ">" preceded by two "-", at the earliest right after "<!--".
        for (qsizetype p = m_position + 4; p < m_bytes.size(); ++p) {
            if (m_bytes[p] == '>' && m_bytes[p - 1] == '-' && m_bytes[p - 2] == '-') {
                m_position = p;
                return Step::NextByte;
            }
        }
        return Step::OutOfBytes;
    }

    Step skipTag()
    {
        // Past the tag name: to the next whitespace or ">".
        while (!atEnd() && !isAsciiWhitespace(current()) && current() != '>') {
            ++m_position;
        }
        if (atEnd()) {
            return Step::OutOfBytes;
        }
        // Then every attribute, until ">".
        Attribute attribute;
        while (true) {
            const Got got = getAttribute(attribute);
            if (got == Got::OutOfBytes) {
                return Step::OutOfBytes;
            }
            if (got == Got::NoAttribute) {
                return Step::NextByte;
            }
        }
    }

    Step readMeta(std::optional<PageEncoding> &found)
    {
        // Start at the whitespace or "/" after "<meta".
        m_position += 5;
        QList<QByteArray> seenNames;
        bool gotPragma = false;
        std::optional<bool> needPragma;
        // charset: not yet set, set to failure (an unusable label), or set to an encoding.
        bool charsetSet = false;
        std::optional<PageEncoding> charset;

        Attribute attribute;
        while (true) {
            // Attributes: read the next one; a repeated name is ignored.
            const Got got = getAttribute(attribute);
            if (got == Got::OutOfBytes) {
                return Step::OutOfBytes;
            }
            if (got == Got::NoAttribute) {
                break;
            }
            if (seenNames.contains(attribute.name)) {
                continue;
            }
            seenNames.append(attribute.name);

            if (attribute.name == "http-equiv") {
                // http-equiv="content-type" makes a content attribute count.
                if (attribute.value == "content-type") {
                    gotPragma = true;
                }
            } else if (attribute.name == "content") {
                // content="...; charset=X" counts only with the pragma and only if no charset
                // attribute came first.
                const std::optional<PageEncoding> fromContent =
                    encodingFromMetaContent(attribute.value);
                if (fromContent && !charsetSet) {
                    charset = fromContent;
                    charsetSet = true;
                    needPragma = true;
                }
            } else if (attribute.name == "charset") {
                // charset="X" counts on its own, usable or not.
                charset = encodingForLabel(attribute.value);
                charsetSet = true;
                needPragma = false;
            }
        }

        // Processing: no declaration, a content without the pragma, or an unusable label all
        // mean "keep looking".
        if (!needPragma.has_value() || (*needPragma && !gotPragma) || !charset) {
            return Step::NextByte;
        }
        // A UTF-16 label in ASCII bytes means UTF-8 (x-user-defined was already made
        // windows-1252 by the label lookup).
        found = withoutUtf16(*charset);
        return Step::NextByte;
    }

    // Reads one attribute of a tag; names and values come back lowercased, which is all the
    // prescan needs.
    Got getAttribute(Attribute &attribute)
    {
        attribute.name.clear();
        attribute.value.clear();

        // Skip whitespace and "/" before the name; ">" ends the tag.
        while (!atEnd() && (isAsciiWhitespace(current()) || current() == '/')) {
            ++m_position;
        }
        if (atEnd()) {
            return Got::OutOfBytes;
        }
        if (current() == '>') {
            return Got::NoAttribute;
        }

        // Name: up to "=", whitespace, "/" or ">". A leading "=" is part of the name.
        bool atValue = false;
        while (!atValue) {
            if (atEnd()) {
                return Got::OutOfBytes;
            }
            const char c = current();
            if (c == '=' && !attribute.name.isEmpty()) {
                ++m_position;
                atValue = true;
            } else if (isAsciiWhitespace(c)) {
                // Spaces: an "=" may still follow; anything else means no value.
                while (!atEnd() && isAsciiWhitespace(current())) {
                    ++m_position;
                }
                if (atEnd()) {
                    return Got::OutOfBytes;
                }
                if (current() != '=') {
                    return Got::Attribute;
                }
                ++m_position;
                atValue = true;
            } else if (c == '/' || c == '>') {
                return Got::Attribute;
            } else {
                attribute.name.append(asciiLower(c));
                ++m_position;
            }
        }

        // Value: skip leading whitespace.
        while (!atEnd() && isAsciiWhitespace(current())) {
            ++m_position;
        }
        if (atEnd()) {
            return Got::OutOfBytes;
        }
        const char first = current();
        if (first == '"' || first == '\'') {
            // Quoted: up to the matching quote, which is consumed.
            while (true) {
                ++m_position;
                if (atEnd()) {
                    return Got::OutOfBytes;
                }
                if (current() == first) {
                    ++m_position;
                    return Got::Attribute;
                }
                attribute.value.append(asciiLower(current()));
            }
        }
        if (first == '>') {
            return Got::Attribute;
        }
        // Unquoted: up to whitespace or ">", which is left for the caller.
        while (true) {
            attribute.value.append(asciiLower(current()));
            ++m_position;
            if (atEnd()) {
                return Got::OutOfBytes;
            }
            if (isAsciiWhitespace(current()) || current() == '>') {
                return Got::Attribute;
            }
        }
    }

    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

}  // namespace

std::optional<PageEncoding> prescanEncoding(QByteArrayView bytes)
{
    return Prescan(bytes.first(std::min(bytes.size(), PrescanWindow))).run();
}

QByteArray prescanCharset(const QByteArray &bytes)
{
    const std::optional<PageEncoding> found = prescanEncoding(bytes);
    return found ? found->name : QByteArray();
}

}  // namespace lumivane
