// The real message boxes of the window: what they look like, which button Enter presses, and what
// the user is told when a page cannot be opened.

#include "ui/main/message_box_host.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// A box as one line: its title, text, icon and buttons.
QString describe(const QString &title, const QString &text, QMessageBox::Icon icon,
                 QMessageBox::StandardButtons buttons)
{
    return u"%1: %2 (icon %3, buttons %4)"_s.arg(title, text).arg(icon).arg(buttons.toInt());
}

// Waits for the next modal message box, notes what it shows, then answers it: Enter, unless told.
void whenBoxShows(QString &seen, std::function<void(QMessageBox *)> answer = {})
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, answer = std::move(answer)] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            seen = describe(box->windowTitle(), box->text(), box->icon(), box->standardButtons());
            answer ? answer(box) : QTest::keyClick(box, Qt::Key_Return);
        }
    });
    poll->start(10);
}

class MessageBoxHostTest : public ::testing::Test {
protected:
    QWidget window;
    MessageBoxHost host{&window};
};

TEST_F(MessageBoxHostTest, QuestionsDefaultToYesAndMessagesHaveOneOkButton)
{
    QString seen;
    // Enter says Yes, the default.
    whenBoxShows(seen);
    EXPECT_TRUE(host.askYesNo(u"Title"_s, u"Text"_s));
    EXPECT_EQ(seen, describe(u"Title"_s, u"Text"_s, QMessageBox::Question,
                             QMessageBox::Yes | QMessageBox::No));
    whenBoxShows(seen, [](QMessageBox *box) {
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(host.askYesNo(u"Title"_s, u"Text"_s));

    // Failures are warnings: nothing was changed.
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Error, QMessageBox::Warning},
    };
    for (const auto &[asked, shown] : icons) {
        whenBoxShows(seen);
        host.inform(u"Title"_s, u"Text"_s, asked);
        EXPECT_EQ(seen, describe(u"Title"_s, u"Text"_s, shown, QMessageBox::Ok));
    }
}

TEST_F(MessageBoxHostTest, AnOpenerThatFailsIsToldWithThePath)
{
    // Starting the opener is not enough: its exit status says whether anything was opened.
    const std::pair<QString, QString> openers[] = {
        {u"false"_s, u"the opener ended with status 1"_s},
        {u"/nonexistent/opener"_s, u"/nonexistent/opener could not be started"_s},
    };
    for (const auto &[program, reason] : openers) {
        host.setOpenProgram(program);
        QString seen;
        whenBoxShows(seen);
        host.openPage(u"/srv/site/offer_modified.html"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }));
        const QString told = u"The page \"/srv/site/offer_modified.html\" could not be opened: "_s +
                             reason + u". Open it in your web browser yourself."_s;
        EXPECT_EQ(seen, describe(u"Error"_s, told, QMessageBox::Warning, QMessageBox::Ok));
    }
}

}  // namespace
