#include "intake_test_support.h"

#include "test_files.h"
#include "ui/intake/html_file_picker.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumivane::test_support {

DropOutcome dropUrls(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mimeData;
    mimeData.setUrls(urls);
    const QPointF position = QRectF(target->rect()).center();
    DropOutcome outcome;
    QDragEnterEvent enter(position.toPoint(), Qt::CopyAction | Qt::MoveAction, &mimeData,
                          Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    outcome.enterAccepted = enter.isAccepted();
    QDropEvent drop(position, Qt::CopyAction | Qt::MoveAction, &mimeData, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    outcome.dropAccepted = drop.isAccepted();
    // The originals must never be offered up for deletion by the file manager.
    EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    return outcome;
}

DropOutcome dropFiles(QWidget *target, const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    return dropUrls(target, urls);
}

void IntakeDialogTest::SetUp()
{
    ASSERT_TRUE(tempDir.isValid());
    openDialog();
}

void IntakeDialogTest::openDialog()
{
    dialog = new frmdropfiles;
    dialog->setInformUser([this](QWidget *, const QString &title, const QString &text) {
        messages.append({title, text});
    });
    QObject::connect(dialog, &frmdropfiles::pageConfirmed,
                     [this](const QString &path) { confirmedPaths.append(path); });
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
}

void IntakeDialogTest::TearDown()
{
    delete dialog.data();
}

QString IntakeDialogTest::makeFile(const QString &relativePath) const
{
    const QString path = tempDir.filePath(relativePath);
    writeFile(path, "<html><head><title>t</title></head><body><h1>x</h1></body></html>");
    EXPECT_TRUE(QFileInfo::exists(path)) << relativePath.toStdString();
    return QDir::toNativeSeparators(path);
}

QLabel *IntakeDialogTest::label(const QString &name) const
{
    auto *found = dialog->findChild<QLabel *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QAbstractButton *IntakeDialogTest::button(const QString &name) const
{
    auto *found = dialog->findChild<QAbstractButton *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QListView *IntakeDialogTest::fileList() const
{
    auto *found = dialog->findChild<QListView *>(u"File1"_s);
    EXPECT_NE(found, nullptr);
    return found;
}

bool IntakeDialogTest::inBrowseMode() const
{
    const auto *panel = dialog->findChild<QWidget *>(u"picNoDragAndDrop"_s);
    return panel != nullptr && panel->isVisible();
}

void IntakeDialogTest::clickLink(const QString &name) const
{
    QLabel *link = label(name);
    QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, link->rect().center());
}

void IntakeDialogTest::pressEscape() const
{
    QTest::keyClick(dialog, Qt::Key_Escape);
}

bool IntakeDialogTest::closedAndDestroyed() const
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return dialog.isNull();
}

void IntakeDialogTest::selectInFileList(const QString &folder, const QString &fileName) const
{
    auto *picker = dialog->findChild<HtmlFilePicker *>();
    ASSERT_NE(picker, nullptr);
    picker->setFolder(folder);
    QListView *list = fileList();
    auto *model = qobject_cast<QFileSystemModel *>(list->model());
    ASSERT_NE(model, nullptr);
    const QString path = QDir(folder).filePath(fileName);
    // The folder is read in the background; the page shows up in the list when that is done.
    QModelIndex page;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        page = model->index(path);
        return page.isValid() && page.parent() == list->rootIndex() &&
               list->visualRect(page).isValid();
    }));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(page).center());
    ASSERT_EQ(list->selectionModel()->selectedIndexes().size(), 1);
}

}  // namespace lumivane::test_support
