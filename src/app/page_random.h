#pragma once

// The random picks of one page. With --seed S every page starts its own generator from S, so a
// page restyled in a batch gets exactly the bytes it gets when restyled alone with --seed S,
// whatever the other pages and whichever thread runs it.

#include <QRandomGenerator>

#include <optional>

namespace lumivane::cli {

inline QRandomGenerator pageRandom(std::optional<quint64> seed)
{
    // The generator takes 32 bits: larger seeds wrap, as they always have.
    return seed ? QRandomGenerator(static_cast<quint32>(*seed))
                : QRandomGenerator::securelySeeded();
}

}  // namespace lumivane::cli
