#pragma once

#include <QString>

namespace lumivane {

// How a run ended and what the user was told about it, so that each front end can act on the
// kind (the command line's exit status, the window's result line) without reading the texts.
struct RunOutcome {
    enum class Kind {
        Written,   // the page and the library are in place and the user was told
        Refused,   // nothing to do: no page selected, or no option chosen
        Declined,  // the user kept an existing output file
        Failed,    // something could not be read or written; the user was told what and why
    };
    Kind kind = Kind::Failed;
    QString message;     // the message shown; empty when the user declined
    QString outputPath;  // set when written

    [[nodiscard]] bool written() const { return kind == Kind::Written; }
};

}  // namespace lumivane
