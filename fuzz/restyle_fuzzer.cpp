// libFuzzer target: one whole restyle of an in-memory page, through the same stages in the same
// order as RestyleRun::cmdGo_Click, without touching any file: decode, parse, animation tagging,
// read-back, font template, head insert, activation script, marker resolution, back button,
// encode. Then a few cheap properties of the result are checked (fuzz_invariants.h).
//
// Input: four option bytes, then the page's bytes.
//   byte 0: bit 0 animations off, bit 1 fonts off (both off counts as both on: a run needs one),
//           bit 2 back button, bits 3-5 animation family (6 and 7 select none), bits 6-7 speed
//           (3 selects none)
//   byte 1: the font (the list's entries, one odd name)
//   byte 2: bits 0-2 heading sizes ticked, bits 3-4 the size text, bits 5-7 the redirect address
//   byte 3: the random seed of the animation picks

#include "fuzz_invariants.h"

#include "engine/anchor_insert.h"
#include "engine/animation_tagging.h"
#include "engine/back_button.h"
#include "engine/encoding_declaration.h"
#include "engine/font_stage.h"
#include "engine/head_insert.h"
#include "engine/marker_resolution.h"
#include "engine/run_options.h"
#include "platform/html_document.h"
#include "platform/text_codec.h"
#include "snippets/snippet_folder.h"

#include <QRandomGenerator>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace lumivane::fuzz {
namespace {

constexpr std::size_t OptionBytes = 4;

// Every snippet text the run reads, read once: a fuzz run must not spend its time on files.
// (The tagging reads its fx files itself, through the folder.)
struct Snippets {
    SnippetFolder folder{QStringLiteral(LUMIVANE_SNIPPETS_DIR)};
    QString animationLink;
    QString animationStyle;
    QString fontTemplate;
    QString activation;
    QString backButton;
    QStringList titleClose;
    QStringList bodyOpen;
    QStringList fonts;
};

[[noreturn]] void stop(const QString &what)
{
    std::fprintf(stderr, "restyle_fuzzer: %s\n", what.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

QString readOrStop(const SnippetFolder &folder, const char *file)
{
    auto text = folder.readText(file);
    if (!text) {
        stop(text.error());
    }
    return text.value();
}

QStringList linesOrStop(const SnippetFolder &folder, const char *file)
{
    QStringList lines;
    if (auto read = folder.readLines(lines, file); !read) {
        stop(read.error());
    }
    return lines;
}

const Snippets &snippets()
{
    static const Snippets loaded = [] {
        Snippets s;
        s.animationLink = readOrStop(s.folder, snippet::AnimateLinkRel);
        s.animationStyle = readOrStop(s.folder, snippet::AnimateCss);
        s.fontTemplate = readOrStop(s.folder, snippet::FontCss);
        s.activation = readOrStop(s.folder, snippet::ActivationScript);
        s.backButton = readOrStop(s.folder, snippet::BackButtonScript);
        s.titleClose = linesOrStop(s.folder, snippet::TitleCloseCandidates);
        s.bodyOpen = linesOrStop(s.folder, snippet::BodyOpenCandidates);
        s.fonts = linesOrStop(s.folder, snippet::FontList);
        // A name a user might type: not in the list, not ASCII.
        s.fonts.append(u"Noto Sans Jäpanese 日本"_s);
        return s;
    }();
    return loaded;
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
    const Snippets &s = snippets();
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
    options.fontName = s.fonts[bytes[1] % s.fonts.size()];
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
    const Snippets &s = snippets();
    const RunOptions options = optionsFrom(data);
    QRandomGenerator random(data[3]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + OptionBytes),
                           static_cast<qsizetype>(size - OptionBytes));

    // 3. Load: decode and parse.
    const DecodedPage page = decodePage(bytes);
    check(checkCodecRoundTrip(page));
    // The program refuses a blank page and one holding NUL (a binary file under a page's name)
    // before parsing; only what it accepts goes on.
    if (page.text.trimmed().isEmpty() || page.text.contains(QChar(u'\0'))) {
        return;
    }
    const Document document = Document::parse(page.text, page.encoding);

    // 4. Tagging.
    QStringList lstFX;
    if (options.animations) {
        auto tagged =
            ApplyRandomAnimations(document, options.animationFamily, s.folder, random, lstFX);
        if (!tagged) {
            stop(tagged.error());
        }
    }

    // 5. Read back.
    const QString original = document.readBack();
    QString modified = original;

    // 6-9. Font template, head insert.
    const QString fontStyleText =
        options.fonts ? fillFontTemplate(s.fontTemplate, options.fontName, options.headingSizes)
                      : s.fontTemplate;
    const QString headInsert = buildHeadInsert(options.animations, s.animationLink,
                                               s.animationStyle, options.fonts, fontStyleText);
    if (!headInsert.isEmpty()) {
        modified = InsertAfterAnchor(AnchorMode::Head, headInsert, modified, s.titleClose);
    }

    // 10. Activation script.
    modified = InsertAfterAnchor(AnchorMode::Body, s.activation, modified, s.bodyOpen);

    // 11. Markers.
    modified = resolveMarkers(modified, options.speed);

    // 12. Back button.
    if (options.backButton && !options.backRedirect.isEmpty()) {
        modified = insertBeforeHeadClose(modified,
                                         fillBackButtonScript(s.backButton, options.backRedirect));
    }

    // 13. The bytes that would be written, declared where they would be read in another
    // encoding; a page that no declaration would help is not written.
    auto encoded = encodeDeclared(modified, page.encoding);
    if (!encoded) {
        return;
    }
    modified = encoded.value().text;
    const QByteArray &written = encoded.value().bytes;

    check(checkOutputDecodes(modified, page.encoding, written));
    check(checkReadBackStable(original));
    const Document before = Document::parse(original);
    const Document after = Document::parse(modified);
    check(checkTextKept(before, after));
    if (options.animations && !lstFX.isEmpty()) {
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
