#pragma once

// The one-click run: from the checks to the written page, the copied library and the opened
// folder, around the in-memory restyle of the page (restyle_core.h). It keeps the texts of its
// last run, as the window's working buffers did, so that a caller (or a test) can look at what
// was read back and what was written.

#include "engine/run_host.h"
#include "engine/run_options.h"
#include "engine/run_outcome.h"
#include "snippets/snippet_folder.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace lumivane {

namespace message {
inline constexpr auto RefusedTitle = "Ooops!";
inline constexpr auto NoPageSelected = "Please select an HTML file (.htm or .html) first.";
inline constexpr auto NothingToChange =
    "Seems that there is nothing to change. Please select an option before.";
}  // namespace message

class RestyleRun {
public:
    RestyleRun(SnippetFolder snippets, RunHost &host, QRandomGenerator &random);

    // Runs the whole restyle for the options given; every message goes through the host.
    RunOutcome cmdGo_Click(const RunOptions &options);

    // The page as read back after tagging.
    [[nodiscard]] const QString &txtHTMLSourceOriginal() const { return m_txtHTMLSourceOriginal; }
    // The working page text, as written out.
    [[nodiscard]] const QString &txtHTMLSourceModified() const { return m_txtHTMLSourceModified; }
    // The animation class pool of the last tagging.
    [[nodiscard]] const QStringList &lstFX() const { return m_lstFX; }

private:
    RunOutcome refuse(const char *message);
    RunOutcome fail(const QString &message);

    SnippetFolder m_snippets;
    RunHost &m_host;
    QRandomGenerator &m_random;

    QString m_txtHTMLSourceOriginal;
    QString m_txtHTMLSourceModified;
    QStringList m_lstFX;
};

}  // namespace lumivane
