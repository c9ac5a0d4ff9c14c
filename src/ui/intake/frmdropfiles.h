#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QPushButton;
class QStackedWidget;
class QWidget;

namespace lumivane {

class DropWindowProc;
class HtmlFilePicker;
class LinkLabel;

// The intake dialog: the user drops HTML pages onto it, or switches to browse mode and picks one,
// and confirms one page with Ok. Each opening is a new dialog that deletes itself on closing, so
// it always starts in drop mode with nothing collected.
class frmdropfiles final : public QDialog {
    Q_OBJECT

public:
    // Shows an information message with one OK button and waits for it; tests answer it.
    using InformUser =
        std::function<void(QWidget *parent, const QString &title, const QString &text)>;

    explicit frmdropfiles(QWidget *parent = nullptr);
    ~frmdropfiles() override;

    // Keeps the files of a drop whose path contains ".htm" and reports the outcome in the status
    // line; the paths arrive in the order the desktop listed them.
    void ProcessHDrop(const QStringList &paths);

    // Every page collected by drops in this opening, in the order received.
    const QStringList &droppedFiles() const { return lstFiles; }

    void setInformUser(InformUser informUser);

signals:
    // The user confirmed a page; an empty path means the drop list was empty.
    void pageConfirmed(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QWidget *buildDropArea();
    QWidget *buildBrowsePanel();
    void HookDropTarget();
    void UnhookDropTarget();
    bool inBrowseMode() const;
    void cmdOk_Click();

    LinkLabel *Label5;
    QLabel *Label2;
    QLabel *Label1;
    QLabel *Image1;
    QLabel *Label3;
    QPushButton *cmdOk;
    QPushButton *cmdUnload;
    // The drop area and the browse panel: the dialog is in browse mode exactly when the panel
    // shows.
    QStackedWidget *modes_;
    QWidget *picNoDragAndDrop;
    QLabel *Label6;
    LinkLabel *Label7;
    HtmlFilePicker *filePicker_;

    DropWindowProc *dropWindowProc_;
    QStringList lstFiles;
    InformUser informUser_;
    bool sized_ = false;
};

}  // namespace lumivane
