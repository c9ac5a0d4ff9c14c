// The intake dialog over a temporary folder of real files: which dropped pages it keeps and what
// its status line says, what it hands over on Ok in drop mode and in browse mode, and that every
// way of cancelling hands over nothing.

#include "ui/intake/frmdropfiles.h"
#include "ui/intake/html_file_picker.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <functional>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

const QString doneText = u"Done! Click ok to continue."_s;
const QString noneText = u"Ooops! No valid HTML files were added."_s;

class IntakeTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        openDialog();
    }
    void TearDown() override { delete dialog.data(); }

    // A new dialog, shown, with its hand-offs and messages recorded.
    void openDialog()
    {
        dialog = new frmdropfiles;
        dialog->setInformUser([this](QWidget *, const QString &title, const QString &text) {
            told.append(title + u": "_s + text);
        });
        QObject::connect(dialog, &frmdropfiles::pageConfirmed,
                         [this](const QString &path) { confirmed.append(path); });
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }

    // A file (and its folders) below the temporary folder, by its full path.
    QString makeFile(const QString &relativePath) const
    {
        const QString path = temp.filePath(relativePath);
        test_support::writeFile(path, "<html><head><title>t</title></head><body></body></html>");
        return QDir::toNativeSeparators(path);
    }

    // A drag that enters the dialog and is released on it, carrying these addresses in this
    // order; whether the dialog took the drag and the drop.
    std::pair<bool, bool> dropUrls(const QList<QUrl> &urls) const
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = dialog->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(dialog, &enter);
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(dialog, &drop);
        // The originals must never be offered up for deletion by the file manager.
        EXPECT_NE(drop.dropAction(), Qt::MoveAction);
        return {enter.isAccepted(), drop.isAccepted()};
    }
    bool drop(const QStringList &paths) const
    {
        QList<QUrl> urls;
        for (const QString &path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        return dropUrls(urls).second;
    }

    QString status() const { return dialog->findChild<QLabel *>(u"Label1"_s)->text(); }
    HtmlFilePicker *picker() const { return dialog->findChild<HtmlFilePicker *>(); }
    void click(const QString &name) const
    {
        auto *target = dialog->findChild<QWidget *>(name);
        ASSERT_NE(target, nullptr) << name.toStdString();
        QTest::mouseClick(target, Qt::LeftButton);
    }
    bool inBrowseMode() const
    {
        return dialog->findChild<QWidget *>(u"picNoDragAndDrop"_s)->isVisible();
    }
    // Lets the dialog's deferred deletion happen; true when it is gone.
    bool closedAndDestroyed() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }

    // Points the browse lists at a folder and clicks one of its pages, as the user would.
    void selectInFileList(const QString &folder, const QString &fileName) const
    {
        picker()->setFolder(folder);
        auto *list = dialog->findChild<QListView *>(u"File1"_s);
        auto *model = qobject_cast<QFileSystemModel *>(list->model());
        // The folder is read in the background; the page shows up in the list when that is done.
        QModelIndex page;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            page = model->index(QDir(folder).filePath(fileName));
            return page.isValid() && page.parent() == list->rootIndex() &&
                   list->visualRect(page).isValid();
        }));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(page).center());
        ASSERT_EQ(list->selectionModel()->selectedIndexes().size(), 1);
    }

    QTemporaryDir temp;
    QPointer<frmdropfiles> dialog;
    QStringList confirmed;
    QStringList told;  // "title: text"
};

// --- Drops ----------------------------------------------------------------------------------

TEST_F(IntakeTest, APathHoldingALowerCaseHtmCountsAndTheStatusCoversTheWholeOpening)
{
    EXPECT_TRUE(drop({makeFile(u"notes.txt"_s), makeFile(u"INDEX.HTM"_s)}));
    EXPECT_TRUE(dialog->droppedFiles().isEmpty());
    EXPECT_EQ(status(), noneText);

    // Letter case decides and the whole path counts; kept in the order the file manager gave.
    const QString backup = makeFile(u"index.htm.bak"_s);
    const QString inHtmFolder = makeFile(u"site.htm/readme.txt"_s);
    const QString page = makeFile(u"page.htm"_s);
    drop({makeFile(u"Offer.Html"_s), backup, makeFile(u"notes.txt"_s), inHtmFolder, page});
    EXPECT_EQ(dialog->droppedFiles(), QStringList({backup, inHtmFolder, page}));
    EXPECT_EQ(status(), doneText);

    // A refused drop after a good one leaves the status at "Done!"; a good one adds to the list.
    drop({makeFile(u"notes.txt"_s)});
    EXPECT_EQ(status(), doneText);
    const QString second = makeFile(u"b/offer.html"_s);
    drop({second});
    EXPECT_EQ(dialog->droppedFiles(), QStringList({backup, inHtmFolder, page, second}));
}

TEST_F(IntakeTest, AddressesThatAreNotLocalFilesNeverCount)
{
    // Only web links: the drag is refused at once and a drop changes nothing.
    const QUrl web(u"https://example.com/offer.html"_s);
    EXPECT_EQ(dropUrls({web}), std::pair(false, false));
    EXPECT_EQ(status(), u"Drag an HTML file here (sales page etc)."_s);

    // Mixed with a local file, only the local one reaches the list.
    EXPECT_EQ(dropUrls({web, QUrl::fromLocalFile(makeFile(u"notes.txt"_s))}),
              std::pair(true, true));
    EXPECT_TRUE(dialog->droppedFiles().isEmpty());
    EXPECT_EQ(status(), noneText);
}

TEST_F(IntakeTest, BrowseModeStillCollectsDrops)
{
    click(u"Label5"_s);
    ASSERT_TRUE(inBrowseMode());
    // A drop lands on the innermost widget that takes drops; none but the dialog may, or drops
    // over the browse lists would go astray.
    for (const QWidget *widget : dialog->findChildren<QWidget *>()) {
        EXPECT_FALSE(widget->acceptDrops()) << widget->objectName().toStdString();
    }
    const QString page = makeFile(u"index.html"_s);
    EXPECT_TRUE(drop({page}));

    // Switching modes changes nothing that was collected.
    click(u"Label7"_s);
    EXPECT_FALSE(inBrowseMode());
    EXPECT_EQ(status(), doneText);
    EXPECT_EQ(dialog->droppedFiles(), QStringList{page});
}

// --- Ok and Cancel --------------------------------------------------------------------------

TEST_F(IntakeTest, OkInDropModeHandsOverTheLastDroppedPageOrAnEmptyPath)
{
    drop({makeFile(u"notes.txt"_s)});
    click(u"cmdOk"_s);
    EXPECT_TRUE(closedAndDestroyed());

    openDialog();
    drop({makeFile(u"first.html"_s)});
    const QString second = makeFile(u"second.htm"_s);
    drop({second, makeFile(u"notes.txt"_s)});
    click(u"cmdOk"_s);
    EXPECT_EQ(confirmed, QStringList({QString(), second}));
    EXPECT_TRUE(told.isEmpty());
    EXPECT_TRUE(closedAndDestroyed());
}

TEST_F(IntakeTest, BrowseOkHandsOverFolderAndNameWithOneSeparator)
{
    const QString page = makeFile(u"site/index.html"_s);
    click(u"Label5"_s);
    selectInFileList(temp.filePath(u"site/"_s), u"index.html"_s);
    click(u"cmdOk"_s);
    EXPECT_EQ(confirmed, QStringList{page});
    EXPECT_TRUE(told.isEmpty());
    EXPECT_TRUE(closedAndDestroyed());

    // A drive's root ends in a separator already; a network share keeps the two it starts with.
    EXPECT_EQ(joinFolderAndFileName(u"/"_s, u"index.html"_s),
              QDir::toNativeSeparators(u"/index.html"_s));
    EXPECT_TRUE(joinFolderAndFileName(u"//server/share"_s, u"index.html"_s)
                    .startsWith(QDir::toNativeSeparators(u"//server"_s)));
}

TEST_F(IntakeTest, BrowseOkWithoutASelectedPageAsksForOneAndStays)
{
    makeFile(u"index.html"_s);
    drop({makeFile(u"dropped.html"_s)});
    click(u"Label5"_s);
    picker()->setFolder(temp.path());
    click(u"cmdOk"_s);
    EXPECT_EQ(told, QStringList{u"File Selection: Please select an HTML file (.htm or .html)"_s});
    EXPECT_TRUE(confirmed.isEmpty());
    ASSERT_FALSE(closedAndDestroyed());
    EXPECT_TRUE(inBrowseMode());

    // A page selected in one folder is no longer selected once another folder is shown.
    selectInFileList(temp.path(), u"index.html"_s);
    picker()->setFolder(QFileInfo(makeFile(u"other/page.html"_s)).path());
    click(u"cmdOk"_s);
    EXPECT_EQ(told.size(), 2);
    EXPECT_TRUE(confirmed.isEmpty());
}

TEST_F(IntakeTest, TheModeAtOkDecidesBetweenDropsAndTheBrowsedPage)
{
    const QString dropped = makeFile(u"dropped/offer.html"_s);
    const QString browsed = makeFile(u"browsed/index.htm"_s);
    // Dropped while browsing: collected, but Ok in browse mode takes the browsed page.
    click(u"Label5"_s);
    drop({dropped});
    selectInFileList(QFileInfo(browsed).path(), u"index.htm"_s);
    click(u"cmdOk"_s);
    EXPECT_EQ(confirmed, QStringList{browsed});

    // Back in drop mode the dropped page counts again, browse selection or not.
    openDialog();
    drop({dropped});
    click(u"Label5"_s);
    selectInFileList(QFileInfo(browsed).path(), u"index.htm"_s);
    click(u"Label7"_s);
    click(u"cmdOk"_s);
    EXPECT_EQ(confirmed, QStringList({browsed, dropped}));
}

TEST_F(IntakeTest, TheFileListShowsOnlyPagesAndSelectsOne)
{
    for (const QString &name : {u"index.html"_s, u"page.htm"_s, u"LOUD.HTML"_s, u"notes.txt"_s,
                                u"page.html.bak"_s, u"sub/inner.html"_s}) {
        makeFile(name);
    }
    picker()->setFolder(temp.path());
    auto *list = dialog->findChild<QListView *>(u"File1"_s);
    const auto shown = [list] {
        QStringList names;
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            names.append(list->model()->index(row, 0, list->rootIndex()).data().toString());
        }
        names.sort();
        return names;
    };
    const QStringList pages{u"LOUD.HTML"_s, u"index.html"_s, u"page.htm"_s};
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == pages; }))
        << shown().join(u' ').toStdString();
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(IntakeTest, StartsAtTheCurrentFolderAndIgnoresUnreadableDrives)
{
    EXPECT_EQ(picker()->folder(), QDir::currentPath());
    picker()->setFolder(temp.path());
    const QString missingDrive = temp.filePath(u"no-such-volume"_s);
    EXPECT_FALSE(picker()->openDrive(missingDrive));
    EXPECT_EQ(picker()->folder(), temp.path());
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(dialog->findChild<QComboBox *>(u"Drive1"_s)->currentData().toString(), missingDrive);

    EXPECT_TRUE(picker()->openDrive(QDir::rootPath()));
    EXPECT_EQ(picker()->folder(), QDir::rootPath());
}

TEST_F(IntakeTest, CancelEscapeAndTheCloseButtonStopTheDropsAndHandOverNothing)
{
    const QString page = makeFile(u"index.html"_s);
    const std::function<void()> ways[] = {
        [this] { click(u"cmdUnload"_s); },
        [this] { QTest::keyClick(dialog, Qt::Key_Escape); },
        [this] { dialog->close(); },
    };
    for (const auto &cancel : ways) {
        if (dialog.isNull()) {
            openDialog();
        }
        drop({page});
        cancel();
        // Deletion waits for the event loop; drops stop at once.
        ASSERT_FALSE(dialog.isNull());
        EXPECT_FALSE(drop({page}));
        EXPECT_TRUE(closedAndDestroyed());
    }
    EXPECT_TRUE(confirmed.isEmpty());
}

}  // namespace
