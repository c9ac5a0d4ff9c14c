#include "platform/text_codec.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

// A page is read the way a browser reads a local file, so that the page we write back looks the
// same as the page the user opened. Browsers, not text editors, decide what a page means.

namespace lumivane {

namespace {

using namespace std::string_view_literals;

constexpr char32_t replacementCharacter = 0xFFFD;
// Browsers look for a declaration in the first 1024 bytes only.
constexpr qsizetype prescanWindow = 1024;

// ---------------------------------------------------------------------------------------------
// Encoding labels
// ---------------------------------------------------------------------------------------------

struct LabelGroup {
    std::string_view name;    // the encoding's canonical name
    std::string_view labels;  // every label browsers accept for it, space-separated, lowercase
};

// Browsers accept exactly these labels (the web's shared label table); any other label is
// ignored by them and so by us. "replacement" swallows a whole page into one U+FFFD in a browser,
// which we refuse to do: it is treated as no declaration.
constexpr std::array labelGroups{
    LabelGroup{"UTF-8"sv,
               "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"sv},
    LabelGroup{"IBM866"sv, "866 cp866 csibm866 ibm866"sv},
    LabelGroup{"ISO-8859-2"sv, "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 "
                               "iso_8859-2:1987 l2 latin2"sv},
    LabelGroup{"ISO-8859-3"sv, "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 "
                               "iso_8859-3:1988 l3 latin3"sv},
    LabelGroup{"ISO-8859-4"sv, "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 "
                               "iso_8859-4:1988 l4 latin4"sv},
    LabelGroup{"ISO-8859-5"sv, "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 "
                               "iso88595 iso_8859-5 iso_8859-5:1988"sv},
    LabelGroup{"ISO-8859-6"sv, "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 "
                               "iso-8859-6 iso-8859-6-e iso-8859-6-i iso-ir-127 iso8859-6 iso88596 "
                               "iso_8859-6 iso_8859-6:1987"sv},
    LabelGroup{"ISO-8859-7"sv, "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 "
                               "iso-ir-126 iso8859-7 iso88597 iso_8859-7 iso_8859-7:1987 "
                               "sun_eu_greek"sv},
    LabelGroup{"ISO-8859-8"sv, "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e "
                               "iso-ir-138 iso8859-8 iso88598 iso_8859-8 iso_8859-8:1988 visual"sv},
    LabelGroup{"ISO-8859-8-I"sv, "csiso88598i iso-8859-8-i logical"sv},
    LabelGroup{"ISO-8859-10"sv,
               "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"sv},
    LabelGroup{"ISO-8859-13"sv, "iso-8859-13 iso8859-13 iso885913"sv},
    LabelGroup{"ISO-8859-14"sv, "iso-8859-14 iso8859-14 iso885914"sv},
    LabelGroup{"ISO-8859-15"sv, "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"sv},
    LabelGroup{"ISO-8859-16"sv, "iso-8859-16"sv},
    LabelGroup{"KOI8-R"sv, "cskoi8r koi koi8 koi8-r koi8_r"sv},
    LabelGroup{"KOI8-U"sv, "koi8-ru koi8-u"sv},
    LabelGroup{"macintosh"sv, "csmacintosh mac macintosh x-mac-roman"sv},
    LabelGroup{"windows-874"sv, "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"sv},
    LabelGroup{"windows-1250"sv, "cp1250 windows-1250 x-cp1250"sv},
    LabelGroup{"windows-1251"sv, "cp1251 windows-1251 x-cp1251"sv},
    LabelGroup{"windows-1252"sv, "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 "
                                 "iso-ir-100 iso8859-1 iso88591 iso_8859-1 iso_8859-1:1987 l1 "
                                 "latin1 us-ascii windows-1252 x-cp1252"sv},
    LabelGroup{"windows-1253"sv, "cp1253 windows-1253 x-cp1253"sv},
    LabelGroup{"windows-1254"sv, "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 "
                                 "iso_8859-9 iso_8859-9:1989 l5 latin5 windows-1254 x-cp1254"sv},
    LabelGroup{"windows-1255"sv, "cp1255 windows-1255 x-cp1255"sv},
    LabelGroup{"windows-1256"sv, "cp1256 windows-1256 x-cp1256"sv},
    LabelGroup{"windows-1257"sv, "cp1257 windows-1257 x-cp1257"sv},
    LabelGroup{"windows-1258"sv, "cp1258 windows-1258 x-cp1258"sv},
    LabelGroup{"x-mac-cyrillic"sv, "x-mac-cyrillic x-mac-ukrainian"sv},
    LabelGroup{"GBK"sv, "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk "
                        "iso-ir-58 x-gbk"sv},
    LabelGroup{"gb18030"sv, "gb18030"sv},
    LabelGroup{"Big5"sv, "big5 big5-hkscs cn-big5 csbig5 x-x-big5"sv},
    LabelGroup{"EUC-JP"sv, "cseucpkdfmtjapanese euc-jp x-euc-jp"sv},
    LabelGroup{"ISO-2022-JP"sv, "csiso2022jp iso-2022-jp"sv},
    LabelGroup{"Shift_JIS"sv,
               "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis"sv},
    LabelGroup{"EUC-KR"sv, "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 "
                           "ks_c_5601-1989 ksc5601 ksc_5601 windows-949"sv},
    LabelGroup{"replacement"sv,
               "csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement"sv},
    LabelGroup{"UTF-16BE"sv, "unicodefffe utf-16be"sv},
    LabelGroup{"UTF-16LE"sv,
               "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"sv},
    LabelGroup{"x-user-defined"sv, "x-user-defined"sv},
};

bool isAsciiWhitespace(char c)
{
    return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The canonical name for a label, or empty when browsers don't know the label.
std::string_view canonicalNameForLabel(QByteArrayView label)
{
    qsizetype begin = 0;
    qsizetype end = label.size();
    while (begin < end && isAsciiWhitespace(label[begin])) {
        ++begin;
    }
    while (end > begin && isAsciiWhitespace(label[end - 1])) {
        --end;
    }
    QByteArray wanted;
    wanted.reserve(end - begin);
    for (qsizetype i = begin; i < end; ++i) {
        wanted.append(asciiLower(label[i]));
    }
    const std::string_view key(wanted.constData(), static_cast<std::size_t>(wanted.size()));
    if (key.empty()) {
        return {};
    }

    for (const LabelGroup &group : labelGroups) {
        std::string_view rest = group.labels;
        while (!rest.empty()) {
            const std::size_t space = rest.find(' ');
            if (rest.substr(0, space) == key) {
                return group.name;
            }
            rest = space == std::string_view::npos ? std::string_view{} : rest.substr(space + 1);
        }
    }
    return {};
}

PageEncoding makeEncoding(PageEncoding::Kind kind, const char *name)
{
    PageEncoding encoding;
    encoding.kind = kind;
    encoding.name = QByteArray(name);
    return encoding;
}

// The encoding a label stands for, when we can decode it: nullopt for labels browsers don't
// know, for "replacement", and for legacy encodings this Qt build cannot convert. Such a
// declaration is treated as no declaration at all. "x-user-defined" becomes windows-1252, which
// is what browsers use for it in a page.
std::optional<PageEncoding> usableEncodingForLabel(QByteArrayView label)
{
    const std::string_view name = canonicalNameForLabel(label);
    if (name.empty() || name == "replacement"sv) {
        return std::nullopt;
    }
    if (name == "UTF-8"sv) {
        return makeEncoding(PageEncoding::Kind::Utf8, "UTF-8");
    }
    if (name == "UTF-16LE"sv) {
        return makeEncoding(PageEncoding::Kind::Utf16LE, "UTF-16LE");
    }
    if (name == "UTF-16BE"sv) {
        return makeEncoding(PageEncoding::Kind::Utf16BE, "UTF-16BE");
    }
    if (name == "windows-1252"sv || name == "x-user-defined"sv) {
        return makeEncoding(PageEncoding::Kind::Windows1252, "windows-1252");
    }

    PageEncoding encoding;
    encoding.kind = PageEncoding::Kind::Other;
    encoding.name = QByteArray(name.data(), static_cast<qsizetype>(name.size()));
    if (!QStringDecoder(encoding.name.constData()).isValid() ||
        !QStringEncoder(encoding.name.constData()).isValid()) {
        return std::nullopt;
    }
    return encoding;
}

// A page declaring UTF-16 in ASCII bytes cannot be UTF-16, so browsers read it as UTF-8.
PageEncoding withoutUtf16(PageEncoding encoding)
{
    if (encoding.kind == PageEncoding::Kind::Utf16LE ||
        encoding.kind == PageEncoding::Kind::Utf16BE) {
        return makeEncoding(PageEncoding::Kind::Utf8, "UTF-8");
    }
    return encoding;
}

// ---------------------------------------------------------------------------------------------
// The <meta> prescan
// ---------------------------------------------------------------------------------------------

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
            return usableEncodingForLabel(content.sliced(p + 1, close - p - 1));
        }
        // An unquoted value runs to whitespace, ";" or the end.
        qsizetype end = p;
        while (end < content.size() && !isAsciiWhitespace(content[end]) && content[end] != ';') {
            ++end;
        }
        return usableEncodingForLabel(content.sliced(p, end - p));
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
    const std::optional<PageEncoding> encoding =
        usableEncodingForLabel(declaration.sliced(p, close - p));
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
            PageEncoding encoding = makeEncoding(PageEncoding::Kind::Utf16LE, "UTF-16LE");
            encoding.byteOrderMark = true;
            return encoding;
        }
        if (m_bytes.startsWith(QByteArrayView("\0<\0?\0x", 6))) {
            PageEncoding encoding = makeEncoding(PageEncoding::Kind::Utf16BE, "UTF-16BE");
            encoding.byteOrderMark = true;
            return encoding;
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
                charset = usableEncodingForLabel(attribute.value);
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

std::optional<PageEncoding> prescan(const QByteArray &bytes)
{
    return Prescan(QByteArrayView(bytes).first(std::min(bytes.size(), prescanWindow))).run();
}

// ---------------------------------------------------------------------------------------------
// Decoders
// ---------------------------------------------------------------------------------------------

void appendCodePoint(QString &text, char32_t codePoint)
{
    if (codePoint > 0xFFFF) {
        text.append(QChar::highSurrogate(codePoint));
        text.append(QChar::lowSurrogate(codePoint));
    } else {
        text.append(QChar(static_cast<char16_t>(codePoint)));
    }
}

// UTF-8 as browsers decode it: each broken sequence (the longest start of a valid sequence, or a
// single byte) becomes one U+FFFD. errorCount tells whether the bytes were valid UTF-8 at all.
QString decodeUtf8(QByteArrayView bytes, qsizetype *errorCount = nullptr)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype errors = 0;
    char32_t codePoint = 0;
    int needed = 0;
    int seen = 0;
    unsigned char lowerBoundary = 0x80;
    unsigned char upperBoundary = 0xBF;

    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (needed == 0) {
            if (byte <= 0x7F) {
                text.append(QChar(static_cast<char16_t>(byte)));
            } else if (byte >= 0xC2 && byte <= 0xDF) {
                needed = 1;
                codePoint = byte & 0x1F;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                // No overlong three-byte forms, no surrogates.
                if (byte == 0xE0) {
                    lowerBoundary = 0xA0;
                }
                if (byte == 0xED) {
                    upperBoundary = 0x9F;
                }
                needed = 2;
                codePoint = byte & 0x0F;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                // No overlong four-byte forms, nothing past U+10FFFF.
                if (byte == 0xF0) {
                    lowerBoundary = 0x90;
                }
                if (byte == 0xF4) {
                    upperBoundary = 0x8F;
                }
                needed = 3;
                codePoint = byte & 0x07;
            } else {
                ++errors;
                text.append(QChar(static_cast<char16_t>(replacementCharacter)));
            }
            continue;
        }
        if (byte < lowerBoundary || byte > upperBoundary) {
            // The sequence broke off: one U+FFFD, and this byte starts afresh.
            codePoint = 0;
            needed = 0;
            seen = 0;
            lowerBoundary = 0x80;
            upperBoundary = 0xBF;
            ++errors;
            text.append(QChar(static_cast<char16_t>(replacementCharacter)));
            --i;
            continue;
        }
        lowerBoundary = 0x80;
        upperBoundary = 0xBF;
        codePoint = (codePoint << 6) | (byte & 0x3F);
        if (++seen == needed) {
            appendCodePoint(text, codePoint);
            codePoint = 0;
            needed = 0;
            seen = 0;
        }
    }
    if (needed != 0) {
        // Cut off at the end of the file.
        ++errors;
        text.append(QChar(static_cast<char16_t>(replacementCharacter)));
    }
    if (errorCount) {
        *errorCount = errors;
    }
    return text;
}

// UTF-16 as browsers decode it: an unpaired surrogate or an odd last byte becomes U+FFFD.
QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString text;
    text.reserve(bytes.size() / 2 + 1);
    char16_t pendingHigh = 0;
    const qsizetype units = bytes.size() / 2;
    for (qsizetype i = 0; i < units; ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        const auto unit =
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
        if (pendingHigh != 0) {
            if (QChar::isLowSurrogate(unit)) {
                text.append(QChar(pendingHigh));
                text.append(QChar(unit));
                pendingHigh = 0;
                continue;
            }
            text.append(QChar(static_cast<char16_t>(replacementCharacter)));
            pendingHigh = 0;
        }
        if (QChar::isHighSurrogate(unit)) {
            pendingHigh = unit;
        } else if (QChar::isLowSurrogate(unit)) {
            text.append(QChar(static_cast<char16_t>(replacementCharacter)));
        } else {
            text.append(QChar(unit));
        }
    }
    if (pendingHigh != 0 || bytes.size() % 2 != 0) {
        text.append(QChar(static_cast<char16_t>(replacementCharacter)));
    }
    return text;
}

// windows-1252 bytes 0x80-0x9F. The five bytes Windows leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 control of the same value, as in browsers, so every byte decodes and
// every page encodes back byte for byte.
constexpr std::array<char16_t, 32> windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar((byte >= 0x80 && byte <= 0x9F) ? windows1252High[byte - 0x80]
                                                      : static_cast<char16_t>(byte));
    }
    return text;
}

// A legacy encoding through Qt. Qt holds back a sequence cut off at the end of the bytes and
// drops it silently; feeding one more, harmless byte shows whether anything was held back, so the
// cut-off sequence becomes U+FFFD, as in a browser, instead of disappearing.
QString decodeOther(QByteArrayView bytes, const QByteArray &name)
{
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    const QString tail = decoder.decode(QByteArrayView("\n"));
    if (tail != u"\n") {
        text.append(QChar(static_cast<char16_t>(replacementCharacter)));
    }
    return text;
}

QString decodeAs(QByteArrayView bytes, const PageEncoding &encoding)
{
    switch (encoding.kind) {
    case PageEncoding::Kind::Utf8:
        return decodeUtf8(bytes);
    case PageEncoding::Kind::Utf16LE:
        return decodeUtf16(bytes, false);
    case PageEncoding::Kind::Utf16BE:
        return decodeUtf16(bytes, true);
    case PageEncoding::Kind::Windows1252:
        return decodeWindows1252(bytes);
    case PageEncoding::Kind::Other:
        return decodeOther(bytes, encoding.name);
    }
    return decodeUtf8(bytes);
}

// ---------------------------------------------------------------------------------------------
// Encoders
// ---------------------------------------------------------------------------------------------

// Calls visit(codePoint) for each character; an unpaired surrogate (which no encoding can hold
// and no browser would display) comes out as U+FFFD.
template <typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            visit(replacementCharacter);
        } else {
            visit(static_cast<char32_t>(unit));
        }
    }
}

void appendCharacterReference(QByteArray &bytes, char32_t codePoint)
{
    bytes.append("&#");
    bytes.append(QByteArray::number(static_cast<uint>(codePoint)));
    bytes.append(';');
}

void appendUtf16Unit(QByteArray &bytes, char16_t unit, bool bigEndian)
{
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    bytes.append(bigEndian ? high : low);
    bytes.append(bigEndian ? low : high);
}

// Two passes, the first counting, so the bytes are written straight into storage of the right size;
// runs of ASCII, most of a page, cost a compare and a store per character.
QByteArray encodeUtf8(QStringView text)
{
    const qsizetype size = text.size();
    const char16_t *units = text.utf16();
    qsizetype length = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80) {
            length += 1;
        } else if (unit < 0x800) {
            length += 2;
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size &&
                   QChar::isLowSurrogate(units[i + 1])) {
            length += 4;
            ++i;
        } else {
            length += 3;  // also an unpaired surrogate, written as U+FFFD
        }
    }
    QByteArray bytes(length, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < size; ++i) {
        char32_t cp = units[i];
        if (cp < 0x80) {
            *out++ = static_cast<unsigned char>(cp);
            continue;
        }
        if (QChar::isHighSurrogate(cp) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            cp = QChar::surrogateToUcs4(static_cast<char16_t>(cp), units[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(cp)) {
            cp = replacementCharacter;
        }
        if (cp < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            *out++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
            *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
            *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        }
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
    return bytes;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    forEachCodePoint(text, [&](char32_t cp) {
        if (cp > 0xFFFF) {
            appendUtf16Unit(bytes, QChar::highSurrogate(cp), bigEndian);
            appendUtf16Unit(bytes, QChar::lowSurrogate(cp), bigEndian);
        } else {
            appendUtf16Unit(bytes, static_cast<char16_t>(cp), bigEndian);
        }
    });
    return bytes;
}

std::optional<char> windows1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < windows1252High.size(); ++i) {
        if (windows1252High[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

QByteArray encodeWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    forEachCodePoint(text, [&](char32_t cp) {
        if (const std::optional<char> byte = windows1252Byte(cp)) {
            bytes.append(*byte);
        } else {
            appendCharacterReference(bytes, cp);
        }
    });
    return bytes;
}

// Whether a legacy encoding holds a character: it must encode without error and decode back to
// itself (Qt substitutes a byte for what it cannot encode and only flags it, and a one-way
// "best fit" mapping would change the text).
bool otherEncodingHolds(const QByteArray &name, char32_t cp)
{
    QString character;
    appendCodePoint(character, cp);
    QStringEncoder encoder(name.constData(), QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder.encode(character);
    if (encoder.hasError() || bytes.isEmpty()) {
        return false;
    }
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless |
                                                 QStringDecoder::Flag::ConvertInitialBom);
    const QString back = decoder.decode(bytes);
    return !decoder.hasError() && back == character;
}

QByteArray encodeOther(QStringView text, const QByteArray &name)
{
    QStringEncoder encoder(name.constData());
    if (!encoder.isValid()) {
        return encodeUtf8(text);  // not reachable through decodePage, which checks the name
    }

    // Characters the encoding cannot hold become character references first, then the whole text
    // goes through one encoder, so stateful encodings (ISO-2022-JP) keep their shift state right.
    // Each distinct character is checked once.
    QHash<char32_t, bool> holds;
    QString prepared;
    prepared.reserve(text.size());
    forEachCodePoint(text, [&](char32_t cp) {
        auto known = holds.constFind(cp);
        if (known == holds.constEnd()) {
            known = holds.insert(cp, otherEncodingHolds(name, cp));
        }
        if (known.value()) {
            appendCodePoint(prepared, cp);
        } else {
            prepared.append(u"&#");
            prepared.append(QString::number(static_cast<uint>(cp)));
            prepared.append(u';');
        }
    });
    // A stateful encoding switches back to ASCII only when an ASCII character follows, so a page
    // ending in Japanese would be left in the wrong shift state. A final newline makes the encoder
    // switch back, and is then taken off again.
    prepared.append(u'\n');
    QByteArray bytes = encoder.encode(prepared);
    if (bytes.endsWith('\n')) {
        bytes.chop(1);
    }
    return bytes;
}

}  // namespace

DecodedPage decodePage(const QByteArray &bytes)
{
    // A byte-order mark settles the encoding before anything else.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        PageEncoding encoding = makeEncoding(PageEncoding::Kind::Utf8, "UTF-8");
        encoding.byteOrderMark = true;
        return {decodeUtf8(QByteArrayView(bytes).sliced(3)), encoding};
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool bigEndian = bytes.startsWith("\xFE\xFF");
        PageEncoding encoding = bigEndian ? makeEncoding(PageEncoding::Kind::Utf16BE, "UTF-16BE")
                                          : makeEncoding(PageEncoding::Kind::Utf16LE, "UTF-16LE");
        encoding.byteOrderMark = true;
        return {decodeUtf16(QByteArrayView(bytes).sliced(2), bigEndian), encoding};
    }

    // Then what the page declares in its first 1024 bytes.
    if (const std::optional<PageEncoding> declared = prescan(bytes)) {
        return {decodeAs(bytes, *declared), *declared};
    }

    // Then UTF-8 if the bytes allow it, else the classic Western default.
    qsizetype errors = 0;
    QString text = decodeUtf8(bytes, &errors);
    if (errors == 0) {
        return {std::move(text), makeEncoding(PageEncoding::Kind::Utf8, "UTF-8")};
    }
    return {decodeWindows1252(bytes),
            makeEncoding(PageEncoding::Kind::Windows1252, "windows-1252")};
}

QByteArray encodePage(const QString &text, const PageEncoding &encoding)
{
    switch (encoding.kind) {
    case PageEncoding::Kind::Utf8: {
        const QByteArray body = encodeUtf8(text);
        return encoding.byteOrderMark ? QByteArray("\xEF\xBB\xBF") + body : body;
    }
    case PageEncoding::Kind::Utf16LE: {
        const QByteArray body = encodeUtf16(text, false);
        return encoding.byteOrderMark ? QByteArray("\xFF\xFE") + body : body;
    }
    case PageEncoding::Kind::Utf16BE: {
        const QByteArray body = encodeUtf16(text, true);
        return encoding.byteOrderMark ? QByteArray("\xFE\xFF") + body : body;
    }
    case PageEncoding::Kind::Windows1252:
        return encodeWindows1252(text);
    case PageEncoding::Kind::Other:
        return encodeOther(text, encoding.name);
    }
    return encodeUtf8(text);
}

QByteArray prescanCharset(const QByteArray &bytes)
{
    const std::optional<PageEncoding> found = prescan(bytes);
    return found ? found->name : QByteArray();
}

namespace {

// Whether the bytes are UTF-8 without a single broken sequence, by the same rules as decodeUtf8
// (no overlong forms, no surrogates, nothing past U+10FFFF). Eight ASCII bytes at a time.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *end = p + bytes.size();
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t block;
            std::memcpy(&block, p, sizeof block);
            if ((block & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char byte = *p;
        if (byte < 0x80) {
            ++p;
            continue;
        }
        int needed = 0;
        unsigned char lower = 0x80;
        unsigned char upper = 0xBF;
        if (byte >= 0xC2 && byte <= 0xDF) {
            needed = 1;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            needed = 2;
            lower = byte == 0xE0 ? 0xA0 : 0x80;
            upper = byte == 0xED ? 0x9F : 0xBF;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            needed = 3;
            lower = byte == 0xF0 ? 0x90 : 0x80;
            upper = byte == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - p <= needed || p[1] < lower || p[1] > upper) {
            return false;
        }
        for (int k = 2; k <= needed; ++k) {
            if (p[k] < 0x80 || p[k] > 0xBF) {
                return false;
            }
        }
        p += needed + 1;
    }
    return true;
}

}  // namespace

std::optional<PageEncoding> readsAsValidUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        if (!isValidUtf8(QByteArrayView(bytes).sliced(3))) {
            return std::nullopt;
        }
        PageEncoding encoding = makeEncoding(PageEncoding::Kind::Utf8, "UTF-8");
        encoding.byteOrderMark = true;
        return encoding;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return std::nullopt;
    }
    const std::optional<PageEncoding> declared = prescan(bytes);
    if (declared && declared->kind != PageEncoding::Kind::Utf8) {
        return std::nullopt;
    }
    if (!isValidUtf8(bytes)) {
        return std::nullopt;
    }
    return declared ? *declared : makeEncoding(PageEncoding::Kind::Utf8, "UTF-8");
}

PageEncoding detectPageEncoding(const QByteArray &bytes)
{
    // The same order of evidence as decodePage.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        PageEncoding encoding = makeEncoding(PageEncoding::Kind::Utf8, "UTF-8");
        encoding.byteOrderMark = true;
        return encoding;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool bigEndian = bytes.startsWith("\xFE\xFF");
        PageEncoding encoding = bigEndian ? makeEncoding(PageEncoding::Kind::Utf16BE, "UTF-16BE")
                                          : makeEncoding(PageEncoding::Kind::Utf16LE, "UTF-16LE");
        encoding.byteOrderMark = true;
        return encoding;
    }
    if (const std::optional<PageEncoding> declared = prescan(bytes)) {
        return *declared;
    }
    return isValidUtf8(bytes) ? makeEncoding(PageEncoding::Kind::Utf8, "UTF-8")
                              : makeEncoding(PageEncoding::Kind::Windows1252, "windows-1252");
}

}  // namespace lumivane
