#pragma once

// The pages of one command line: those named, then those found below the --recursive folders.

#include <QString>
#include <QStringList>

namespace lumivane::cli {

struct PageList {
    QStringList pages;     // full native paths: named pages as given, then found pages sorted
    QStringList problems;  // folders that could not be searched, each a sentence naming it
};

// True for a name the recursive search restyles: ends in .htm or .html in any letter case and is
// not an output of an earlier run.
bool isPageToFind(const QString &fileName);

// Named pages are kept as they are, even outputs of earlier runs: naming one is asking for it.
// Below the folders, every page is found once, however many links lead to it, and links that
// lead back up the tree are not followed again.
PageList collectPages(const QStringList &namedPages, const QStringList &folders);

}  // namespace lumivane::cli
