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
#include <QWidget>

#include <functional>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Waits for the next modal message box, notes what it shows, then lets `answer` close it.
void whenBoxShows(SeenBox &seen, std::function<void(QMessageBox *)> answer)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, answer = std::move(answer)] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        answer(box);
    });
    poll->start(10);
}

void pressEnter(QMessageBox *box)
{
    QTest::keyClick(box, Qt::Key_Return);
}

class MessageBoxHostTest : public ::testing::Test {
protected:
    QWidget window;
    MessageBoxHost host{&window};
};

TEST_F(MessageBoxHostTest, TheOverwriteQuestionHasYesAsItsDefault)
{
    SeenBox seen;
    whenBoxShows(seen, pressEnter);
    EXPECT_TRUE(host.askYesNo(u"Overwrite?"_s, u"The target file (a_modified.html) exists."_s));
    EXPECT_EQ(seen.title, u"Overwrite?"_s);
    EXPECT_EQ(seen.text, u"The target file (a_modified.html) exists."_s);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);

    whenBoxShows(seen, [](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
    EXPECT_FALSE(host.askYesNo(u"Overwrite?"_s, u"Again?"_s));
}

TEST_F(MessageBoxHostTest, MessagesHaveOneOkButtonAndFailuresAreWarnings)
{
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Error, QMessageBox::Warning},
    };
    for (const auto &[asked, shown] : icons) {
        SeenBox seen;
        whenBoxShows(seen, pressEnter);
        host.inform(u"Title"_s, u"Text"_s, asked);
        EXPECT_EQ(seen.title, u"Title"_s);
        EXPECT_EQ(seen.text, u"Text"_s);
        EXPECT_EQ(seen.icon, shown);
        EXPECT_EQ(seen.buttons, QMessageBox::Ok);
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
        SeenBox seen;
        whenBoxShows(seen, pressEnter);
        host.openPage(u"/srv/site/offer_modified.html"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.text.isEmpty(); }));
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(seen.text, u"The page \"/srv/site/offer_modified.html\" could not be opened: "_s +
                                 reason + u". Open it in your web browser yourself."_s);
    }
}

}  // namespace
