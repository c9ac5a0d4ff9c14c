#pragma once

// The last step of a run: the output page beside the source, the animation library beside it, the
// "Done" message and the opened folder.

#include "engine/run_host.h"
#include "engine/run_outcome.h"
#include "snippets/snippet_folder.h"

#include <QByteArray>
#include <QString>

namespace lumivane {

namespace message {
inline constexpr auto DoneTitle = "Done";
inline constexpr auto DoneText =
    "Done! File saved. The app will now open the output folder from where you can see the "
    "modified file. Remember: You can try with other settings (will only take you a couple of "
    "clicks).Please remember to upload the 'anilibs' folder to your website.";
inline constexpr auto OverwriteTitle = "Overwrite?";
inline constexpr auto ErrorTitle = "Error";
}  // namespace message

// Shows a failure to the user and gives the outcome that ends the run.
RunOutcome ReportFailure(RunHost &host, const QString &message);

// The overwrite question for an output file name.
QString OverwriteQuestion(const QString &outputFileName);

// Writes the page's bytes to the output path of `selectedPath`, asking first when that file
// exists, copies the library folder's plain files, then says "Done" and opens the folder. Any
// failure stops here with a message naming the path and the reason; the page is written whole or
// not at all, and "Done" comes only after everything succeeded.
RunOutcome WriteOutput(const QString &selectedPath, const QByteArray &page,
                       const SnippetFolder &snippets, RunHost &host);

}  // namespace lumivane
