// The intake dialog over a temporary folder of real files: which dropped pages it keeps and what
// its status line says, and what it hands over on Ok in drop mode and in browse mode. Choosing a
// page with the keyboard alone, and Escape, are in the main window's tests.

#include "ui/intake/frmdropfiles.h"
#include "ui/intake/html_file_picker.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

const QString doneText = u"Done! Click ok to continue."_s;

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

    // A drag of these files, in this order, entering the dialog and released on it; whether the
    // dialog took the drop.
    bool drop(const QStringList &paths) const
    {
        QMimeData data;
        for (const QString &path : paths) {
            data.setUrls(data.urls() << QUrl::fromLocalFile(path));
        }
        const QPoint at = dialog->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(dialog, &enter);
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(dialog, &drop);
        // The originals must never be offered up for deletion by the file manager.
        EXPECT_NE(drop.dropAction(), Qt::MoveAction);
        return enter.isAccepted() && drop.isAccepted();
    }

    QString status() const { return dialog->findChild<QLabel *>(u"Label1"_s)->text(); }
    HtmlFilePicker *picker() const { return dialog->findChild<HtmlFilePicker *>(); }
    void click(const QString &name) const
    {
        QTest::mouseClick(dialog->findChild<QWidget *>(name), Qt::LeftButton);
    }
    // Lets the dialog's deferred deletion happen; true when it is gone.
    bool closedAndDestroyed() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }

    // Points the browse lists at a page's folder and clicks the page once the folder is read (in
    // the background), as the user would.
    void selectInFileList(const QString &path) const
    {
        picker()->setFolder(QFileInfo(path).path());
        auto *list = dialog->findChild<QListView *>(u"File1"_s);
        QModelIndex page;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            page = qobject_cast<QFileSystemModel *>(list->model())->index(path);
            return list->visualRect(page).isValid();
        }));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(page).center());
        ASSERT_EQ(list->selectionModel()->selectedIndexes().size(), 1);
    }

    QTemporaryDir temp;
    QPointer<frmdropfiles> dialog;
    QStringList confirmed;
    QStringList told;  // "title: text"
};

// A path counts when it holds ".htm" in lower case, wherever; the status line covers the whole
// opening, and Ok hands over the page dropped last.
TEST_F(IntakeTest, DroppedPagesAreKeptAndOkHandsOverTheLastOne)
{
    EXPECT_TRUE(drop({makeFile(u"notes.txt"_s), makeFile(u"INDEX.HTM"_s)}));
    EXPECT_TRUE(dialog->droppedFiles().isEmpty());
    EXPECT_EQ(status(), u"Ooops! No valid HTML files were added."_s);

    const QString backup = makeFile(u"index.htm.bak"_s);
    const QString inHtmFolder = makeFile(u"site.htm/readme.txt"_s);
    const QString page = makeFile(u"page.htm"_s);
    drop({makeFile(u"Offer.Html"_s), backup, makeFile(u"notes.txt"_s), inHtmFolder});
    drop({page});
    EXPECT_EQ(dialog->droppedFiles(), QStringList({backup, inHtmFolder, page}));
    drop({makeFile(u"notes.txt"_s)});
    EXPECT_EQ(status(), doneText);

    click(u"cmdOk"_s);
    EXPECT_EQ(confirmed, QStringList{page});
    EXPECT_TRUE(closedAndDestroyed());
}

// Drops still count while browsing, and switching modes changes nothing collected: the mode at Ok
// decides between the last dropped page and the browsed one. Browsing, Ok wants a page selected
// in the folder shown.
TEST_F(IntakeTest, TheModeAtOkDecidesBetweenDropsAndTheBrowsedPage)
{
    const QString dropped = makeFile(u"dropped/offer.html"_s);
    const QString browsed = makeFile(u"browsed/index.htm"_s);
    for (const bool backToDrops : {false, true}) {
        click(u"Label5"_s);
        // A drop lands on the innermost widget that takes drops; none but the dialog may, or
        // drops over the browse lists would go astray.
        for (const QWidget *widget : dialog->findChildren<QWidget *>()) {
            EXPECT_FALSE(widget->acceptDrops()) << widget->objectName().toStdString();
        }
        EXPECT_TRUE(drop({dropped}));
        if (!backToDrops) {
            click(u"cmdOk"_s);
            selectInFileList(dropped);
            picker()->setFolder(QFileInfo(browsed).path());
            click(u"cmdOk"_s);
            // A drive that cannot be read is passed over without a message; the lists stay put.
            EXPECT_FALSE(picker()->openDrive(temp.filePath(u"no-such-volume"_s)));
            EXPECT_EQ(picker()->folder(), QFileInfo(browsed).path());
            EXPECT_EQ(told, QStringList(2, u"File Selection: Please select an HTML file (.htm or "
                                           ".html)"_s));
            ASSERT_FALSE(closedAndDestroyed());
        }
        selectInFileList(browsed);
        if (backToDrops) {
            click(u"Label7"_s);
            EXPECT_EQ(status(), doneText);
        }
        click(u"cmdOk"_s);
        EXPECT_TRUE(closedAndDestroyed());
        openDialog();
    }
    EXPECT_EQ(confirmed, QStringList({browsed, dropped}));
}

}  // namespace
