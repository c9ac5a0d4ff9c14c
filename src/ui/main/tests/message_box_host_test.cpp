// The real message boxes of the window: what they look like, which button Enter presses, and the
// arrow cursor over them while a run shows its busy cursor.

#include "ui/main/busy_cursor.h"
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
#include <optional>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    std::optional<Qt::CursorShape> cursor;
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
        if (const QCursor *cursor = QGuiApplication::overrideCursor()) {
            seen.cursor = cursor->shape();
        }
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

TEST_F(MessageBoxHostTest, ANoticeShowsNoBoxAndIsKeptForTheWindow)
{
    QStringList heard;
    QObject::connect(&host, &MessageBoxHost::noticed,
                     [&heard](const QString &text) { heard.append(text); });
    host.notice(u"The page already animates 2 elements"_s);  // a box would wait here for ever
    EXPECT_EQ(heard, QStringList{u"The page already animates 2 elements"_s});
    EXPECT_EQ(host.lastNotice(), heard.value(0));
}

TEST_F(MessageBoxHostTest, TheArrowShowsOverABoxAndTheBusyCursorComesBackAfterIt)
{
    SeenBox seen;
    {
        const BusyCursor busy;
        whenBoxShows(seen, pressEnter);
        host.inform(u"Done"_s, u"Done!"_s, MessageIcon::Information);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(seen.cursor, Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Outside a run nothing is put on the cursor.
    whenBoxShows(seen, pressEnter);
    seen.cursor.reset();
    host.inform(u"About"_s, u"Text"_s, MessageIcon::Information);
    EXPECT_FALSE(seen.cursor.has_value());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
