#pragma once

// Many pages restyled side by side on worker threads. Each page gets a run, a host and a random
// generator of its own; the workers share only the read-only settings and a queue of finished
// pages that the calling thread empties, so all showing happens on one thread.

#include "app/page_host.h"
#include "engine/run_options.h"
#include "snippets/snippet_folder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace lumivane::cli {

struct BatchSettings {
    RunOptions options;  // selectedFile is set per page
    std::optional<quint64> seed;
    ExistingOutput existing = ExistingOutput::Keep;
    int jobs = 1;
};

struct PageResult {
    enum class Kind { Written, Failed, Skipped };
    Kind kind = Kind::Failed;
    QString outputPath;   // when written
    QString message;      // why it failed or was skipped
    QStringList notices;  // remarks of the run, shown as warnings
};

// Restyles every page (full paths). `finished` is called on the calling thread for each page as
// it finishes, with its index in `pages`; `waiting` about ten times a second meanwhile. Pages that
// would write the same output, or read another's output, run one after the other in the order
// given, as they would alone, so the result never depends on which thread is faster.
void runBatch(const QStringList &pages, const SnippetFolder &snippets,
              const BatchSettings &settings,
              const std::function<void(qsizetype, const PageResult &)> &finished,
              const std::function<void()> &waiting);

// The output path that pages share when they would overwrite each other: the page's real folder
// and its output file name.
QString outputIdentity(const QString &page);

}  // namespace lumivane::cli
