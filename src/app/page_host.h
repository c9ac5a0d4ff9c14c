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

class PageHost final : public RunHost {
public:
    explicit PageHost(ExistingOutput existing);

    // Nothing is shown while pages run: the batch reports each page's outcome when it is done,
    // and "Done" once for all pages.
    void inform(const QString &title, const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &title, const QString &text) override;
    // A batch opens no folders (--open takes a single page).
    void openFolder(const QString &folder) override;
    // Kept for the page's line in the batch's output.
    void notice(const QString &text) override;

    // Remarks of the run, in order.
    [[nodiscard]] const QStringList &notices() const { return m_notices; }

private:
    ExistingOutput m_existing;
    QStringList m_notices;
};

}  // namespace lumivane::cli
