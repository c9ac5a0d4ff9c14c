#include "engine/restyle_run.h"

#include "engine/animation_tagging.h"
#include "engine/output_stage.h"
#include "engine/restyle_core.h"
#include "engine/snippet_texts.h"
#include "platform/page_file.h"
#include "platform/step_timing.h"

namespace lumivane {

RestyleRun::RestyleRun(SnippetFolder snippets, RunHost &host, QRandomGenerator &random)
    : m_snippets(std::move(snippets))
    , m_host(host)
    , m_random(random)
{}

RunOutcome RestyleRun::refuse(const char *message)
{
    const QString text = QString::fromLatin1(message);
    m_host.inform(QString::fromLatin1(message::RefusedTitle), text, MessageIcon::Information);
    return {RunOutcome::Kind::Refused, text, {}};
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

    // 3. The page is read afresh, so that nothing of an earlier run is carried over.
    auto bytes = ReadPageBytes(options.selectedFile);
    if (!bytes) {
        return fail(bytes.error());
    }
    // 6. Every snippet is read before the page is worked on, so that a missing file is reported
    // before anything is written.
    const auto snippets = ReadSnippetTexts(m_snippets, options);
    if (!snippets) {
        return fail(snippets.error());
    }
    markStepEnd("snippets");

    // 3-12. The page, tagged, read back and changed by every text stage, in memory.
    auto restyled = RestylePage(std::move(bytes).value(), options.selectedFile, snippets.value(),
                                options, m_random);
    if (!restyled) {
        return fail(restyled.error());
    }
    RestyledPage &page = restyled.value();
    m_txtHTMLSourceOriginal = std::move(page.txtHTMLSourceOriginal);
    m_txtHTMLSourceModified = std::move(page.txtHTMLSourceModified);
    m_lstFX = std::move(page.lstFX);
    if (page.pageAnimations > 0) {
        m_host.notice(PageAnimationsNotice(page.pageAnimations));
    }

    // 13. Out to disk.
    return WriteOutput(options.selectedFile, page.bytes, m_snippets, m_host);
}

}  // namespace lumivane
