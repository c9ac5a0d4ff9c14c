// What the intake dialog hands over on Ok, in drop mode and in browse mode, and that every way of
// cancelling hands over nothing.

#include "qt_printers.h"
#include "support/intake_test_support.h"
#include "ui/intake/html_file_picker.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QListView>
#include <QTest>

#include <functional>
#include <set>

using namespace Qt::StringLiterals;
using lumivane::HtmlFilePicker;
using lumivane::joinFolderAndFileName;
using lumivane::test_support::dropFiles;

namespace {

const std::pair<QString, QString> selectFileMessage{
    u"File Selection"_s, u"Please select an HTML file (.htm or .html)"_s};

class IntakeHandOff : public lumivane::test_support::IntakeDialogTest {
protected:
    void pressOk() const { button(u"cmdOk"_s)->click(); }
    HtmlFilePicker *picker() const { return dialog->findChild<HtmlFilePicker *>(); }
};

TEST_F(IntakeHandOff, OkInDropModeHandsOverTheLastDroppedPage)
{
    const QString first = makeFile(u"first.html"_s);
    const QString second = makeFile(u"second.htm"_s);
    dropFiles(dialog, {first});
    dropFiles(dialog, {second, makeFile(u"notes.txt"_s)});
    pressOk();
    EXPECT_EQ(confirmedPaths, QStringList{second});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(closedAndDestroyed());
}

TEST_F(IntakeHandOff, OkBeforeAnyDropHandsOverAnEmptyPathWithoutAMessage)
{
    dropFiles(dialog, {makeFile(u"notes.txt"_s)});
    pressOk();
    ASSERT_EQ(confirmedPaths.size(), 1);
    EXPECT_TRUE(confirmedPaths.first().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(closedAndDestroyed());
}

TEST_F(IntakeHandOff, BrowseOkHandsOverFolderAndNameWithOneSeparator)
{
    const QString page = makeFile(u"site/index.html"_s);
    const QString folder = tempDir.filePath(u"site"_s);
    clickLink(u"Label5"_s);
    // A folder given with a separator at its end gives the path with one, not two.
    selectInFileList(folder + u'/', u"index.html"_s);
    pressOk();
    EXPECT_EQ(confirmedPaths, QStringList{page});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(closedAndDestroyed());
}

TEST_F(IntakeHandOff, JoiningAddsASeparatorOnlyWhereNoneIs)
{
    EXPECT_EQ(joinFolderAndFileName(u"/"_s, u"index.html"_s), u"/index.html"_s);
    EXPECT_EQ(joinFolderAndFileName(u"/srv/site"_s, u"index.html"_s), u"/srv/site/index.html"_s);
    EXPECT_EQ(joinFolderAndFileName(u"/srv/site/"_s, u"index.html"_s), u"/srv/site/index.html"_s);
    // A network share keeps the two separators it starts with.
    EXPECT_TRUE(joinFolderAndFileName(u"//server/share"_s, u"index.html"_s)
                    .startsWith(QDir::toNativeSeparators(u"//server"_s)));
}

TEST_F(IntakeHandOff, BrowseOkWithoutASelectedPageAsksForOneAndStays)
{
    makeFile(u"index.html"_s);
    dropFiles(dialog, {makeFile(u"dropped.html"_s)});
    clickLink(u"Label5"_s);
    picker()->setFolder(tempDir.path());
    pressOk();
    EXPECT_EQ(messages, (QList<std::pair<QString, QString>>{selectFileMessage}));
    EXPECT_TRUE(confirmedPaths.isEmpty());
    EXPECT_FALSE(closedAndDestroyed());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(inBrowseMode());

    // A page selected in one folder is no longer selected once another folder is shown.
    selectInFileList(tempDir.path(), u"index.html"_s);
    picker()->setFolder(QFileInfo(makeFile(u"other/page.html"_s)).path());
    pressOk();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(confirmedPaths.isEmpty());
}

TEST_F(IntakeHandOff, TheModeAtOkDecidesBetweenDropsAndTheBrowsedPage)
{
    const QString dropped = makeFile(u"dropped/offer.html"_s);
    const QString browsed = makeFile(u"browsed/index.htm"_s);

    // Dropped while browsing: collected, but Ok in browse mode takes the browsed page.
    clickLink(u"Label5"_s);
    dropFiles(dialog, {dropped});
    EXPECT_EQ(dialog->droppedFiles(), QStringList{dropped});
    selectInFileList(QFileInfo(browsed).path(), u"index.htm"_s);

    // Back in drop mode the dropped page counts again, browse selection or not.
    clickLink(u"Label7"_s);
    ASSERT_FALSE(inBrowseMode());
    clickLink(u"Label5"_s);
    clickLink(u"Label7"_s);
    pressOk();
    EXPECT_EQ(confirmedPaths, QStringList{dropped});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(IntakeHandOff, BrowsedPageWinsOverDropsInBrowseMode)
{
    const QString dropped = makeFile(u"dropped/offer.html"_s);
    const QString browsed = makeFile(u"browsed/index.htm"_s);
    dropFiles(dialog, {dropped});
    clickLink(u"Label5"_s);
    dropFiles(dialog, {makeFile(u"dropped/second.html"_s)});
    selectInFileList(QFileInfo(browsed).path(), u"index.htm"_s);
    pressOk();
    EXPECT_EQ(confirmedPaths, QStringList{browsed});
}

TEST_F(IntakeHandOff, FileListShowsOnlyPagesAndSelectsOne)
{
    makeFile(u"index.html"_s);
    makeFile(u"page.htm"_s);
    makeFile(u"LOUD.HTML"_s);
    makeFile(u"notes.txt"_s);
    makeFile(u"page.html.bak"_s);
    makeFile(u"sub/inner.html"_s);
    clickLink(u"Label5"_s);
    picker()->setFolder(tempDir.path());
    QListView *list = fileList();
    auto *model = qobject_cast<QFileSystemModel *>(list->model());
    ASSERT_NE(model, nullptr);
    const auto shownNames = [&] {
        std::set<QString> names;
        for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
            names.insert(model->index(row, 0, list->rootIndex()).data().toString());
        }
        return names;
    };
    const std::set<QString> expected{u"LOUD.HTML"_s, u"index.html"_s, u"page.htm"_s};
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownNames() == expected; }));
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(IntakeHandOff, StartsAtTheCurrentFolderAndIgnoresUnreadableDrives)
{
    EXPECT_EQ(picker()->folder(), QDir::currentPath());
    picker()->setFolder(tempDir.path());
    const QString missingDrive = tempDir.filePath(u"no-such-volume"_s);
    EXPECT_FALSE(picker()->openDrive(missingDrive));
    EXPECT_EQ(picker()->folder(), tempDir.path());
    EXPECT_TRUE(messages.isEmpty());
    auto *drives = dialog->findChild<QComboBox *>(u"Drive1"_s);
    ASSERT_NE(drives, nullptr);
    EXPECT_EQ(drives->currentData().toString(), missingDrive);

    EXPECT_TRUE(picker()->openDrive(QDir::rootPath()));
    EXPECT_EQ(picker()->folder(), QDir::rootPath());
}

TEST_F(IntakeHandOff, CancelEscapeAndTheCloseButtonHandOverNothing)
{
    const QString page = makeFile(u"index.html"_s);
    const std::function<void()> ways[] = {
        [this] { button(u"cmdUnload"_s)->click(); },
        [this] { pressEscape(); },
        [this] { dialog->close(); },
    };
    for (const auto &cancel : ways) {
        if (dialog.isNull()) {
            openDialog();
        }
        dropFiles(dialog, {page});
        cancel();
        EXPECT_TRUE(confirmedPaths.isEmpty());
        EXPECT_TRUE(closedAndDestroyed());
    }
}

}  // namespace
