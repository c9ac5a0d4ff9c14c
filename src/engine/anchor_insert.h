#pragma once

// Finds where a snippet goes in the page text and puts it there on a new line.

#include <QString>
#include <QStringList>

namespace lumivane {

enum class AnchorMode : int {
    Head = 1,  // after the title-closing tag
    Body = 2,  // after the whole opening body tag
};

// Tries the candidates in list order; the first that occurs as a real tag of the page (not text
// inside a script, style, comment or attribute value) gives the anchor, and the snippet goes after
// its first occurrence, after a CR LF. Head mode keeps the page's character-set declaration where
// it was when the anchor stands before it, and puts the insert at the end of the head when no
// candidate occurs. Body mode takes the tag up to its ">"; a candidate with no ">" after it, and
// blank candidates, insert nothing.
QString InsertAfterAnchor(AnchorMode mode, const QString &snippet, const QString &page,
                          const QStringList &lstToFind);

}  // namespace lumivane
