#pragma once

#include <QString>

namespace lumivane {

struct RunOutcome {
    enum class Kind {
        Written,   // the page and the library are in place and the user was told
        Refused,   // nothing to do: no page selected, or no option chosen
        Declined,  // the user kept an existing output file
        Failed,    // something could not be read or written; the user was told what and why
    };
    Kind kind = Kind::Failed;
    QString outputPath;  // set when written

    [[nodiscard]] bool written() const { return kind == Kind::Written; }
};

}  // namespace lumivane
