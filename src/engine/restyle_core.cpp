#include "engine/restyle_core.h"

#include "engine/animation_tagging.h"
#include "engine/back_button.h"
#include "engine/encoding_declaration.h"
#include "engine/font_stage.h"
#include "engine/head_insert.h"
#include "engine/output_naming.h"
#include "engine/text_stages.h"
#include "platform/html_document.h"
#include "platform/step_timing.h"

#include <QDir>

#include <optional>

using namespace Qt::StringLiterals;

namespace lumivane {

Result<RestyledPage> RestylePage(QByteArray pageBytes, const QString &pagePath,
                                 const SnippetTexts &snippets, const RunOptions &options,
                                 QRandomGenerator &random)
{
    RestyledPage page;

    // 3. Load the page.
    auto loaded = Document::load(std::move(pageBytes), pagePath);
    if (!loaded) {
        return Error{loaded.error()};
    }
    // Held only until the read-back: the tree's memory is better spent on the texts to come.
    std::optional<Document> document(std::move(loaded).value());
    const PageEncoding encoding = document->encoding();

    // 4. Tagging changes the live document, so its classes are part of the read-back. Elements
    // the page animates itself are left to it.
    if (options.animations) {
        page.pageAnimations = CountPageAnimations(*document);
        page.lstFX = snippets.fxPool;
        ApplyRandomAnimations(*document, page.lstFX, random);
        markStepEnd("tagging");
    }

    // 5. Read back; from here on every stage works on the text.
    page.txtHTMLSourceOriginal = document->readBack();
    markStepEnd("read back");
    // The tree's memory is not handed back to the system here: the texts to come take it over,
    // where memory fetched from the system anew costs a page fault for every 4 KB.
    document.reset();
    markStepEnd("release");

    // 6-8. The font template is filled only when fonts are on; the head insert holds the
    // animation link and style texts, then the font style text.
    const QString fontStyleText =
        options.fonts
            ? fillFontTemplate(snippets.fontTemplate, options.fontName, options.headingSizes)
            : snippets.fontTemplate;
    TextStages stages;
    stages.headInsert = buildHeadInsert(options.animations, snippets.animationLinkText,
                                        snippets.animationStyleText, options.fonts, fontStyleText);
    stages.titleCloseCandidates = snippets.titleCloseCandidates;
    stages.activation = snippets.activationText;
    stages.bodyOpenCandidates = snippets.bodyOpenCandidates;
    stages.speed = options.speed;
    if (options.backButton && !options.backRedirect.isEmpty()) {
        stages.backButtonScript =
            fillBackButtonScript(snippets.backButtonTemplate, options.backRedirect);
    }

    // 9-12. The head insert after the title, the activation script after the body's start tag,
    // the markers resolved, the back button before the head's end: one pass over the page.
    const QString modified = applyTextStages(page.txtHTMLSourceOriginal, stages);
    markStepEnd("text stages");

    // The page's own encoding, declared where a browser would otherwise read the bytes in
    // another; a page a browser would misread is not written at all.
    auto encoded = encodeDeclared(modified, encoding);
    if (!encoded) {
        return Error{u"Cannot write \"%1\": %2"_s.arg(
            QDir::toNativeSeparators(OutputPath(pagePath)), encoded.error())};
    }
    page.txtHTMLSourceModified = std::move(encoded.value().text);
    page.bytes = std::move(encoded.value().bytes);
    return page;
}

}  // namespace lumivane
