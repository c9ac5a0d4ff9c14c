// The main window driven as a user drives it: clicks, keys and typing on the real widgets, pages on
// disk in temporary folders, every message answered by a host that records it.

#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "ui/intake/frmdropfiles.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/elided_label.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

struct Message {
    QString title;
    QString text;
    MessageIcon icon;
};

// Stands in for the message boxes, the file manager and the browser: records what the window
// shows and answers the overwrite question as told.
class FakeHost final : public WindowHost {
public:
    void inform(const QString &title, const QString &text, MessageIcon icon) override
    {
        noteThread();
        messages.append({title, text, icon});
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        noteThread();
        questions.append(title + u": "_s + text);
        return answer;
    }
    void openFolder(const QString &folder) override { opened.append(u"folder "_s + folder); }
    void showInFolder(const QString &file) override
    {
        noteThread();
        opened.append(u"show "_s + file);
    }
    void openPage(const QString &page) override { opened.append(u"page "_s + page); }
    void notice(const QString &text) override { notices.append(text); }

    // Message boxes belong to the interface thread; the run's worker must never show one itself.
    void noteThread() { offThread = offThread || QThread::currentThread() != qApp->thread(); }

    bool offThread = false;
    bool answer = true;
    QList<Message> messages;
    QStringList questions;
    QStringList opened;
    QStringList notices;
};

const QByteArray samplePage = "<!DOCTYPE html>\n<html><head><title>Offer</title></head>"
                              "<body><h1>Grow a green thumb</h1><p>Only today.</p>"
                              "<img src=\"plant.png\"></body></html>\n";

// An h1 that the animation stage tagged.
const QRegularExpression animatedHeading(uR"(<h1 [^>]*class="[^"]*\bwow\b)"_s);

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

// One key, sent where the keyboard focus is, as a key press reaches the program.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the keyboard focus";
    QTest::keyClick(focus, key, modifiers);
}

// Waits until `window` has the keyboard: the window system says so first, the program a moment
// later.
bool becameActive(QWidget *window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
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
    void TearDown() override
    {
        window.reset();
        // A run left going by a failed test ends before the next test's files are made.
        QThreadPool::globalInstance()->waitForDone();
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
    QString outputOf(const QString &name) const { return QDir(pageFolder).filePath(name); }

    // Picks the page as the user does: the select button opens the intake dialog, which confirms
    // the page.
    void selectThroughDialog(const QString &path)
    {
        QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
        frmdropfiles *dialog = window->dropFilesDialog();
        ASSERT_NE(dialog, nullptr);
        emit dialog->pageConfirmed(path);
    }

    // A click on the run button, then the run's end (it runs on a worker thread).
    void clickGoAndWait()
    {
        QTest::mouseClick(control<QPushButton>("cmdGo"), Qt::LeftButton);
        waitForRun();
    }
    void waitForRun() const
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isRunning(); }, 60'000));
    }

    QTemporaryDir work;
    QString pageFolder = work.filePath(u"pages"_s);
    std::unique_ptr<frmMain> window;
    FakeHost *host = nullptr;
};

// --- Start-up -------------------------------------------------------------------------------

using StartUpTest = MainWindowTest;

TEST_F(StartUpTest, StartsWithTheCommandLinesDefaultsAndTheFirstFontOfTheList)
{
    const QString snippets = work.filePath(u"snippets"_s);
    test_support::copySnippetFolder(snippets);
    writeFile(snippets + u"/gfonts.txt"_s, "Lato\r\nMerriweather Sans\r\nM PLUS 1p\r\n");
    openWindow(snippets);
    EXPECT_EQ(combo("cboFonts")->count(), 3);

    RunOptions expected;
    expected.fontName = u"Lato"_s;
    const RunOptions shown = window->readOptions();
    EXPECT_EQ(shown.selectedFile, expected.selectedFile);
    EXPECT_EQ(shown.animations, expected.animations);
    EXPECT_EQ(shown.animationFamily, expected.animationFamily);
    EXPECT_EQ(shown.speed, expected.speed);
    EXPECT_EQ(shown.fonts, expected.fonts);
    EXPECT_EQ(shown.fontName, expected.fontName);
    for (std::size_t i = 0; i < expected.headingSizes.size(); ++i) {
        EXPECT_EQ(shown.headingSizes[i].enabled, expected.headingSizes[i].enabled);
        EXPECT_EQ(shown.headingSizes[i].pixels, expected.headingSizes[i].pixels);
    }
    EXPECT_EQ(shown.backButton, expected.backButton);
    EXPECT_EQ(shown.backRedirect, expected.backRedirect);
}

TEST_F(StartUpTest, AMissingOrIncompleteSnippetsFolderIsToldWithItsPathWhenTheWindowShows)
{
    const QString snippets = work.filePath(u"snippets"_s);
    const struct {
        const char *damage;
        std::function<void()> apply;
        QString told;  // empty: nothing is told
    } cases[] = {
        {"complete", [] {}, {}},
        {"empty font list", [&] { writeFile(snippets + u"/gfonts.txt"_s, ""); }, {}},
        {"no back-button script", [&] { QFile::remove(snippets + u"/b.cfg"_s); },
         u"\"%1\" is incomplete: b.cfg is missing."_s.arg(snippets)},
        {"no library", [&] { QDir(snippets + u"/anilibs"_s).removeRecursively(); },
         u"\"%1\" is incomplete: anilibs is missing."_s.arg(snippets)},
        {"no folder", [&] { QDir(snippets).removeRecursively(); },
         u"\"%1\" is missing."_s.arg(snippets)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.damage);
        QDir(snippets).removeRecursively();
        test_support::copySnippetFolder(snippets);
        c.apply();
        openWindow(snippets);
        window->show();
        QTest::qWait(20);
        if (c.told.isEmpty()) {
            EXPECT_TRUE(host->messages.isEmpty());
        } else {
            ASSERT_EQ(host->messages.size(), 1);
            EXPECT_EQ(host->messages[0].icon, MessageIcon::Error);
            EXPECT_TRUE(host->messages[0].text.contains(c.told))
                << host->messages[0].text.toStdString();
        }
    }
}

TEST_F(StartUpTest, BothWindowsFitOnTheScreenAndStartInItsMiddle)
{
    openWindow();
    window->show();
    QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
    for (QWidget *shown : {static_cast<QWidget *>(window.get()),
                           static_cast<QWidget *>(window->dropFilesDialog())}) {
        SCOPED_TRACE(shown->objectName().toStdString());
        ASSERT_NE(shown->screen(), nullptr);
        const QRect screen = shown->screen()->availableGeometry();
        // The test screen (800 x 600) is smaller than the dialog is drawn for.
        EXPECT_TRUE(screen.contains(shown->frameGeometry()))
            << shown->width() << "x" << shown->height();
        const QPoint offset = shown->frameGeometry().center() - screen.center();
        EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << ", " << offset.y();
    }
}

// --- What the run reads from the controls ---------------------------------------------------

using OptionFieldTest = MainWindowTest;

TEST_F(OptionFieldTest, TheControlsOfAnUntickedOptionAreDisabledAndKeepTheirValues)
{
    const QStringList dependent{u"cboAnimations"_s,  u"cboSpeed"_s,       u"cboFonts"_s,
                                u"chkHFontSize_0"_s, u"cboFontSize_0"_s,  u"chkHFontSize_1"_s,
                                u"cboFontSize_1"_s,  u"chkHFontSize_2"_s, u"cboFontSize_2"_s,
                                u"txtBackRedirect"_s};
    const struct {
        std::vector<const char *> ticked;  // from the start-up state, toggled in this order
        QStringList disabled;
    } cases[] = {
        {{}, {u"txtBackRedirect"_s}},
        {{"chkEnableBack"}, {}},
        {{"chkAnimations"}, {u"cboAnimations"_s, u"cboSpeed"_s, u"txtBackRedirect"_s}},
        {{"chkHFontSize_1"}, {u"cboFontSize_1"_s, u"txtBackRedirect"_s}},
        {{"chkFonts"},
         {u"cboFonts"_s, u"chkHFontSize_0"_s, u"cboFontSize_0"_s, u"chkHFontSize_1"_s,
          u"cboFontSize_1"_s, u"chkHFontSize_2"_s, u"cboFontSize_2"_s, u"txtBackRedirect"_s}},
    };
    for (const auto &c : cases) {
        openWindow();
        typeInto(combo("cboFontSize_1"), u"50"_s);
        for (const char *name : c.ticked) {
            check(name)->click();
        }
        for (const QString &name : dependent) {
            auto *widget = control<QWidget>(name.toLatin1().constData());
            EXPECT_EQ(widget->isEnabled(), !c.disabled.contains(name))
                << name.toStdString() << " after toggling " << c.ticked.size() << " boxes";
        }
        EXPECT_EQ(window->readOptions().headingSizes[1].pixels, u"50"_s);
    }
}

TEST_F(OptionFieldTest, ATypedAnimationOrSpeedMatchesItsEntryInAnyLetterCase)
{
    openWindow();
    const struct {
        const char *field;
        QString typed;
        int index;
    } cases[] = {
        {"cboSpeed", u"slow"_s, AnimationSpeed::Slow},
        {"cboSpeed", u" FAST "_s, AnimationSpeed::Fast},
        {"cboAnimations", u"bounce + slide"_s, AnimationFamily::BounceSlide},
        {"cboAnimations", u"FADE"_s, AnimationFamily::Fade},
        {"cboAnimations", u"Zoom"_s, -1},
    };
    for (const auto &c : cases) {
        typeInto(combo(c.field), c.typed);
        const RunOptions options = window->readOptions();
        EXPECT_EQ(qstrcmp(c.field, "cboSpeed") == 0 ? options.speed : options.animationFamily,
                  c.index)
            << c.typed.toStdString();
    }
}

// --- The run --------------------------------------------------------------------------------

using RunFromWindowTest = MainWindowTest;

TEST_F(RunFromWindowTest, FromASelectedPageToTheWrittenOutputShownInTheWindow)
{
    openWindow();
    // The page animates one element of its own: the window says so beside the result.
    QByteArray bytes = samplePage;
    bytes.replace("<p>", "<p class=\"wow\">");
    const QString page = writePage(u"offer.html"_s, bytes);
    selectThroughDialog(page);
    EXPECT_EQ(window->selectedFile(), page);
    EXPECT_EQ(control<ElidedLabel>("lblSelectedFile")->fullText(), page);

    typeInto(combo("cboFontSize_0"), u"50"_s);
    clickGoAndWait();

    const QString output = outputOf(u"offer_modified.html"_s);
    const QString written = QString::fromUtf8(readFile(output));
    EXPECT_TRUE(written.contains(u"anilibs/"_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(animatedHeading)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"Open+Sans"_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"50px"_s)) << written.toStdString();
    EXPECT_FALSE(QDir(pageFolder + u"/anilibs"_s).isEmpty());
    EXPECT_EQ(readFile(page), bytes);
    EXPECT_FALSE(control<QLabel>("lblRunNotice")->isHidden());
    EXPECT_TRUE(control<QLabel>("lblRunNotice")->text().contains(u"1 element"_s));

    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, QString::fromLatin1(message::DoneTitle));
    EXPECT_EQ(host->messages[0].text, QString::fromLatin1(message::DoneText));
    // The folder opens with the new page selected; the window shows where it went and opens it
    // on request.
    EXPECT_EQ(host->opened, QStringList{u"show "_s + output});
    EXPECT_FALSE(host->offThread);
    EXPECT_EQ(control<ElidedLabel>("lblOutputFile")->fullText(), output);
    QTest::mouseClick(control<QPushButton>("cmdOpenPage"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("cmdOpenFolder"), Qt::LeftButton);
    EXPECT_EQ(host->opened,
              QStringList({u"show "_s + output, u"page "_s + output, u"show "_s + output}));
    EXPECT_TRUE(control<QPushButton>("cmdGo")->isEnabled());
}

TEST_F(RunFromWindowTest, ALargePageRunsWhileTheWindowKeepsWorking)
{
    QByteArray page = "<!DOCTYPE html><html><head><title>Big</title></head><body>";
    const QByteArray block = "<h1>Offer</h1><p>" +
                             QByteArray("Grow a green thumb. ").repeated(100) +
                             "</p><img src=p.png>";
    page += block.repeated(2 * 1024 * 1024 / block.size()) + "</body></html>";
    openWindow();
    window->show();
    selectThroughDialog(writePage(u"big.html"_s, page));

    int ticks = 0;
    QStringList steps;
    bool buttonOffThroughout = true;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!window->isRunning()) {
            return;
        }
        ++ticks;
        buttonOffThroughout = buttonOffThroughout && !control<QPushButton>("cmdGo")->isEnabled();
        const QString step = control<QLabel>("lblRunStep")->text();
        if (steps.isEmpty() || steps.last() != step) {
            steps.append(step);
        }
    });
    timer.start(10);
    QTest::mouseClick(control<QPushButton>("cmdGo"), Qt::LeftButton);
    ASSERT_TRUE(window->isRunning());
    // A second start while the first runs is not taken.
    window->cmdGo_Click();
    waitForRun();
    timer.stop();

    EXPECT_GE(ticks, 10) << "the interface thread stood still during the run";
    EXPECT_TRUE(buttonOffThroughout);
    EXPECT_GE(steps.size(), 2) << steps.join(u" | "_s).toStdString();
    EXPECT_EQ(host->messages.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(outputOf(u"big_modified.html"_s)));

    // A window closed in the middle of a run lets the run end without it: the existing output
    // is kept rather than replaced unasked, and nothing hangs.
    const QByteArray before = readFile(outputOf(u"big_modified.html"_s));
    QTest::mouseClick(control<QPushButton>("cmdGo"), Qt::LeftButton);
    window.reset();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(readFile(outputOf(u"big_modified.html"_s)), before);
}

TEST_F(RunFromWindowTest, OverwriteQuestionAnsweredNoKeepsTheOldOutput)
{
    openWindow();
    const QString page = writePage(u"offer.html"_s);
    const QString output = writePage(u"offer_modified.html"_s, "older output");
    selectThroughDialog(page);
    host->answer = false;
    clickGoAndWait();

    EXPECT_EQ(host->questions,
              QStringList({u"Overwrite?: "_s + OverwriteQuestion(u"offer_modified.html"_s)}));
    EXPECT_FALSE(host->offThread);
    EXPECT_EQ(readFile(output), QByteArray("older output"));
    EXPECT_EQ(filesBelow(pageFolder), QStringList({u"offer.html"_s, u"offer_modified.html"_s}));
    EXPECT_TRUE(host->messages.isEmpty());
    EXPECT_TRUE(host->opened.isEmpty());

    host->answer = true;
    clickGoAndWait();
    EXPECT_NE(readFile(output), QByteArray("older output"));
    EXPECT_EQ(host->opened.size(), 1);
}

TEST_F(RunFromWindowTest, RefusesWithoutAPageOrWithoutAnOptionAndPointsToTheCause)
{
    openWindow();
    window->show();
    clickGoAndWait();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, u"Ooops!"_s);
    EXPECT_EQ(host->messages[0].text, QString::fromLatin1(message::NoPageSelected));
    EXPECT_TRUE(control<QPushButton>("cmdSelect")->hasFocus());

    selectThroughDialog(writePage(u"offer.html"_s));
    check("chkAnimations")->setChecked(false);
    check("chkFonts")->setChecked(false);
    // The back button alone does not make a run, and its address is not looked at.
    check("chkEnableBack")->setChecked(true);
    clickGoAndWait();
    ASSERT_EQ(host->messages.size(), 2);
    EXPECT_EQ(host->messages[1].title, u"Ooops!"_s);
    EXPECT_EQ(host->messages[1].text, QString::fromLatin1(message::NothingToChange));

    EXPECT_EQ(filesBelow(work.path()), QStringList({u"pages/offer.html"_s}));
    EXPECT_TRUE(host->opened.isEmpty());
}

TEST_F(RunFromWindowTest, AValueThatCannotGoIntoThePageIsRefusedNamingTheField)
{
    const QString page = writePage(u"offer.html"_s);
    const struct {
        const char *field;
        QString typed;
        QString named;  // how the message names the field and what is wrong
    } cases[] = {
        {"cboAnimations", u"Zoom"_s, u"The animation \"Zoom\" is not in the list."_s},
        {"cboSpeed", u"Very fast"_s, u"The speed \"Very fast\" is not in the list."_s},
        {"cboFonts", u"Lato'; color: red"_s, u"font name \"Lato'; color: red\""_s},
        {"cboFonts", u""_s, u"font name is empty"_s},
        {"cboFontSize_0", u"44px"_s, u"H1 \"44px\""_s},
        {"cboFontSize_1", u"201"_s,
         u"H2 \"201\" cannot be used: a size is a number of pixels "
         "from 8 to 200"_s},
        {"cboFontSize_2", u"7"_s, u"H3 \"7\""_s},
        {"txtBackRedirect", u"http://"_s,
         u"The address \"http://\" in \"Redirect Visitors To:\" has no site"_s},
        {"txtBackRedirect", u"example.com/offer"_s, u"\"https://example.com/offer\"?"_s},
        {"txtBackRedirect", u"https://example.com/my offer"_s, u"holds spaces"_s},
        {"txtBackRedirect", u"javascript:alert(1)"_s, u"is not a web address"_s},
    };
    for (const auto &wrong : cases) {
        SCOPED_TRACE(wrong.typed.toStdString());
        openWindow();
        window->show();
        selectThroughDialog(page);
        check("chkEnableBack")->setChecked(true);
        control<QLineEdit>("txtBackRedirect")->setText(u"https://example.com/offer"_s);
        if (qstrcmp(wrong.field, "txtBackRedirect") == 0) {
            control<QLineEdit>(wrong.field)->setText(wrong.typed);
        } else {
            typeInto(combo(wrong.field), wrong.typed);
        }
        clickGoAndWait();
        ASSERT_EQ(host->messages.size(), 1);
        EXPECT_EQ(host->messages[0].title, u"Ooops!"_s);
        EXPECT_EQ(host->messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(host->messages[0].text.contains(wrong.named))
            << host->messages[0].text.toStdString();
        EXPECT_EQ(filesBelow(pageFolder), QStringList({u"offer.html"_s}));
        // The field at fault has the focus, so the user can type the value again.
        QWidget *focus = window->focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus->objectName() == QLatin1StringView(wrong.field) ||
                    focus->parentWidget()->objectName() == QLatin1StringView(wrong.field))
            << focus->objectName().toStdString();
    }
}

TEST_F(RunFromWindowTest, TheFieldsOfAnUntickedOptionAreNotChecked)
{
    openWindow();
    selectThroughDialog(writePage(u"offer.html"_s));
    typeInto(combo("cboFontSize_1"), u"big"_s);
    check("chkHFontSize_1")->setChecked(false);
    control<QLineEdit>("txtBackRedirect")->setText(u"offer"_s);
    clickGoAndWait();
    EXPECT_TRUE(QFile::exists(outputOf(u"offer_modified.html"_s)));

    // Without the font, neither the font name nor any size goes into the page; without
    // animations, neither the animation nor the speed.
    openWindow();
    selectThroughDialog(writePage(u"second.html"_s));
    typeInto(combo("cboFonts"), u"<b>"_s);
    typeInto(combo("cboFontSize_0"), u"huge"_s);
    check("chkFonts")->setChecked(false);
    clickGoAndWait();
    typeInto(combo("cboSpeed"), u"warp"_s);
    check("chkAnimations")->setChecked(false);
    check("chkFonts")->setChecked(true);
    typeInto(combo("cboFonts"), u"Lato"_s);
    typeInto(combo("cboFontSize_0"), u"40"_s);
    clickGoAndWait();
    ASSERT_EQ(host->messages.size(), 2);
    EXPECT_EQ(host->messages[1].title, QString::fromLatin1(message::DoneTitle));
}

TEST_F(RunFromWindowTest, APageThatCannotBeReadIsToldOnSelectionAndAtTheRun)
{
    openWindow();
    window->show();
    const QString missing = QDir(pageFolder).filePath(u"gone.html"_s);
    selectThroughDialog(missing);
    auto *problem = control<QLabel>("lblPageProblem");
    ASSERT_TRUE(QTest::qWaitFor([&] { return problem->isVisible(); }));
    EXPECT_TRUE(problem->text().contains(missing)) << problem->text().toStdString();
    EXPECT_TRUE(host->messages.isEmpty());

    clickGoAndWait();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, QString::fromLatin1(message::ErrorTitle));
    EXPECT_TRUE(host->messages[0].text.contains(u"gone.html"_s));
    EXPECT_TRUE(filesBelow(pageFolder).isEmpty());

    // A readable page clears the warning.
    selectThroughDialog(writePage(u"offer.html"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !problem->isVisible(); }));
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

    // Once closed, the dialog is gone, and the next click opens a new one.
    first->close();
    processDeferredDeletes();
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(window->dropFilesDialog(), nullptr);
    QTest::mouseClick(select, Qt::LeftButton);
    ASSERT_NE(window->dropFilesDialog(), nullptr);
    EXPECT_TRUE(window->dropFilesDialog()->isVisible());
}

TEST_F(PageSelectionTest, OkWithNothingDroppedClearsTheSelection)
{
    openWindow();
    selectThroughDialog(writePage(u"offer.html"_s));

    QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
    QPointer<frmdropfiles> dialog = window->dropFilesDialog();
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    processDeferredDeletes();

    EXPECT_EQ(dialog, nullptr);
    EXPECT_TRUE(window->selectedFile().isEmpty());
    clickGoAndWait();
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].text, QString::fromLatin1(message::NoPageSelected));
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
    EXPECT_EQ(window->dropFilesDialog(), dialog);
    EXPECT_TRUE(dialog->isVisible());
}

// --- The keyboard and screen readers --------------------------------------------------------

using KeyboardTest = MainWindowTest;

TEST_F(KeyboardTest, APageIsSelectedAndRunWithTheKeyboardAlone)
{
    const QString page = writePage(u"offer.html"_s);
    // The browse lists open at the current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(pageFolder);
    openWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(becameActive(window.get()));

    // An access key presses its button the way a click does, a moment later.
    pressKey(Qt::Key_S, Qt::AltModifier);  // "Select an HTML File"
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->dropFilesDialog() != nullptr; }));
    frmdropfiles *dialog = window->dropFilesDialog();
    ASSERT_TRUE(becameActive(dialog));
    pressKey(Qt::Key_Return);  // the focused link: browse mode, the page list gets the keyboard
    auto *pages = dialog->findChild<QListView *>(u"File1"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pages->model()->rowCount(pages->rootIndex()) == 1; }));
    pressKey(Qt::Key_Space);   // picks the page under the focus frame
    pressKey(Qt::Key_Return);  // Ok, the dialog's default button
    EXPECT_EQ(window->selectedFile(), page);

    ASSERT_TRUE(becameActive(window.get()));
    pressKey(Qt::Key_D, Qt::AltModifier);  // "Let's Do This with 1 Click!"
    EXPECT_TRUE(QTest::qWaitFor([&] { return !host->messages.isEmpty(); }, 60'000));
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo::exists(outputOf(u"offer_modified.html"_s)));
    ASSERT_EQ(host->messages.size(), 1);
    EXPECT_EQ(host->messages[0].title, QString::fromLatin1(message::DoneTitle));
}

TEST_F(KeyboardTest, TabReachesEveryControlOnceAndEachHasAName)
{
    openWindow();
    window->show();
    check("chkEnableBack")->setChecked(true);
    QTest::mouseClick(control<QPushButton>("cmdSelect"), Qt::LeftButton);
    frmdropfiles *dialog = window->dropFilesDialog();
    QTest::mouseClick(dialog->findChild<QLabel *>(u"Label5"_s), Qt::LeftButton);

    for (QWidget *top : {static_cast<QWidget *>(window.get()), static_cast<QWidget *>(dialog)}) {
        SCOPED_TRACE(top->objectName().toStdString());
        top->activateWindow();
        ASSERT_TRUE(becameActive(top));
        QList<QWidget *> expected;
        for (QWidget *widget : top->findChildren<QWidget *>()) {
            if (widget->window() == top && widget->isVisibleTo(top) && widget->isEnabled() &&
                (widget->focusPolicy() & Qt::TabFocus) && widget->focusProxy() == nullptr) {
                expected.append(widget);
            }
        }
        QList<QWidget *> reached;
        for (int i = 0; i <= expected.size(); ++i) {
            pressKey(Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            while (focus->focusProxy() != nullptr) {
                focus = focus->focusProxy();
            }
            if (reached.contains(focus)) {
                break;
            }
            reached.append(focus);
        }
        EXPECT_EQ(reached.size(), expected.size());
        for (QWidget *widget : expected) {
            EXPECT_TRUE(reached.contains(widget)) << widget->objectName().toStdString();
            const QString name =
                QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(KeyboardTest, LearnMoreAnswersAClickEnterAndSpace)
{
    openWindow();
    window->show();
    auto *learnMore = control<QLabel>("Label5");
    learnMore->setFocus();
    QTest::mouseClick(learnMore, Qt::LeftButton);
    QTest::keyClick(learnMore, Qt::Key_Return);
    QTest::keyClick(learnMore, Qt::Key_Space);
    QTest::mouseClick(learnMore, Qt::RightButton);
    ASSERT_EQ(host->messages.size(), 3);
    for (const Message &shown : host->messages) {
        EXPECT_EQ(shown.title, u"About"_s);
        EXPECT_TRUE(shown.text.startsWith(u"The 'Back Button' event control is a feature"_s));
    }
}

}  // namespace
