// Pages dropped on the intake dialog: which are kept, in what order, and what the status line says.

#include "qt_printers.h"
#include "support/intake_test_support.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using lumivane::test_support::dropFiles;
using lumivane::test_support::dropUrls;

namespace {

const QString designText = u"Drag an HTML file here (sales page etc)."_s;
const QString doneText = u"Done! Click ok to continue."_s;
const QString noneText = u"Ooops! No valid HTML files were added."_s;

class IntakeDrop : public lumivane::test_support::IntakeDialogTest {};

TEST_F(IntakeDrop, LetterCaseDecidesAndTheWholePathCounts)
{
    const QString capitals = makeFile(u"INDEX.HTM"_s);
    const QString mixedCase = makeFile(u"Offer.Html"_s);
    const QString backup = makeFile(u"index.htm.bak"_s);
    const QString inHtmFolder = makeFile(u"site.htm/readme.txt"_s);
    const QString plainPage = makeFile(u"page.htm"_s);
    const QString notes = makeFile(u"notes.txt"_s);
    const auto outcome =
        dropFiles(dialog, {capitals, mixedCase, backup, notes, inHtmFolder, plainPage});
    EXPECT_TRUE(outcome.enterAccepted);
    EXPECT_TRUE(outcome.dropAccepted);
    // Kept in the order the file manager gave.
    EXPECT_EQ(dialog->droppedFiles(), (QStringList{backup, inHtmFolder, plainPage}));
    EXPECT_EQ(label(u"Label1"_s)->text(), doneText);
}

TEST_F(IntakeDrop, OnlyRefusedFilesInAFreshDialogSayNothingWasAdded)
{
    dropFiles(dialog, {makeFile(u"notes.txt"_s), makeFile(u"INDEX.HTM"_s)});
    EXPECT_TRUE(dialog->droppedFiles().isEmpty());
    EXPECT_EQ(label(u"Label1"_s)->text(), noneText);
}

TEST_F(IntakeDrop, TheStatusCoversEveryDropOfThisOpening)
{
    const QString first = makeFile(u"a/index.html"_s);
    const QString second = makeFile(u"b/offer.htm"_s);
    dropFiles(dialog, {first});
    EXPECT_EQ(label(u"Label1"_s)->text(), doneText);

    // A refused drop after a good one leaves the good page collected and the status at "Done!".
    dropFiles(dialog, {makeFile(u"notes.txt"_s)});
    EXPECT_EQ(label(u"Label1"_s)->text(), doneText);

    dropFiles(dialog, {second});
    EXPECT_EQ(dialog->droppedFiles(), (QStringList{first, second}));
}

TEST_F(IntakeDrop, AddressesThatAreNotLocalFilesNeverCount)
{
    // Only web links: the drag is refused at once and a drop changes nothing.
    const QList<QUrl> webOnly{QUrl(u"https://example.com/offer.html"_s)};
    const auto refused = dropUrls(dialog, webOnly);
    EXPECT_FALSE(refused.enterAccepted);
    EXPECT_FALSE(refused.dropAccepted);
    EXPECT_EQ(label(u"Label1"_s)->text(), designText);

    // Mixed with a local file, only the local one reaches the list.
    const QString notes = makeFile(u"notes.txt"_s);
    const auto mixed =
        dropUrls(dialog, {QUrl(u"https://example.com/offer.html"_s), QUrl::fromLocalFile(notes)});
    EXPECT_TRUE(mixed.dropAccepted);
    EXPECT_TRUE(dialog->droppedFiles().isEmpty());
    EXPECT_EQ(label(u"Label1"_s)->text(), noneText);
}

TEST_F(IntakeDrop, EmptyNamesAreSkipped)
{
    const QString page = makeFile(u"index.html"_s);
    dialog->ProcessHDrop({QString(), page, QString()});
    EXPECT_EQ(dialog->droppedFiles(), QStringList{page});
}

TEST_F(IntakeDrop, BrowseModeStillCollectsDrops)
{
    clickLink(u"Label5"_s);
    ASSERT_TRUE(inBrowseMode());
    // A drop lands on the innermost widget that takes drops; none but the dialog may, or drops
    // over the browse lists would go astray.
    const QList<QWidget *> widgets = dialog->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        EXPECT_FALSE(widget->acceptDrops()) << widget->objectName().toStdString();
    }

    const QString page = makeFile(u"index.html"_s);
    EXPECT_TRUE(dropFiles(dialog, {page}).dropAccepted);
    EXPECT_EQ(dialog->droppedFiles(), QStringList{page});

    // Switching modes changes nothing that was collected.
    clickLink(u"Label7"_s);
    EXPECT_FALSE(inBrowseMode());
    EXPECT_EQ(label(u"Label1"_s)->text(), doneText);
    EXPECT_EQ(dialog->droppedFiles(), QStringList{page});
}

TEST_F(IntakeDrop, ClosingStopsTakingDropsAndDestroysWhatWasCollected)
{
    dropFiles(dialog, {makeFile(u"index.html"_s)});
    button(u"cmdUnload"_s)->click();
    ASSERT_FALSE(dialog.isNull());  // deletion is deferred to the event loop
    EXPECT_FALSE(dialog->acceptDrops());
    EXPECT_FALSE(dropFiles(dialog, {makeFile(u"late.html"_s)}).dropAccepted);
    EXPECT_TRUE(closedAndDestroyed());
}

}  // namespace
