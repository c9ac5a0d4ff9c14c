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
    bool overwrite = false;   // --yes
    bool openFolder = false;  // --open
    std::optional<quint64> seed;
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
