#pragma once

// The command line of lumivane-cli, turned into run options.

#include "engine/run_options.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace lumivane::cli {

struct CommandLine {
    RunOptions options;      // selectedFile is set per page
    bool fontGiven = false;  // --font was given; otherwise the first line of the font list
    QStringList pages;
    QStringList recursiveFolders;  // --recursive, in the order given
    bool overwrite = false;        // --yes
    bool openFolder = false;       // --open
    std::optional<quint64> seed;
    std::optional<int> jobs;  // --jobs; otherwise one per core

    // More than one page, or pages still to be found: restyled side by side with a progress
    // display and a summary instead of one after the other.
    [[nodiscard]] bool isBatch() const { return pages.size() > 1 || !recursiveFolders.isEmpty(); }
};

struct ParseResult {
    enum class Kind { Run, Help, Version, UsageError };
    Kind kind = Kind::UsageError;
    CommandLine commandLine;
    QString text;  // the help text, or what was wrong
};

// Parses the arguments (without the program name).
ParseResult parseCommandLine(const QStringList &arguments);

QString helpText();

}  // namespace lumivane::cli
