#pragma once

// What the restyle run needs from whoever started it: the window, the command line and the
// tests each implement this. The engine never shows anything itself.

#include <QString>

namespace lumivane {

enum class MessageIcon { Information, Question, Error };

class RunHost {
public:
    virtual ~RunHost() = default;

    // A message with an OK button.
    virtual void inform(const QString &title, const QString &text, MessageIcon icon) = 0;
    // A Yes/No question; Yes is the default answer. True means Yes.
    virtual bool askYesNo(const QString &title, const QString &text) = 0;
    // Shows `folder` in the platform's file browser; the run does not wait for it.
    virtual void openFolder(const QString &folder) = 0;
    // A remark the user should see that asks nothing and stops nothing ("The page already
    // animates ..."); the run goes on at once.
    virtual void notice(const QString &text) = 0;
};

}  // namespace lumivane
