// The main window driven as a user drives it: clicks and typing on the real widgets, pages on disk
// in temporary folders, every message answered by a host that records it.

#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "ui/intake/frmdropfiles.h"
#include "ui/main/frmmain.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

struct Message {
    QString title;
    QString text;
    MessageIcon icon;
    bool busyCursor;  // whether the run's busy cursor was up while the message was shown
};

bool busyCursorShown()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

// Stands in for the message boxes and the file manager: records what the window shows and
// answers the overwrite question as told.
class FakeHost final : public RunHost {
public:
    void inform(const QString &title, const QString &text, MessageIcon icon) override
    {
        messages.append({title, text, icon, busyCursorShown()});
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        questions.append(title + u": "_s + text);
        return answer;
    }
    void openFolder(const QString &folder) override { openedFolders.append(folder); }
    void notice(const QString & /*text*/) override {}

    bool answer = true;
    QList<Message> messages;
    QStringList questions;
    QStringList openedFolders;
};

const QByteArray samplePage = "<!DOCTYPE html>\n<html><head><title>Offer</title></head>"
                              "<body><h1>Grow a green thumb</h1><p>Only today.</p>"
                              "<img src=\"plant.png\"></body></html>\n";

// An h1 that the animation stage tagged.
const QRegularExpression animatedHeading(uR"(<h1 [^>]*class="[^"]*\bwow\b)"_s);

const QStringList expectedSizes{u"44"_s, u"40"_s, u"38"_s, u"36"_s, u"34"_s, u"32"_s,
                                u"30"_s, u"28"_s, u"26"_s, u"24"_s, u"22"_s, u"20"_s};

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

// Every file below `folder`, relative to it, so that a test can see that nothing was written.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(QDir(folder).relativeFilePath(it.next()));
    }
    files.sort();
    return files;
}

void typeInto(QComboBox *combo, const QString &text)
{
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(combo->lineEdit(), text);
}

// Lets the dialogs that closed delete themselves, as the event loop would.
void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        QDir().mkpath(pageFolder);
    }

    // A window over the project's own snippet folder, or over `snippets` when given.
    frmMain &openWindow(const QString &snippets = QString::fromUtf8(LUMIVANE_SNIPPETS_DIR))
    {
        auto fake = std::make_unique<FakeHost>();
        host = fake.get();
        window = std::make_unique<frmMain>(SnippetFolder(snippets), std::move(fake));
        return *window;
    }

    // A control of the main window by its name (the intake dialog has controls of the same
    // names, such as Label5).
    template <typename Widget>
    Widget *control(const char *name) const
    {
        for (Widget *widget : window->findChildren<Widget *>(QString::fromLatin1(name))) {
            if (widget->window() == window.get()) {
                return widget;
            }
        }
        ADD_FAILURE() << "the window has no control " << name;
        return nullptr;
    }
    QComboBox *combo(const char *name) const { return control<QComboBox>(name); }
    QCheckBox *check(const char *name) const { return control<QCheckBox>(name); }

    QString writePage(const QString &name, const QByteArray &bytes = samplePage) const
    {
        QString path = QDir(pageFolder).filePath(name);
        writeFile(path, bytes);
        return path;
    }

    // Picks the page as the user does: the select button opens the intake dialog, which confirms
    // the page.
    void selectThroughDialog(const QString &path)
    {
        QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
        frmdropfiles *dialog = window->dropFilesDialog();
        ASSERT_NE(dialog, nullptr);
        emit dialog->pageConfirmed(path);
    }

    void clickGo() { QTest::mouseClick(control<QPushButton>("cmdGo"), Qt::LeftButton); }

    QTemporaryDir work;
    QString pageFolder = work.filePath(u"pages"_s);
    std::unique_ptr<frmMain> window;
    FakeHost *host = nullptr;
};

// --- Start-up -------------------------------------------------------------------------------

using StartUpTest = MainWindowTest;

TEST_F(StartUpTest, ShowsTheDefaultsOfEveryLaunch)
{
    openWindow();
    EXPECT_EQ(window->windowTitle(), u"Lumivane v1.4"_s);
    EXPECT_EQ(window->size(), QSize(711, 594));

    EXPECT_EQ(itemsOf(combo("cboAnimations")),
              QStringList({u"Bounce + Fade"_s, u"Slide + Fade"_s, u"Bounce + Slide"_s, u"Bounce"_s,
                           u"Slide"_s, u"Fade"_s}));
    EXPECT_EQ(combo("cboAnimations")->currentText(), u"Bounce + Fade"_s);
    EXPECT_EQ(itemsOf(combo("cboSpeed")), QStringList({u"Fast"_s, u"Natural"_s, u"Slow"_s}));
    EXPECT_EQ(combo("cboSpeed")->currentText(), u"Natural"_s);

    const std::array sizeFields{combo("cboFontSize_0"), combo("cboFontSize_1"),
                                combo("cboFontSize_2")};
    const std::array defaults{u"34"_s, u"30"_s, u"26"_s};
    for (std::size_t i = 0; i < sizeFields.size(); ++i) {
        SCOPED_TRACE(i);
        const QStringList sizes = itemsOf(sizeFields[i]);
        EXPECT_EQ(sizes, expectedSizes);
        EXPECT_EQ(sizes.size(), 12);
        EXPECT_EQ(sizes.first(), u"44"_s);
        EXPECT_EQ(sizes.last(), u"20"_s);
        EXPECT_FALSE(sizes.contains(u"42"_s));
        EXPECT_EQ(sizeFields[i]->currentText(), defaults[i]);
    }

    for (const char *ticked :
         {"chkAnimations", "chkFonts", "chkHFontSize_0", "chkHFontSize_1", "chkHFontSize_2"}) {
        EXPECT_TRUE(check(ticked)->isChecked()) << ticked;
    }
    EXPECT_FALSE(check("chkEnableBack")->isChecked());
    EXPECT_EQ(control<QLineEdit>("txtBackRedirect")->text(), u"http://"_s);
    EXPECT_TRUE(control<QLabel>("lblSelectedFile")->text().isEmpty());
    EXPECT_TRUE(host->messages.isEmpty());
}

TEST_F(StartUpTest, OpensCentredOnTheScreen)
{
    openWindow();
    window->show();
    ASSERT_NE(window->screen(), nullptr);
    const QPoint offset =
        window->frameGeometry().center() - window->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << ", " << offset.y();
}

TEST_F(StartUpTest, EveryOptionFieldIsEditable)
{
    openWindow();
    for (const char *name : {"cboAnimations", "cboSpeed", "cboFonts", "cboFontSize_0",
                             "cboFontSize_1", "cboFontSize_2"}) {
        EXPECT_TRUE(combo(name)->isEditable()) << name;
    }
    EXPECT_TRUE(control<QLineEdit>("txtBackRedirect")->isEnabled());
}

TEST_F(StartUpTest, CaptionsReadAsTheUserExpects)
{
    openWindow();
    const std::pair<const char *, QString> captions[] = {
        {"lblAppName", u"Lumivane"_s},
        {"Label3", u"Speed:"_s},
        {"Label4", u"Redirect Visitors To:"_s},
        {"Label5", u"Learn More"_s},
        {"Label6", u"Comment: Font overriding is not always possible because of CSS settings set "
                   "in the original page."_s},
        {"Label1", u"The modified files will be saved as (filename)_modified.html."_s},
        {"Label2", u"Example: index_modified.html"_s},
    };
    for (const auto &[name, text] : captions) {
        EXPECT_EQ(control<QLabel>(name)->text(), text) << name;
    }
    EXPECT_EQ(control<QPushButton>("cmdSelect")->text(), u"Select an HTML File (.htm or .html)"_s);
    EXPECT_EQ(control<QPushButton>("cmdGo")->text(), u"Let's Do This with 1 Click!"_s);
    EXPECT_EQ(check("chkAnimations")->text(), u"Apply Random Animations "_s);
    EXPECT_EQ(check("chkFonts")->text(), u"Apply a G Font"_s);
    EXPECT_EQ(check("chkEnableBack")->text(), u"Enable the \"Back Button Control\" Feature"_s);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(check(QStringLiteral("chkHFontSize_%1").arg(i).toLatin1().constData())->text(),
                  u"Use Custom Font Size For H%1"_s.arg(i + 1));
    }
    EXPECT_EQ(control<QGroupBox>("frPro")->title(), u"Back Button Control"_s);
}

TEST_F(StartUpTest, FontListComesFromTheSnippetFolderInFileOrder)
{
    openWindow();
    const QStringList lines =
        QString::fromUtf8(readFile(QString::fromUtf8(LUMIVANE_SNIPPETS_DIR) + u"/gfonts.txt"_s))
            .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 1);
    EXPECT_EQ(itemsOf(combo("cboFonts")), lines);
    EXPECT_EQ(combo("cboFonts")->currentIndex(), 0);
    EXPECT_EQ(combo("cboFonts")->currentText(), lines.first());
}

TEST_F(StartUpTest, AFontListOfThreeLinesGivesThreeFontsAndTheFirstIsChosen)
{
    const QString snippets = work.filePath(u"snippets"_s);
    test_support::copySnippetFolder(snippets);
    writeFile(snippets + u"/gfonts.txt"_s, "Lato\r\nMerriweather Sans\r\nM PLUS 1p\r\n");
    openWindow(snippets);
    EXPECT_EQ(itemsOf(combo("cboFonts")),
              QStringList({u"Lato"_s, u"Merriweather Sans"_s, u"M PLUS 1p"_s}));
    EXPECT_EQ(window->readOptions().fontName, u"Lato"_s);
}

TEST_F(StartUpTest, AMissingOrEmptyFontListLeavesTheFieldEmptyWithoutAMessage)
{
    const QString snippets = work.filePath(u"snippets"_s);
    test_support::copySnippetFolder(snippets);
    for (const bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "empty");
        if (missing) {
            QFile::remove(snippets + u"/gfonts.txt"_s);
        } else {
            writeFile(snippets + u"/gfonts.txt"_s, "");
        }
        openWindow(snippets);
        EXPECT_EQ(combo("cboFonts")->count(), 0);
        EXPECT_EQ(combo("cboFonts")->currentIndex(), -1);
        EXPECT_TRUE(combo("cboFonts")->currentText().isEmpty());
        EXPECT_TRUE(host->messages.isEmpty());
        // The rest of the window starts as always.
        EXPECT_EQ(combo("cboSpeed")->currentText(), u"Natural"_s);
    }
}

TEST_F(StartUpTest, ASecondLaunchStartsFromTheDefaultsWhateverTheFirstChose)
{
    openWindow();
    const RunOptions fresh = window->readOptions();
    combo("cboAnimations")->setCurrentIndex(5);
    check("chkFonts")->setChecked(false);
    check("chkEnableBack")->setChecked(true);
    typeInto(combo("cboFontSize_1"), u"50"_s);
    window.reset();

    openWindow();
    const RunOptions again = window->readOptions();
    EXPECT_EQ(again.animationFamily, fresh.animationFamily);
    EXPECT_EQ(again.animationFamily, AnimationFamily::BounceFade);
    EXPECT_EQ(again.speed, AnimationSpeed::Natural);
    EXPECT_TRUE(again.fonts);
    EXPECT_FALSE(again.backButton);
    EXPECT_EQ(again.headingSizes[1].pixels, u"30"_s);
}

// --- What the run reads from the controls ---------------------------------------------------

using OptionFieldTest = MainWindowTest;

TEST_F(OptionFieldTest, TypedTextThatNamesNoEntryMeansNoEntry)
{
    openWindow();
    typeInto(combo("cboAnimations"), u"Zoom"_s);
    typeInto(combo("cboSpeed"), u"Very fast"_s);
    RunOptions options = window->readOptions();
    EXPECT_EQ(options.animationFamily, -1);
    EXPECT_EQ(options.speed, -1);

    // An entry picked from the list is read by its place in the list.
    combo("cboAnimations")->setCurrentIndex(4);
    combo("cboSpeed")->setCurrentIndex(2);
    options = window->readOptions();
    EXPECT_EQ(options.animationFamily, AnimationFamily::Slide);
    EXPECT_EQ(options.speed, AnimationSpeed::Slow);
}

TEST_F(OptionFieldTest, FontAndSizesAreReadAsTyped)
{
    openWindow();
    typeInto(combo("cboFonts"), u"Zen Kaku Gothic New"_s);
    typeInto(combo("cboFontSize_0"), u"50"_s);
    check("chkHFontSize_2")->setChecked(false);
    check("chkEnableBack")->setChecked(true);
    control<QLineEdit>("txtBackRedirect")->setText(u"https://example.com/offer"_s);

    const RunOptions options = window->readOptions();
    EXPECT_EQ(options.fontName, u"Zen Kaku Gothic New"_s);
    EXPECT_EQ(options.headingSizes[0].pixels, u"50"_s);
    EXPECT_TRUE(options.headingSizes[0].enabled);
    // Clearing a heading's box leaves its size as it was; only the box decides.
    EXPECT_FALSE(options.headingSizes[2].enabled);
    EXPECT_EQ(options.headingSizes[2].pixels, u"26"_s);
    EXPECT_TRUE(combo("cboFontSize_2")->isEnabled());
    EXPECT_TRUE(options.backButton);
    EXPECT_EQ(options.backRedirect, u"https://example.com/offer"_s);
}

// --- The run --------------------------------------------------------------------------------

using RunFromWindowTest = MainWindowTest;

TEST_F(RunFromWindowTest, FromASelectedPageToTheWrittenOutputAndTheOpenedFolder)
{
    openWindow();
    const QString page = writePage(u"offer.html"_s);
    selectThroughDialog(page);
    EXPECT_EQ(control<QLabel>("lblSelectedFile")->text(), page);
    ASSERT_TRUE(window->WebBrowser1().has_value());
    EXPECT_EQ(window->WebBrowser1()->getElementsByTagName(u"h1"_s).size(), 1);

    typeInto(combo("cboFontSize_0"), u"50"_s);
    clickGo();

    const QString output = QDir(pageFolder).filePath(u"offer_modified.html"_s);
    const QString written = QString::fromUtf8(readFile(output));
    EXPECT_TRUE(written.contains(u"anilibs/"_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(animatedHeading)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"Open+Sans"_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"50px"_s)) << written.toStdString();
    EXPECT_EQ(written, window->lastRun().txtHTMLSourceModified());
    EXPECT_FALSE(QDir(pageFolder + u"/anilibs"_s).isEmpty());
    EXPECT_EQ(readFile(page), samplePage);

    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, QString::fromLatin1(message::DoneTitle));
    EXPECT_EQ(host->messages[0].text, QString::fromLatin1(message::DoneText));
    EXPECT_EQ(host->messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(host->messages[0].busyCursor);
    ASSERT_EQ(host->openedFolders.size(), 1);
    EXPECT_EQ(QDir(host->openedFolders[0]), QDir(pageFolder));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(control<QPushButton>("cmdSelect")->text(), u"Select an HTML File (.htm or .html)"_s);
}

TEST_F(RunFromWindowTest, TypedAnimationThatNamesNoEntryTagsNothing)
{
    openWindow();
    selectThroughDialog(writePage(u"offer.html"_s));
    typeInto(combo("cboAnimations"), u"Zoom"_s);
    clickGo();
    const QString written =
        QString::fromUtf8(readFile(QDir(pageFolder).filePath(u"offer_modified.html"_s)));
    ASSERT_FALSE(written.isEmpty());
    EXPECT_FALSE(written.contains(animatedHeading)) << written.toStdString();
    EXPECT_TRUE(window->lastRun().lstFX().isEmpty());
}

TEST_F(RunFromWindowTest, OverwriteQuestionAnsweredNoKeepsTheOldOutput)
{
    openWindow();
    const QString page = writePage(u"offer.html"_s);
    const QString output = writePage(u"offer_modified.html"_s, "older output");
    selectThroughDialog(page);
    host->answer = false;
    clickGo();

    EXPECT_EQ(host->questions,
              QStringList({u"Overwrite?: "_s + OverwriteQuestion(u"offer_modified.html"_s)}));
    EXPECT_EQ(readFile(output), QByteArray("older output"));
    EXPECT_EQ(filesBelow(pageFolder), QStringList({u"offer.html"_s, u"offer_modified.html"_s}));
    EXPECT_TRUE(host->messages.isEmpty());
    EXPECT_TRUE(host->openedFolders.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    host->answer = true;
    clickGo();
    EXPECT_NE(readFile(output), QByteArray("older output"));
    EXPECT_EQ(host->openedFolders.size(), 1);
}

TEST_F(RunFromWindowTest, RefusesWithoutAPageOrWithoutAnOptionAndWritesNothing)
{
    openWindow();
    clickGo();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, u"Ooops!"_s);
    EXPECT_EQ(host->messages[0].text, QString::fromLatin1(message::NoPageSelected));
    EXPECT_EQ(host->messages[0].icon, MessageIcon::Information);

    const QString page = writePage(u"offer.html"_s);
    selectThroughDialog(page);
    check("chkAnimations")->setChecked(false);
    check("chkFonts")->setChecked(false);
    // The back button alone does not make a run.
    check("chkEnableBack")->setChecked(true);
    clickGo();
    ASSERT_EQ(host->messages.size(), 2);
    EXPECT_EQ(host->messages[1].title, u"Ooops!"_s);
    EXPECT_EQ(host->messages[1].text, QString::fromLatin1(message::NothingToChange));

    EXPECT_EQ(filesBelow(work.path()), QStringList({u"pages/offer.html"_s}));
    EXPECT_TRUE(host->openedFolders.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(RunFromWindowTest, AValueThatCannotGoIntoThePageIsRefusedNamingTheField)
{
    const QString page = writePage(u"offer.html"_s);
    struct Case {
        const char *field;
        QString typed;
        QString named;  // how the message names the field
    };
    const Case cases[] = {
        {"cboFonts", u"Lato'; color: red"_s, u"font name"_s},
        {"cboFonts", u""_s, u"font name is empty"_s},
        {"cboFontSize_0", u"44px"_s, u"H1"_s},
        {"cboFontSize_1", u"4x"_s, u"H2"_s},
        {"cboFontSize_2", u"-3"_s, u"H3"_s},
    };
    for (const Case &wrong : cases) {
        SCOPED_TRACE(wrong.field);
        openWindow();
        selectThroughDialog(page);
        typeInto(combo(wrong.field), wrong.typed);
        clickGo();
        ASSERT_EQ(host->messages.size(), 1);
        EXPECT_EQ(host->messages[0].title, u"Ooops!"_s);
        EXPECT_EQ(host->messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(host->messages[0].text.contains(wrong.named))
            << host->messages[0].text.toStdString();
        EXPECT_TRUE(host->messages[0].text.contains(wrong.typed))
            << host->messages[0].text.toStdString();
        EXPECT_EQ(filesBelow(pageFolder), QStringList({u"offer.html"_s}));
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(RunFromWindowTest, AnUntickedFontOrSizeIsNotChecked)
{
    openWindow();
    selectThroughDialog(writePage(u"offer.html"_s));
    typeInto(combo("cboFontSize_1"), u"big"_s);
    check("chkHFontSize_1")->setChecked(false);
    clickGo();
    EXPECT_TRUE(QFile::exists(QDir(pageFolder).filePath(u"offer_modified.html"_s)));

    // Without the font, neither the font name nor any size goes into the page.
    openWindow();
    selectThroughDialog(writePage(u"second.html"_s));
    typeInto(combo("cboFonts"), u"<b>"_s);
    typeInto(combo("cboFontSize_0"), u"huge"_s);
    check("chkFonts")->setChecked(false);
    clickGo();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, QString::fromLatin1(message::DoneTitle));
}

TEST_F(RunFromWindowTest, AnEmptyFontListAsksForAFontOnlyWhenFontsAreTicked)
{
    const QString snippets = work.filePath(u"snippets"_s);
    test_support::copySnippetFolder(snippets);
    writeFile(snippets + u"/gfonts.txt"_s, "");
    openWindow(snippets);
    selectThroughDialog(writePage(u"offer.html"_s));
    clickGo();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(QFile::exists(QDir(pageFolder).filePath(u"offer_modified.html"_s)));

    check("chkFonts")->setChecked(false);
    clickGo();
    EXPECT_TRUE(QFile::exists(QDir(pageFolder).filePath(u"offer_modified.html"_s)));
}

TEST_F(RunFromWindowTest, APageThatCannotBeReadIsReportedAsAWarning)
{
    openWindow();
    const QString missing = QDir(pageFolder).filePath(u"gone.html"_s);
    selectThroughDialog(missing);
    EXPECT_FALSE(window->WebBrowser1().has_value());
    clickGo();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, QString::fromLatin1(message::ErrorTitle));
    EXPECT_EQ(host->messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(host->messages[0].text.contains(u"gone.html"_s));
    EXPECT_TRUE(filesBelow(pageFolder).isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// --- Page selection -------------------------------------------------------------------------

using PageSelectionTest = MainWindowTest;

TEST_F(PageSelectionTest, TheSelectButtonOpensOneDialogOnly)
{
    openWindow();
    window->show();
    auto *select = control<QPushButton>("cmdSelect");
    QTest::mouseClick(select, Qt::LeftButton);
    QPointer<frmdropfiles> first = window->dropFilesDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    // The window stays usable while the dialog is open.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTest::mouseClick(select, Qt::LeftButton);
    EXPECT_EQ(window->dropFilesDialog(), first);
    EXPECT_EQ(window->findChildren<frmdropfiles *>().size(), 1);
    EXPECT_TRUE(first->isVisible());

    // Once closed, the dialog is gone, and the next click opens a new one.
    first->close();
    processDeferredDeletes();
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(window->dropFilesDialog(), nullptr);
    QTest::mouseClick(select, Qt::LeftButton);
    ASSERT_NE(window->dropFilesDialog(), nullptr);
    EXPECT_TRUE(window->dropFilesDialog()->isVisible());
    EXPECT_EQ(window->findChildren<frmdropfiles *>().size(), 1);
}

TEST_F(PageSelectionTest, ASecondPageReplacesTheFirst)
{
    openWindow();
    const QString first = writePage(u"first.html"_s);
    const QString second = writePage(u"second.htm"_s, "<h1>One</h1><h1>Two</h1>");
    selectThroughDialog(first);
    ASSERT_TRUE(window->WebBrowser1().has_value());
    EXPECT_EQ(window->WebBrowser1()->getElementsByTagName(u"h1"_s).size(), 1);

    selectThroughDialog(second);
    EXPECT_EQ(control<QLabel>("lblSelectedFile")->text(), second);
    ASSERT_TRUE(window->WebBrowser1().has_value());
    EXPECT_EQ(window->WebBrowser1()->getElementsByTagName(u"h1"_s).size(), 2);
}

TEST_F(PageSelectionTest, OkWithNothingDroppedClearsTheSelection)
{
    openWindow();
    const QString page = writePage(u"offer.html"_s);
    selectThroughDialog(page);
    ASSERT_TRUE(window->WebBrowser1().has_value());

    QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
    QPointer<frmdropfiles> dialog = window->dropFilesDialog();
    ASSERT_NE(dialog, nullptr);
    auto *ok = dialog->findChild<QPushButton *>(u"cmdOk"_s);
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    processDeferredDeletes();

    EXPECT_EQ(dialog, nullptr);
    EXPECT_TRUE(control<QLabel>("lblSelectedFile")->text().isEmpty());
    EXPECT_FALSE(window->WebBrowser1().has_value());
    clickGo();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].text, QString::fromLatin1(message::NoPageSelected));
}

TEST_F(PageSelectionTest, ADroppedPageConfirmedWithOkBecomesTheSelection)
{
    openWindow();
    const QString page = writePage(u"offer.html"_s);
    QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
    frmdropfiles *dialog = window->dropFilesDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->ProcessHDrop({page});
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("lblSelectedFile")->text(), page);
    EXPECT_TRUE(window->WebBrowser1().has_value());
}

TEST_F(PageSelectionTest, CancelKeepsTheSelection)
{
    openWindow();
    const QString page = writePage(u"offer.html"_s);
    selectThroughDialog(page);
    frmdropfiles *dialog = window->dropFilesDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->ProcessHDrop({writePage(u"other.html"_s)});
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdUnload"_s), Qt::LeftButton);
    processDeferredDeletes();
    EXPECT_EQ(window->dropFilesDialog(), nullptr);
    EXPECT_EQ(control<QLabel>("lblSelectedFile")->text(), page);
}

TEST_F(PageSelectionTest, TheDialogsMessageComesThroughTheWindowsHost)
{
    openWindow();
    QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
    frmdropfiles *dialog = window->dropFilesDialog();
    ASSERT_NE(dialog, nullptr);
    // Browse mode with no file chosen: Ok asks for one and keeps the dialog open.
    QTest::mouseClick(dialog->findChild<QLabel *>(u"Label5"_s), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, u"File Selection"_s);
    EXPECT_EQ(host->messages[0].text, u"Please select an HTML file (.htm or .html)"_s);
    EXPECT_EQ(host->messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(window->dropFilesDialog(), dialog);
    EXPECT_TRUE(dialog->isVisible());
}

// --- "Learn More" ---------------------------------------------------------------------------

using LearnMoreTest = MainWindowTest;

TEST_F(LearnMoreTest, ShowsTheSameAboutMessageEveryTimeAndChangesNothing)
{
    openWindow();
    check("chkEnableBack")->setChecked(true);
    const RunOptions before = window->readOptions();
    auto *learnMore = control<QLabel>("Label5");
    QTest::mouseClick(learnMore, Qt::LeftButton);
    check("chkEnableBack")->setChecked(false);
    QTest::mouseClick(learnMore, Qt::LeftButton);
    check("chkEnableBack")->setChecked(true);

    const QString about =
        u"The 'Back Button' event control is a feature that most of the modern browser have and it "
        "allows your visitors to go back to the previous page (a page that they have visited "
        "before "
        "they arrived to your website, like Google etc). To use it, just enable this option and "
        "enter the url for the redirection (affiliate etc)."_s;
    ASSERT_EQ(host->messages.size(), 2);
    for (const Message &shown : host->messages) {
        EXPECT_EQ(shown.title, u"About"_s);
        EXPECT_EQ(shown.text, about);
        EXPECT_EQ(shown.icon, MessageIcon::Information);
    }
    const RunOptions after = window->readOptions();
    EXPECT_EQ(after.backButton, before.backButton);
    EXPECT_EQ(after.backRedirect, before.backRedirect);
    EXPECT_EQ(after.fontName, before.fontName);
    EXPECT_TRUE(host->openedFolders.isEmpty());
}

TEST_F(LearnMoreTest, OnlyALeftClickOnTheLinkShowsIt)
{
    openWindow();
    QTest::mouseClick(control<QLabel>("Label5"), Qt::RightButton);
    QTest::mouseClick(control<QLabel>("Label4"), Qt::LeftButton);
    EXPECT_TRUE(host->messages.isEmpty());
}

}  // namespace
