#pragma once

// The restyle of one page, all in memory: from the page's bytes and the snippet texts to the bytes
// to write. No file is read or written and nobody is asked anything, so the run, the fuzzer, the
// benchmark and the golden pages all go through this one function and its one order of stages.

#include "engine/run_options.h"
#include "engine/snippet_texts.h"
#include "platform/result.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace lumivane {

struct RestyledPage {
    QString txtHTMLSourceOriginal;  // the page as read back after tagging
    QString txtHTMLSourceModified;  // the page as written, declaration included
    QByteArray bytes;               // the same in the page's own encoding: what goes to disk
    QStringList lstFX;              // the animation pool in its last shuffled order
    int pageAnimations = 0;         // elements the page animates with a library of its own
};

// Loads the page (decoded as a browser decodes it, refused when empty, binary or nested past the
// parser's reach), tags its h1 elements and images when animations are on, reads it back, puts in
// the head insert, the activation script, the durations and the back-button script, and encodes
// it in its own encoding, declared where a browser would otherwise read it in another. `pagePath`
// only names the page in messages.
Result<RestyledPage> RestylePage(QByteArray pageBytes, const QString &pagePath,
                                 const SnippetTexts &snippets, const RunOptions &options,
                                 QRandomGenerator &random);

}  // namespace lumivane
