#pragma once

// The command line's side of a run: messages to standard error, the overwrite question on the
// terminal (or refused when there is none), and the output folder opened only on request.

#include "app/page_host.h"
#include "engine/run_host.h"

#include <QTextStream>

namespace lumivane::cli {

class TerminalHost final : public RunHost {
public:
    TerminalHost(bool overwrite, bool openFolder);

    // "Done" is left to the completion line, which names the written page.
    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;
    void notice(const QString &text) override;

private:
    bool m_overwrite;
    bool m_openFolder;
    QTextStream m_err;
};

// The command line's "Done" line: what was saved (a page's path, or "3 pages"), and the output
// folder only when it is really opened (--open).
QString completionLine(const QString &saved, bool folderOpens);

// Whether standard error is a terminal, where a progress line can be redrawn in place.
bool errorIsTerminal();

// The overwrite question of a batch, asked once before any page starts, since pages running side
// by side cannot each stop to ask. `existing` of the `total` outputs are there already; `example`
// is one of them. --yes replaces them; with no terminal to ask on they are kept.
ExistingOutput askAboutExistingOutputs(qsizetype existing, qsizetype total, const QString &example,
                                       bool overwrite, QTextStream &err);

}  // namespace lumivane::cli
