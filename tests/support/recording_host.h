#pragma once

// A run host for tests: records every message and question and answers questions as told.

#include "engine/run_host.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace lumivane::test_support {

struct Message {
    QString title;
    QString text;
    MessageIcon icon;
};

class RecordingHost final : public RunHost {
public:
    void inform(const QString &title, const QString &text, MessageIcon icon) override
    {
        messages.append({title, text, icon});
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        questions.append(title + QStringLiteral(": ") + text);
        return answer;
    }
    void openFolder(const QString &folder) override { openedFolders.append(folder); }
    void notice(const QString &text) override { notices.append(text); }

    bool answer = true;
    QList<Message> messages;
    QStringList questions;
    QStringList openedFolders;
    QStringList notices;
};

}  // namespace lumivane::test_support
