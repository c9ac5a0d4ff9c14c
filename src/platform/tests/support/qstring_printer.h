#pragma once

// Lets GoogleTest show QString values as text in failure messages instead of raw bytes.

#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
