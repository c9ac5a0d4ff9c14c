#pragma once

// A fixture that opens one intake dialog over a temporary folder of real files, records what the
// dialog hands over and what it tells the user, and drops files on it the way a file manager does.

#include "ui/intake/frmdropfiles.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <utility>

class QAbstractButton;
class QLabel;
class QListView;
class QWidget;

namespace lumivane::test_support {

struct DropOutcome {
    bool enterAccepted = false;
    bool dropAccepted = false;
};

// A drag that enters the widget and is released on it, carrying these addresses in this order.
DropOutcome dropUrls(QWidget *target, const QList<QUrl> &urls);
DropOutcome dropFiles(QWidget *target, const QStringList &paths);

class IntakeDialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new dialog, shown, with its hand-offs and messages recorded.
    void openDialog();

    // Creates a file (and its folders) below the temporary folder and returns its full path.
    QString makeFile(const QString &relativePath) const;

    QLabel *label(const QString &name) const;
    QAbstractButton *button(const QString &name) const;
    QListView *fileList() const;
    bool inBrowseMode() const;
    void clickLink(const QString &name) const;
    void pressEscape() const;

    // Lets the dialog's deferred deletion happen; true when it is gone.
    bool closedAndDestroyed() const;

    // Points the browse lists at a folder and selects one of its pages, as the user would click it.
    void selectInFileList(const QString &folder, const QString &fileName) const;

    QTemporaryDir tempDir;
    QPointer<frmdropfiles> dialog;
    QStringList confirmedPaths;
    QList<std::pair<QString, QString>> messages;  // title, text
};

}  // namespace lumivane::test_support
