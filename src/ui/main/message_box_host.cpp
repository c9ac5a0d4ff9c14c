#include "ui/main/message_box_host.h"

#include "ui/main/desktop_opener.h"

#include <QApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

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
    // The page is written by the time anything is opened; a desktop without a file manager or
    // browser only misses the convenience, and is told where the file is.
    , m_opener(std::make_unique<DesktopOpener>(
          [this](const QString &message) { inform(u"Error"_s, message, MessageIcon::Error); },
          nullptr))
{}

MessageBoxHost::~MessageBoxHost() = default;

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
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, boxParent());
    box.exec();
}

bool MessageBoxHost::askYesNo(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    boxParent());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxHost::notice(const QString &text)
{
    // Not modal: a remark must not hold up the run or wait for an answer.
    auto *box = new QMessageBox(QMessageBox::Information, QApplication::applicationDisplayName(),
                                text, QMessageBox::Ok, boxParent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void MessageBoxHost::openFolder(const QString &folder)
{
    m_opener->openFolder(folder);
}

void MessageBoxHost::showInFolder(const QString &file)
{
    m_opener->showInFolder(file);
}

void MessageBoxHost::openPage(const QString &page)
{
    m_opener->openPage(page);
}

void MessageBoxHost::setOpenProgram(const QString &program)
{
    m_opener->setOpenProgram(program);
}

}  // namespace lumivane
