#pragma once

// The command line's side of a run: messages to standard error, the overwrite question on the
// terminal (or refused when there is none), and the output folder opened only on request.

#include "engine/run_host.h"

#include <QTextStream>

namespace lumivane::cli {

class TerminalHost final : public RunHost {
public:
    TerminalHost(bool overwrite, bool openFolder);

    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void openFolder(const QString &folder) override;

private:
    bool m_overwrite;
    bool m_openFolder;
    QTextStream m_err;
};

}  // namespace lumivane::cli
