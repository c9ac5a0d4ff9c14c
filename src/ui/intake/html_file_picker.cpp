#include "ui/intake/html_file_picker.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QListView>
#include <QStorageInfo>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

constexpr int rootPathRole = Qt::UserRole;

QString driveLabel(const QString &rootPath)
{
    const QString name = QStorageInfo(rootPath).name();
    const QString shown = QDir::toNativeSeparators(rootPath);
    return name.isEmpty() ? shown : shown + u" ["_s + name + u']';
}

}  // namespace

HtmlFilePicker::HtmlFilePicker(QWidget *parent)
    : QWidget(parent)
    , Drive1(new QComboBox(this))
    , Dir1(new QTreeView(this))
    , File1(new QListView(this))
    , folderModel_(new QFileSystemModel(this))
    , fileModel_(new QFileSystemModel(this))
{
    Drive1->setObjectName(u"Drive1"_s);
    Dir1->setObjectName(u"Dir1"_s);
    File1->setObjectName(u"File1"_s);
    Drive1->setAccessibleName(u"Drive"_s);
    Dir1->setAccessibleName(u"Folders"_s);
    File1->setAccessibleName(u"Pages (.htm, .html)"_s);

    folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    Dir1->setModel(folderModel_);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < folderModel_->columnCount(); ++column) {
        Dir1->hideColumn(column);
    }
    Dir1->setSelectionMode(QAbstractItemView::SingleSelection);

    // Pages that do not match are left out of the list rather than shown greyed out.
    fileModel_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    fileModel_->setNameFilters({u"*.htm"_s, u"*.html"_s});
    fileModel_->setNameFilterDisables(false);
    File1->setModel(fileModel_);
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Drive1, 0, 0);
    layout->addWidget(Dir1, 1, 0);
    layout->addWidget(File1, 0, 1, 2, 1);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);

    fillDriveList();
    // A folder is read in the background. A page list that has the keyboard before its rows
    // arrive gets its focus frame once they do, as it would have on taking the focus, so that
    // Space chooses a page rather than nothing.
    connect(fileModel_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (File1->hasFocus() && !File1->currentIndex().isValid()) {
            const QModelIndex first = fileModel_->index(0, 0, File1->rootIndex());
            if (first.isValid()) {
                File1->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
            }
        }
    });
    // Only the user's choice moves the lists; showing a folder's drive in the list does not.
    connect(Drive1, &QComboBox::activated, this,
            [this](int row) { openDrive(Drive1->itemData(row, rootPathRole).toString()); });
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid()) {
                    showFolderContents(folderModel_->filePath(current));
                }
            });

    setFolder(QDir::currentPath());
}

void HtmlFilePicker::placeInTabOrder(QWidget *before, QWidget *after)
{
    QWidget::setTabOrder(before, Drive1);
    QWidget::setTabOrder(Drive1, Dir1);
    QWidget::setTabOrder(Dir1, File1);
    QWidget::setTabOrder(File1, after);
}

void HtmlFilePicker::focusFileList()
{
    // The arrow keys choose a page; Space chooses the one under the focus frame. Nothing is chosen
    // before the user does: Ok then asks for a page.
    File1->setFocus(Qt::OtherFocusReason);
}

QString HtmlFilePicker::selectedFilePath() const
{
    const QModelIndexList selected = File1->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || folder_.isEmpty()) {
        return {};
    }
    return joinFolderAndFileName(folder_, fileModel_->fileName(selected.first()));
}

void HtmlFilePicker::setFolder(const QString &path)
{
    const QString folderPath = QDir(path).absolutePath();
    QString rootPath = QStorageInfo(folderPath).rootPath();
    if (rootPath.isEmpty()) {
        rootPath = QDir::rootPath();
    }
    showDriveInList(rootPath);
    folderModel_->setRootPath(rootPath);
    Dir1->setRootIndex(folderModel_->index(rootPath));
    const QModelIndex folderIndex = folderModel_->index(folderPath);
    if (folderIndex.isValid() && folderIndex != Dir1->rootIndex()) {
        Dir1->setCurrentIndex(folderIndex);
        Dir1->scrollTo(folderIndex);
    } else {
        Dir1->selectionModel()->clear();
    }
    showFolderContents(folderPath);
}

bool HtmlFilePicker::openDrive(const QString &rootPath)
{
    if (rootPath.isEmpty()) {
        return false;
    }
    // The list shows the chosen drive even when it cannot be opened.
    showDriveInList(rootPath);
    if (!QDir(rootPath).isReadable() || !QStorageInfo(rootPath).isReady()) {
        return false;
    }
    folderModel_->setRootPath(rootPath);
    Dir1->setRootIndex(folderModel_->index(rootPath));
    Dir1->selectionModel()->clear();
    showFolderContents(rootPath);
    return true;
}

void HtmlFilePicker::fillDriveList()
{
    QStringList roots;
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo &drive : drives) {
        roots.append(drive.absoluteFilePath());
    }
    // On systems without drive letters the mounted volumes are what a drive list would show.
    QStringList volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : mounted) {
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir()) {
            volumes.append(volume.rootPath());
        }
    }
    volumes.sort();
    roots.append(volumes);
    roots.removeDuplicates();
    for (const QString &root : std::as_const(roots)) {
        Drive1->addItem(driveLabel(root), root);
    }
}

void HtmlFilePicker::showDriveInList(const QString &rootPath)
{
    int row = Drive1->findData(rootPath, rootPathRole);
    if (row < 0) {
        Drive1->addItem(driveLabel(rootPath), rootPath);
        row = Drive1->count() - 1;
    }
    Drive1->setCurrentIndex(row);
}

void HtmlFilePicker::showFolderContents(const QString &path)
{
    folder_ = path;
    File1->selectionModel()->clear();
    fileModel_->setRootPath(path);
    File1->setRootIndex(fileModel_->index(path));
}

QString joinFolderAndFileName(const QString &folder, const QString &fileName)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(fileName));
}

}  // namespace lumivane
