#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QListView;
class QModelIndex;
class QTreeView;

namespace lumivane {

// The intake dialog's browse lists: a drive list (Drive1), the folders of the chosen drive
// (Dir1) and the pages in the chosen folder (File1, "*.htm" and "*.html", one selectable).
// They start at the process's current folder.
class HtmlFilePicker final : public QWidget {
    Q_OBJECT

public:
    explicit HtmlFilePicker(QWidget *parent = nullptr);

    // The folder whose pages the file list shows.
    QString folder() const { return folder_; }

    // The full path of the page selected in the file list, empty when none is selected.
    QString selectedFilePath() const;

    // Shows a folder's pages, with its drive chosen in the drive list and the folder in the
    // folder list.
    void setFolder(const QString &path);

    // What choosing a drive in the drive list does: the folder list moves to the drive's root.
    // A drive that cannot be read (an empty card reader, a vanished network mount) is not an
    // error worth a message; the lists stay where they were and false is returned.
    bool openDrive(const QString &rootPath);

    // Puts the three lists into the tab order between `before` and `after`.
    void placeInTabOrder(QWidget *before, QWidget *after);
    // Gives the keyboard to the page list, where the arrow keys pick a page; none is picked yet.
    void focusFileList();

private:
    void fillDriveList();
    void showDriveInList(const QString &rootPath);
    void showFolderContents(const QString &path);

    QComboBox *Drive1;
    QTreeView *Dir1;
    QListView *File1;
    QFileSystemModel *folderModel_;
    QFileSystemModel *fileModel_;
    QString folder_;
};

// A folder and a file name inside it, joined by exactly one separator even when the folder
// already ends in one (a drive's root), in the platform's own separators. Other doubled
// separators are kept: a network share's path starts with two.
QString joinFolderAndFileName(const QString &folder, const QString &fileName);

}  // namespace lumivane
