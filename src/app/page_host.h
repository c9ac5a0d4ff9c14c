#pragma once

// One page's side of a run in a batch. Each page gets its own host on the thread that restyles
// it, so nothing here is shared and nothing needs a lock; the batch reads what was kept once the
// page is done. Nobody is asked anything while pages run: the overwrite question is answered by
// a choice made before the first page started.

#include "engine/run_host.h"

#include <QString>
#include <QStringList>

namespace lumivane::cli {

enum class ExistingOutput { Replace, Keep };

// Whether a message of the run is its "Done", said only when everything was written. The run's
// outcome does not carry its kind yet, so the title tells.
bool isDoneMessage(const QString &title, MessageIcon icon);

class PageHost final : public RunHost {
public:
    explicit PageHost(ExistingOutput existing);

    // Failures and refusals are kept; "Done" is left to the summary, once for all pages.
    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    // A batch opens no folders (--open takes a single page).
    void openFolder(const QString &folder) override;
    // Kept for the page's line in the batch's output.
    void notice(const QString &text) override;

    // Remarks of the run, in order.
    [[nodiscard]] const QStringList &notices() const { return m_notices; }
    // What went wrong, ready to show; empty when nothing did.
    [[nodiscard]] const QString &problem() const { return m_problem; }
    // The output was there already and was kept.
    [[nodiscard]] bool keptExisting() const { return m_keptExisting; }

private:
    ExistingOutput m_existing;
    QString m_problem;
    QStringList m_notices;
    bool m_keptExisting = false;
};

}  // namespace lumivane::cli
