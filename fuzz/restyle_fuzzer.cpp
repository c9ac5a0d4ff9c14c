// libFuzzer target: one whole restyle of an in-memory page through the run's own core
// (RestylePage: decode, checks, parse, animation tagging, read-back, the text stages, encode),
// without touching any file. Then a few cheap properties of the result are checked
// (fuzz_invariants.h).
//
// Input: four option bytes, then the page's bytes.
//   byte 0: bit 0 animations off, bit 1 fonts off (both off counts as both on: a run needs one),
//           bit 2 back button, bits 3-5 animation family (6 and 7 select none), bits 6-7 speed
//           (3 selects none)
//   byte 1: the font (the list's entries, one odd name)
//   byte 2: bits 0-2 heading sizes ticked, bits 3-4 the size text, bits 5-7 the redirect address
//   byte 3: the random seed of the animation picks

#include "fuzz_invariants.h"

#include "engine/restyle_core.h"
#include "engine/run_options.h"
#include "engine/snippet_texts.h"
#include "platform/html_document.h"
#include "platform/text_codec.h"
#include "snippets/snippet_folder.h"

#include <QRandomGenerator>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

using namespace Qt::StringLiterals;

namespace lumivane::fuzz {
namespace {

constexpr std::size_t OptionBytes = 4;

[[noreturn]] void stop(const QString &what)
{
    std::fprintf(stderr, "restyle_fuzzer: %s\n", what.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

const SnippetFolder &folder()
{
    static const SnippetFolder snippets{QStringLiteral(LUMIVANE_SNIPPETS_DIR)};
    return snippets;
}

// The font names offered, and one a user might type: not in the list, not ASCII.
const QStringList &fonts()
{
    static const QStringList names = [] {
        QStringList list;
        if (auto read = folder().readLines(list, snippet::FontList); !read) {
            stop(read.error());
        }
        list.append(u"Noto Sans Jäpanese 日本"_s);
        return list;
    }();
    return names;
}

// The snippet texts a run with these options reads, read once for each kind of run: a fuzz run
// must not spend its time on files.
const SnippetTexts &snippetTexts(const RunOptions &options)
{
    static std::map<int, SnippetTexts> read;
    const int kind = (options.animations ? options.animationFamily + 1 : 0) * 2 +
                     (options.backButton && !options.backRedirect.isEmpty() ? 1 : 0);
    auto found = read.find(kind);
    if (found == read.end()) {
        auto texts = ReadSnippetTexts(folder(), options);
        if (!texts) {
            stop(texts.error());
        }
        found = read.emplace(kind, std::move(texts).value()).first;
    }
    return found->second;
}

RunOptions optionsFrom(const std::uint8_t *bytes)
{
    // Sizes and addresses are used as typed; the odd ones are among them on purpose.
    static const std::array<QString, 4> sizeTexts{u"34"_s, u"0"_s, u"-12.5"_s, u""_s};
    static const std::array<QString, 8> addresses{
        u"http://"_s,
        u""_s,
        u"https://example.com/offer?a=1&b=2"_s,
        u"   "_s,
        u"javascript:alert(\"x\")</script><script>alert(1)//"_s,
        u"https://exämple.com/ünïcode\\path'\"\r\n<b>"_s,
        u"[LOCATION]"_s,
        u"https://example.com/\u2028\u2029</head></SCRIPT >"_s,
    };
    RunOptions options;
    options.selectedFile = u"fuzz.html"_s;
    options.animations = (bytes[0] & 0x01) == 0;
    options.fonts = (bytes[0] & 0x02) == 0;
    if (!options.animations && !options.fonts) {
        options.animations = options.fonts = true;
    }
    options.backButton = (bytes[0] & 0x04) != 0;
    options.animationFamily = (bytes[0] >> 3) & 0x07;
    options.speed = (bytes[0] >> 6) & 0x03;
    options.fontName = fonts()[bytes[1] % fonts().size()];
    for (std::size_t level = 0; level < options.headingSizes.size(); ++level) {
        options.headingSizes[level].enabled = ((bytes[2] >> level) & 0x01) != 0;
        options.headingSizes[level].pixels = sizeTexts[(bytes[2] >> 3) & 0x03];
    }
    options.backRedirect = addresses[(bytes[2] >> 5) & 0x07];
    return options;
}

void check(const QString &failure)
{
    if (!failure.isEmpty()) {
        stop(failure);
    }
}

void restyle(const std::uint8_t *data, std::size_t size)
{
    const RunOptions options = optionsFrom(data);
    QRandomGenerator random(data[3]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + OptionBytes),
                           static_cast<qsizetype>(size - OptionBytes));

    const DecodedPage page = decodePage(bytes);
    check(checkCodecRoundTrip(page));
    // Pages the program refuses (blank, binary, nested past the parser's reach, or with no room
    // for the declaration of their encoding) end here, as they end a run.
    auto restyled = RestylePage(bytes, u"fuzz.html"_s, snippetTexts(options), options, random);
    if (!restyled) {
        return;
    }
    const RestyledPage &result = restyled.value();

    check(checkOutputDecodes(result.txtHTMLSourceModified, page.encoding, result.bytes));
    check(checkReadBackStable(result.txtHTMLSourceOriginal));
    const Document before = Document::parse(result.txtHTMLSourceOriginal);
    const Document after = Document::parse(result.txtHTMLSourceModified);
    check(checkTextKept(before, after));
    // Markup cannot close a <plaintext> (see checkReadBackStable): what followed it may parse
    // into elements the tagging never saw, such as an h1 that was its text.
    if (options.animations && !result.lstFX.isEmpty() &&
        !result.txtHTMLSourceOriginal.contains(u"<plaintext"_s)) {
        check(checkAllTagged(after, page.text.contains(u";;"_s)));
    }
}

}  // namespace
}  // namespace lumivane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < lumivane::fuzz::OptionBytes) {
        return -1;  // not a run: keep it out of the corpus
    }
    lumivane::fuzz::restyle(data, size);
    return 0;
}
