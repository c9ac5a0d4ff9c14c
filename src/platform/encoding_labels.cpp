#include "platform/encoding_labels.h"

#include "platform/html_element_facts.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <string_view>

namespace lumivane {

namespace {

using namespace std::string_view_literals;

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

// The canonical name for a label, or empty when browsers don't know the label.
std::string_view canonicalNameForLabel(QByteArrayView label)
{
    // Not QByteArrayView::trimmed(): it takes a vertical tab for white space too.
    while (!label.isEmpty() && isAsciiWhitespace(label.front())) {
        label = label.sliced(1);
    }
    while (!label.isEmpty() && isAsciiWhitespace(label.back())) {
        label.chop(1);
    }
    QByteArray wanted(label.size(), Qt::Uninitialized);
    std::transform(label.begin(), label.end(), wanted.begin(), asciiLower<char>);
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

}  // namespace

std::optional<PageEncoding> encodingForLabel(QByteArrayView label)
{
    using Kind = PageEncoding::Kind;
    const std::string_view name = canonicalNameForLabel(label);
    if (name.empty() || name == "replacement"sv) {
        return std::nullopt;
    }
    if (name == "UTF-8"sv) {
        return PageEncoding::of(Kind::Utf8);
    }
    if (name == "UTF-16LE"sv) {
        return PageEncoding::of(Kind::Utf16LE);
    }
    if (name == "UTF-16BE"sv) {
        return PageEncoding::of(Kind::Utf16BE);
    }
    if (name == "windows-1252"sv || name == "x-user-defined"sv) {
        return PageEncoding::of(Kind::Windows1252);
    }

    PageEncoding encoding{Kind::Other, false,
                          QByteArray(name.data(), static_cast<qsizetype>(name.size()))};
    if (!QStringDecoder(encoding.name.constData()).isValid() ||
        !QStringEncoder(encoding.name.constData()).isValid()) {
        return std::nullopt;
    }
    return encoding;
}

}  // namespace lumivane
