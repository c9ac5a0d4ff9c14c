#pragma once

// Reads the html5lib tree-construction files (*.dat): bytes, lines split on LF only.

#include <QByteArray>
#include <QList>
#include <QString>

namespace lumivane::testing {

struct Html5libCase {
    QString file;     // "tests1.dat"
    int index = 0;    // position of the case in its file, counting from 0 (every #data block)
    QByteArray data;  // the input, without the final LF
    QByteArray expectedTree;  // the #document section, lines joined with LF
    bool fragment = false;    // has #document-fragment
    // Has #script-off: the expected tree is what a parser with scripting off builds.
    bool scriptingOffOnly = false;

    [[nodiscard]] QString id() const { return file + u':' + QString::number(index); }
};

QList<Html5libCase> readHtml5libFile(const QString &path);

}  // namespace lumivane::testing
