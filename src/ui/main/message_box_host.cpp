#include "ui/main/message_box_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// A run shows a busy cursor while it works, and its questions and messages come in the middle of
// it: over a message box the normal arrow is shown until the box is answered.
class ArrowWhileAsking {
public:
    ArrowWhileAsking()
        : m_busy(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_busy) {
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~ArrowWhileAsking()
    {
        if (m_busy) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    ArrowWhileAsking(const ArrowWhileAsking &) = delete;
    ArrowWhileAsking &operator=(const ArrowWhileAsking &) = delete;

private:
    bool m_busy;
};

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        // Failures and refused values are warnings to the user: nothing was changed.
        return QMessageBox::Warning;
    }
    return QMessageBox::Information;
}

}  // namespace

MessageBoxHost::MessageBoxHost(QWidget *parent)
    : m_parent(parent)
{}

QWidget *MessageBoxHost::boxParent() const
{
    // The intake dialog's messages come through here too: a box belongs over the window the user
    // is working in, so that it is not hidden behind it.
    if (QWidget *active = QApplication::activeWindow()) {
        return active;
    }
    return m_parent;
}

void MessageBoxHost::inform(const QString &title, const QString &text, MessageIcon icon)
{
    const ArrowWhileAsking arrow;
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, boxParent());
    box.exec();
}

bool MessageBoxHost::askYesNo(const QString &title, const QString &text)
{
    const ArrowWhileAsking arrow;
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    boxParent());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxHost::notice(const QString &text)
{
    m_lastNotice = text;
    emit noticed(text);
}

void MessageBoxHost::openFolder(const QString &folder)
{
    // The page is written by now; a desktop without a file manager only misses the convenience.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(folder)))) {
        inform(u"Error"_s,
               u"The folder \"%1\" could not be opened. The modified file is there."_s.arg(
                   QDir::toNativeSeparators(folder)),
               MessageIcon::Error);
    }
}

}  // namespace lumivane
