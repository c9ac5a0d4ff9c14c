#include "engine/restyle_run.h"

#include "engine/anchor_insert.h"
#include "engine/animation_tagging.h"
#include "engine/back_button.h"
#include "engine/encoding_declaration.h"
#include "engine/font_stage.h"
#include "engine/head_insert.h"
#include "engine/marker_resolution.h"
#include "engine/output_naming.h"
#include "engine/output_stage.h"
#include "platform/html_document.h"
#include "platform/memory_release.h"
#include "platform/step_timing.h"

#include <QDir>

#include <optional>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// From about this many characters on, a page's tree is large (tens of megabytes) and its memory
// is handed back to the system once the tree is freed.
constexpr qsizetype LargePageLength = qsizetype{4} * 1024 * 1024;

}  // namespace

RestyleRun::RestyleRun(SnippetFolder snippets, RunHost &host, QRandomGenerator &random)
    : m_snippets(std::move(snippets))
    , m_host(host)
    , m_random(random)
{}

RunOutcome RestyleRun::refuse(const char *message)
{
    m_host.inform(QString::fromLatin1(message::RefusedTitle), QString::fromLatin1(message),
                  MessageIcon::Information);
    return {RunOutcome::Kind::Refused, {}};
}

RunOutcome RestyleRun::fail(const QString &message)
{
    return ReportFailure(m_host, message);
}

RunOutcome RestyleRun::cmdGo_Click(const RunOptions &options)
{
    // 1-2. Something to work on and something to do; heading sizes, speed and the back button
    // alone do not make a run.
    if (options.selectedFile.isEmpty()) {
        return refuse(message::NoPageSelected);
    }
    if (!options.animations && !options.fonts) {
        return refuse(message::NothingToChange);
    }

    // 3. Load the page afresh, so that nothing of an earlier run is carried over.
    auto loaded = Document::Navigate2(options.selectedFile);
    if (!loaded) {
        return fail(loaded.error());
    }
    // Held only until the read-back: the tree's memory is better spent on the texts to come.
    std::optional<Document> document(std::move(loaded).value());
    const PageEncoding encoding = document->encoding();

    // 4. Tagging changes the live document, so its classes are part of the read-back. Elements
    // the page animates itself are left to it, and the user is told.
    if (options.animations) {
        if (const int own = CountPageAnimations(*document); own > 0) {
            m_host.notice(PageAnimationsNotice(own));
        }
        if (auto tagged = ApplyRandomAnimations(*document, options.animationFamily, m_snippets,
                                                m_random, m_lstFX);
            !tagged) {
            return fail(tagged.error());
        }
        markStepEnd("tagging");
    }

    // 5. Read back; from here on every stage works on the text.
    m_txtHTMLSourceOriginal = document->readBack();
    m_txtHTMLSourceModified = m_txtHTMLSourceOriginal;
    markStepEnd("read back");
    document.reset();
    // Only for large pages: handing the memory back costs time (the next allocations must fetch
    // it again), which for a small page is not worth the little memory it saves.
    if (m_txtHTMLSourceOriginal.size() >= LargePageLength) {
        releaseFreedMemory();
    }
    markStepEnd("release");

    // 6. The library and font texts are read on every run, whatever is ticked, so that a missing
    // file is reported before anything is written.
    auto animationLinkText = m_snippets.readText(snippet::AnimateLinkRel);
    if (!animationLinkText) {
        return fail(animationLinkText.error());
    }
    auto animationStyleText = m_snippets.readText(snippet::AnimateCss);
    if (!animationStyleText) {
        return fail(animationStyleText.error());
    }
    auto fontTemplate = m_snippets.readText(snippet::FontCss);
    if (!fontTemplate) {
        return fail(fontTemplate.error());
    }
    m_txtSnippet = fontTemplate.value();

    // 7. The font template is filled only when fonts are on.
    if (options.fonts) {
        m_txtSnippet = fillFontTemplate(m_txtSnippet, options.fontName, options.headingSizes);
    }
    const QString fontStyleText = m_txtSnippet;

    // 8-9. The head insert goes after the title.
    const QString headInsert =
        buildHeadInsert(options.animations, animationLinkText.value(), animationStyleText.value(),
                        options.fonts, fontStyleText);
    markStepEnd("snippets");
    if (!headInsert.isEmpty()) {
        m_lstToFind.clear();
        if (auto read = m_snippets.readLines(m_lstToFind, snippet::TitleCloseCandidates); !read) {
            return fail(read.error());
        }
        m_txtHTMLSourceModified =
            InsertAfterAnchor(AnchorMode::Head, headInsert, m_txtHTMLSourceModified, m_lstToFind);
        markStepEnd("head insert");
    }

    // 10. The activation script goes after the opening body tag on every run.
    auto activation = m_snippets.readText(snippet::ActivationScript);
    if (!activation) {
        return fail(activation.error());
    }
    m_txtSnippet = activation.value();
    m_lstToFind.clear();
    if (auto read = m_snippets.readLines(m_lstToFind, snippet::BodyOpenCandidates); !read) {
        return fail(read.error());
    }
    m_txtHTMLSourceModified =
        InsertAfterAnchor(AnchorMode::Body, m_txtSnippet, m_txtHTMLSourceModified, m_lstToFind);
    markStepEnd("activation");

    // 11. The markers become the class attribute's end and the chosen duration.
    m_txtHTMLSourceModified = resolveMarkers(m_txtHTMLSourceModified, options.speed);
    markStepEnd("markers");

    // 12. The back button, before the head closes.
    if (options.backButton && !options.backRedirect.isEmpty()) {
        auto script = m_snippets.readText(snippet::BackButtonScript);
        if (!script) {
            return fail(script.error());
        }
        m_txtSnippet = fillBackButtonScript(script.value(), options.backRedirect);
        m_txtHTMLSourceModified = insertBeforeHeadClose(m_txtHTMLSourceModified, m_txtSnippet);
        markStepEnd("back button");
    }

    // 13. Out to disk, in the page's own encoding, declared where a browser would otherwise read
    // the bytes in another; a page a browser would misread is not written at all.
    auto encoded = encodeDeclared(m_txtHTMLSourceModified, encoding);
    if (!encoded) {
        return fail(u"Cannot write \"%1\": %2"_s.arg(
            QDir::toNativeSeparators(OutputPath(options.selectedFile)), encoded.error()));
    }
    m_txtHTMLSourceModified = encoded.value().text;
    return WriteOutput(options.selectedFile, encoded.value().bytes, m_snippets, m_host);
}

}  // namespace lumivane
