#pragma once

// The text stages of a run, on the page as read back: the head insert after the title, the
// activation script after the body's start tag, the animation markers resolved by speed, and the
// back-button script before the head closes. Every place is found in one scan of the page and
// the new page is built in one go, with the result the stages would give one after the other.

#include "engine/run_options.h"

#include <QString>
#include <QStringList>

namespace lumivane {

// Where InsertAfterAnchor puts a snippet.
enum class AnchorMode : int {
    Head = 1,  // after the title-closing tag
    Body = 2,  // after the whole opening body tag
};

struct TextStages {
    // The head insert (none when empty) and the spellings of the title's end tag it goes after,
    // tried in list order (lstToFind in head mode).
    QString headInsert;
    QStringList titleCloseCandidates;
    // The activation script and the beginnings of the body's start tag it goes after (lstToFind
    // in body mode).
    QString activation;
    QStringList bodyOpenCandidates;
    // The speed the closing markers resolve to.
    int speed = AnimationSpeed::Natural;
    // The filled back-button script; none when empty.
    QString backButtonScript;
};

QString applyTextStages(const QString &page, const TextStages &stages);

}  // namespace lumivane
