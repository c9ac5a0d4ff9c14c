#pragma once

// Every snippet a restyle reads, read before the page is touched, so that a missing or broken
// file is reported before anything is written, and so that the restyle itself reads no file.

#include "engine/run_options.h"
#include "platform/result.h"
#include "snippets/snippet_folder.h"

#include <QString>
#include <QStringList>

namespace lumivane {

struct SnippetTexts {
    QString animationLinkText;   // animate-linkrel.txt
    QString animationStyleText;  // animate-css.txt
    QString fontTemplate;        // gfont-css.txt, unfilled
    QString activationText;      // wowbelowbody.txt
    QString backButtonTemplate;  // b.cfg, when the back button is on
    QStringList titleCloseCandidates;
    QStringList bodyOpenCandidates;
    // The animation family's class names, the first file's lines first (lstFX before the first
    // shuffle); blank lines left out. Empty when animations are off or no family is chosen.
    QStringList fxPool;
};

// Reads what a run with `options` needs. The library and font texts are read on every run,
// whatever is ticked, as the run always did.
Result<SnippetTexts> ReadSnippetTexts(const SnippetFolder &snippets, const RunOptions &options);

}  // namespace lumivane
