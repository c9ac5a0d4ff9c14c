// The main window driven as a user drives it: clicks, keys and typing on the real widgets, pages on
// disk in temporary folders, every message answered by a host that records it. What a run writes
// into the page is the engine tests' business; here the window starts the run and shows its end.

#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "ui/main/frmmain.h"
#include "ui/main/message_box_host.h"
#include "ui/widgets/elided_label.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

// Stands in for the message boxes, the file manager and the browser: records what the window
// shows ("title: text") and answers the overwrite question as told. Message boxes belong to the
// interface thread; the run's worker must never show one itself.
class FakeHost final : public WindowHost {
public:
    void inform(const QString &title, const QString &text, MessageIcon /*icon*/) override
    {
        record(told, title + u": "_s + text);
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        record(asked, title + u": "_s + text);
        return answer;
    }
    void openFolder(const QString & /*folder*/) override {}
    void showInFolder(const QString &file) override { record(opened, u"show "_s + file); }
    void openPage(const QString &page) override { record(opened, u"page "_s + page); }
    void notice(const QString & /*text*/) override {}
    void record(QStringList &list, const QString &what)
    {
        offThread = offThread || QThread::currentThread() != qApp->thread();
        list.append(what);
    }

    bool offThread = false;
    bool answer = true;
    QStringList told, asked, opened;
};

// The page animates one element of its own, which the window tells beside the result.
const QByteArray samplePage = "<!DOCTYPE html>\n<html><head><title>Offer</title></head><body>"
                              "<h1>Grow a green thumb</h1><p class=\"wow\">Only today.</p></body>"
                              "</html>\n";
const QString refused = u"Ooops!: "_s;
const QString done =
    QString::fromLatin1(message::DoneTitle) + u": "_s + QString::fromLatin1(message::DoneText);

// One key, sent where the keyboard focus is, as a key press reaches the program.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the keyboard focus";
    QTest::keyClick(focus, key, modifiers);
}

// Waits until `window` has the keyboard: the window system says so, then the program.
bool becameActive(QWidget *window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(work.isValid()); }
    void TearDown() override
    {
        window.reset();
        // A run left going by a failed test ends before the next test's files are made.
        QThreadPool::globalInstance()->waitForDone();
    }

    // A shown window over the project's own snippet folder, or over `snippets` when given.
    void openWindow(const QString &snippets = QString::fromUtf8(LUMIVANE_SNIPPETS_DIR))
    {
        auto fake = std::make_unique<FakeHost>();
        host = fake.get();
        window = std::make_unique<frmMain>(SnippetFolder(snippets), std::move(fake));
        window->show();
    }

    // A control of the main window by its name.
    template <typename Widget = QWidget>
    Widget *control(const char *name) const
    {
        return window->findChild<Widget *>(QString::fromLatin1(name));
    }
    QCheckBox *check(const char *name) const { return control<QCheckBox>(name); }
    void click(const char *name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
    // Types into a text field or a list's field as the user does, over what it held.
    void type(const char *name, const QString &text) const
    {
        auto *field = qobject_cast<QLineEdit *>(control(name));
        if (auto *combo = qobject_cast<QComboBox *>(control(name))) {
            field = combo->lineEdit();
        }
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    QString writePage(const QString &name = u"offer.html"_s) const
    {
        writeFile(work.filePath(name), samplePage);
        return work.filePath(name);
    }

    // Picks the page as the user does: the select button opens the intake dialog, which confirms
    // the page.
    void selectThroughDialog(const QString &path)
    {
        click("cmdSelect");
        ASSERT_NE(window->dropFilesDialog(), nullptr);
        emit window->dropFilesDialog()->pageConfirmed(path);
    }

    // The run's end (it runs on a worker thread), after a click on the run button.
    void clickGoAndWait(bool clickGo = true) const
    {
        if (clickGo) {
            click("cmdGo");
        }
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isRunning(); }, 60'000));
    }

    QTemporaryDir work;
    std::unique_ptr<frmMain> window;
    FakeHost *host = nullptr;
};

TEST_F(MainWindowTest, ABrokenSnippetsFolderIsToldWithItsPathWhenTheWindowShows)
{
    const QString snippets = work.filePath(u"snippets"_s);
    test_support::copySnippetFolder(snippets);
    QFile::remove(snippets + u"/b.cfg"_s);
    QDir(snippets + u"/anilibs"_s).removeRecursively();
    openWindow(snippets);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host->told.isEmpty(); }));
    EXPECT_TRUE(host->told[0].startsWith(
        u"Error: The snippets folder \"%1\" is incomplete: b.cfg, anilibs are missing."_s.arg(
            snippets)))
        << host->told[0].toStdString();
}

TEST_F(MainWindowTest, TheControlsOfAnUntickedOptionAreDisabledAndKeepTheirValues)
{
    // A box clicked in the start-up state (the back button's unticked), and what is disabled then.
    const std::pair<const char *, QString> cases[] = {
        {"chkEnableBack", u""_s},
        {"chkAnimations", u"cboAnimations cboSpeed txtBackRedirect"_s},
        {"chkHFontSize_1", u"cboFontSize_1 txtBackRedirect"_s},
        {"chkFonts", u"cboFontSize_0 cboFontSize_1 cboFontSize_2 cboFonts chkHFontSize_0 "
                     "chkHFontSize_1 chkHFontSize_2 txtBackRedirect"_s},
    };
    for (const auto &[clicked, disabled] : cases) {
        openWindow();
        type("cboFontSize_1", u"50"_s);
        check(clicked)->click();
        QStringList off;
        for (QWidget *field :
             window->findChildren<QWidget *>(QRegularExpression(u"^(cbo|chk|txt)"_s))) {
            if (!field->isEnabled()) {
                off.append(field->objectName());
            }
        }
        off.sort();
        EXPECT_EQ(off.join(u' '), disabled) << "after a click on " << clicked;
        EXPECT_EQ(window->readOptions().headingSizes[1].pixels, u"50"_s);
    }
    click("Label5");  // the back button's "learn more" link
    EXPECT_TRUE(host->told.value(0).startsWith(u"About: The 'Back Button' event control"_s));
}

// Typed values: list entries count in any letter case, sizes run from 8 to 200 pixels, and an
// unticked option's fields (the back button's starts unticked) are not looked at. Anything else is
// refused before the page is read, naming the field, which gets the focus so that the user can type
// the value again.
TEST_F(MainWindowTest, ATypedValueThatCannotGoIntoThePageIsRefusedNamingTheField)
{
    // A field, what is typed into it, a box then clicked, and the start of the refusal (none where
    // the run goes ahead).
    const std::tuple<const char *, QString, const char *, QString> cases[] = {
        {"cboSpeed", u" slow "_s, nullptr, {}},
        {"cboFontSize_0", u"200"_s, nullptr, {}},
        {"cboSpeed", u"warp"_s, "chkAnimations", {}},
        {"cboFonts", u"<b>"_s, "chkFonts", {}},
        {"cboFontSize_1", u"big"_s, "chkHFontSize_1", {}},
        {"txtBackRedirect", u"offer"_s, nullptr, {}},
        {"cboAnimations", u"Zoom"_s, nullptr, u"The animation \"Zoom\" is not in the list."_s},
        {"cboSpeed", u"Very fast"_s, nullptr, u"The speed \"Very fast\" is not in the list."_s},
        {"cboFonts", u"Lato'; color: red"_s, nullptr,
         u"The font name \"Lato'; color: red\" cannot be used"_s},
        {"cboFonts", {}, nullptr, u"The font name is empty."_s},
        {"cboFontSize_1", u"201"_s, nullptr,
         u"The font size for H2 \"201\" cannot be used: a size is a number of pixels from 8 to "
         "200"_s},
        {"cboFontSize_2", u"7"_s, nullptr, u"The font size for H3 \"7\""_s},
        {"txtBackRedirect", u"http://"_s, "chkEnableBack",
         u"The address \"http://\" in \"Redirect Visitors To:\" has no site"_s},
    };
    const QString page = writePage();
    const QString output = work.filePath(u"offer_modified.html"_s);
    for (const auto &[field, typed, toggle, told] : cases) {
        SCOPED_TRACE(field + (u" "_s + typed).toStdString());
        QFile::remove(output);
        openWindow();
        selectThroughDialog(page);
        type(field, typed);
        if (toggle != nullptr) {
            check(toggle)->click();
        }
        clickGoAndWait();
        ASSERT_EQ(host->told.size(), 1);
        if (told.isEmpty()) {
            EXPECT_EQ(host->told[0], done);
            continue;
        }
        EXPECT_TRUE(host->told[0].startsWith(refused + told)) << host->told[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(output));
        QWidget *focus = window->focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus == control(field) || focus->parentWidget() == control(field))
            << focus->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, TheRunEndsShownInTheWindowAndAnOutputIsReplacedOnlyAfterYes)
{
    openWindow();
    const QString page = writePage();
    selectThroughDialog(page);
    EXPECT_EQ(control<ElidedLabel>("lblSelectedFile")->fullText(), page);
    clickGoAndWait();

    const QString output = work.filePath(u"offer_modified.html"_s);
    EXPECT_EQ(host->told, QStringList{done});
    EXPECT_EQ(control<ElidedLabel>("lblOutputFile")->fullText(), output);
    EXPECT_TRUE(control("lblRunNotice")->isVisible() &&
                control<QLabel>("lblRunNotice")->text().contains(u"1 element"_s));
    // The folder opens with the new page selected; the buttons open the page and the folder.
    click("cmdOpenPage");
    click("cmdOpenFolder");
    EXPECT_EQ(host->opened,
              QStringList({u"show "_s + output, u"page "_s + output, u"show "_s + output}));

    // The next run asks before it replaces that page: No keeps it as it is, Yes replaces it.
    for (const bool yes : {false, true}) {
        writeFile(output, "older output");
        host->answer = yes;
        clickGoAndWait();
        EXPECT_EQ(readFile(output) == "older output", !yes) << "answered Yes: " << yes;
    }
    EXPECT_EQ(host->asked,
              QStringList(2, u"Overwrite?: "_s + OverwriteQuestion(u"offer_modified.html"_s)));
    EXPECT_EQ(host->told, QStringList({done, done}));
    EXPECT_FALSE(host->offThread);
}

TEST_F(MainWindowTest, ALargePageRunsWhileTheWindowKeepsWorking)
{
    const QByteArray block = "<h1>Offer</h1><p>" +
                             QByteArray("Grow a green thumb. ").repeated(100) +
                             "</p><img src=p.png>";
    const QString page = work.filePath(u"big.html"_s);
    writeFile(page, "<!DOCTYPE html><title>Big</title><body>" +
                        block.repeated(qsizetype{2} * 1024 * 1024 / block.size()));
    openWindow();
    selectThroughDialog(page);

    int ticks = 0;
    QStringList steps;
    bool buttonOffThroughout = true;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (window->isRunning()) {
            ++ticks;
            buttonOffThroughout = buttonOffThroughout && !control("cmdGo")->isEnabled();
            steps.append(control<QLabel>("lblRunStep")->text());
        }
    });
    timer.start(10);
    click("cmdGo");
    ASSERT_TRUE(window->isRunning());
    // A second start while the first runs is not taken.
    window->cmdGo_Click();
    clickGoAndWait(false);
    timer.stop();

    // How often the timer fires depends on the machine's load; that it fires at all while the
    // run is on shows the run is off the interface thread.
    EXPECT_GE(ticks, 2) << "the interface thread stood still during the run";
    EXPECT_TRUE(buttonOffThroughout);
    EXPECT_TRUE(steps.value(0).endsWith(u"\u2026"_s)) << "the step reached shows during the run";
    EXPECT_EQ(host->told, QStringList{done});
    const QString output = work.filePath(u"big_modified.html"_s);
    ASSERT_TRUE(QFileInfo::exists(output));

    // A window closed in the middle of a run lets the run end without it: the existing output
    // is kept rather than replaced unasked, and nothing hangs.
    const QByteArray before = readFile(output);
    click("cmdGo");
    window.reset();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(readFile(output), before);
}

TEST_F(MainWindowTest, RefusesWithoutAPageOrWithoutAnOptionAndPointsToTheCause)
{
    openWindow();
    // Ok in the intake dialog with nothing dropped takes the selection back. The dialog is not
    // modal, and the select button brings up the one already open.
    selectThroughDialog(writePage());
    click("cmdSelect");
    EXPECT_EQ(window->findChildren<frmdropfiles *>().size(), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QTest::mouseClick(window->dropFilesDialog()->findChild<QWidget *>(u"cmdOk"_s), Qt::LeftButton);
    EXPECT_TRUE(window->selectedFile().isEmpty());
    clickGoAndWait();
    EXPECT_EQ(host->told, QStringList{refused + QString::fromLatin1(message::NoPageSelected)});
    EXPECT_EQ(window->focusWidget(), control("cmdSelect"));

    selectThroughDialog(writePage());
    check("chkAnimations")->setChecked(false);
    check("chkFonts")->setChecked(false);
    // The back button alone does not make a run, and its address is not looked at.
    check("chkEnableBack")->setChecked(true);
    clickGoAndWait();
    EXPECT_EQ(host->told.value(1), refused + QString::fromLatin1(message::NothingToChange));
    EXPECT_EQ(window->focusWidget(), control("chkAnimations"));
    EXPECT_EQ(QDir(work.path()).count(), 3);  // ".", ".." and the page
    EXPECT_TRUE(host->opened.isEmpty());
}

TEST_F(MainWindowTest, APageThatCannotBeReadIsToldOnSelectionAndAtTheRun)
{
    openWindow();
    const QString missing = work.filePath(u"gone.html"_s);
    selectThroughDialog(missing);
    auto *problem = control<QLabel>("lblPageProblem");
    ASSERT_TRUE(QTest::qWaitFor([&] { return problem->isVisible(); }));
    EXPECT_TRUE(problem->text().contains(missing)) << problem->text().toStdString();
    EXPECT_TRUE(host->told.isEmpty());

    clickGoAndWait();
    ASSERT_EQ(host->told.size(), 1);
    EXPECT_TRUE(host->told[0].startsWith(QString::fromLatin1(message::ErrorTitle)));
    EXPECT_TRUE(host->told[0].contains(u"gone.html"_s));
    EXPECT_TRUE(QDir(work.path()).isEmpty());

    // A readable page clears the warning.
    selectThroughDialog(writePage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !problem->isVisible(); }));
}

TEST_F(MainWindowTest, APageIsSelectedAndRunWithTheKeyboardAlone)
{
    const QString page = writePage();
    writeFile(work.filePath(u"notes.txt"_s), "not a page");
    writeFile(work.filePath(u"sub/inner.html"_s), samplePage);
    // The browse lists open at the current folder and show its pages only.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    openWindow();
    window->activateWindow();
    ASSERT_TRUE(becameActive(window.get()));

    // An access key presses its button the way a click does, a moment later.
    const auto openDialog = [this] {
        pressKey(Qt::Key_S, Qt::AltModifier);  // "Select an HTML File"
        return QTest::qWaitFor([&] { return window->dropFilesDialog() != nullptr; }) &&
               becameActive(window->dropFilesDialog());
    };
    ASSERT_TRUE(openDialog());
    auto *pages = window->dropFilesDialog()->findChild<QListView *>(u"File1"_s);
    pressKey(Qt::Key_Return);  // the focused link: browse mode, the page list gets the keyboard
    ASSERT_TRUE(window->dropFilesDialog() && pages->isVisible()) << "Enter on the link closed it";
    // The folder is read in the background; once it is, the focus frame lands on its one page,
    // also when the list took the keyboard before.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pages->currentIndex().isValid(); }));
    // Both windows fit the test screen (800 x 600), which is smaller than the dialog is drawn for.
    for (const QWidget *top : {static_cast<QWidget *>(window.get()), pages->window()}) {
        EXPECT_TRUE(top->screen()->availableGeometry().contains(top->frameGeometry()));
    }
    pressKey(Qt::Key_Space);  // picks the page under the focus frame
    pressKey(Qt::Key_Tab);    // on to Ok
    pressKey(Qt::Key_Space);
    EXPECT_EQ(window->selectedFile(), page);

    ASSERT_TRUE(becameActive(window.get()));
    pressKey(Qt::Key_D, Qt::AltModifier);  // "Let's Do This with 1 Click!"
    EXPECT_TRUE(QTest::qWaitFor([&] { return !host->told.isEmpty(); }, 60'000));
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo::exists(work.filePath(u"offer_modified.html"_s)));
    EXPECT_EQ(host->told, QStringList{done});

    // Escape closes the dialog and hands over nothing.
    ASSERT_TRUE(openDialog());
    pressKey(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->dropFilesDialog() == nullptr; }));
    EXPECT_EQ(window->selectedFile(), page);
}

// An opener that fails is told in a warning with the page's path (that the opener started is not
// enough: its exit status says whether anything was opened).
TEST(MessageBoxHostTest, AnOpenerThatFailsIsToldWithThePath)
{
    QWidget window;
    MessageBoxHost host(&window);
    QStringList seen;  // "title: text (icon)" of each box, which Enter then closes
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen.append(u"%1: %2 (%3)"_s.arg(box->windowTitle(), box->text()).arg(box->icon()));
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    poll.start(10);
    const std::pair<QString, QString> openers[] = {
        {u"false"_s, u"the opener ended with status 1"_s},
        {u"/nonexistent/opener"_s, u"/nonexistent/opener could not be started"_s},
    };
    for (const auto &[program, reason] : openers) {
        seen.clear();
        host.setOpenProgram(program);
        host.openPage(u"/srv/offer.html"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }));
        EXPECT_EQ(seen[0], u"Error: The page \"/srv/offer.html\" could not be opened: %1. Open it "
                           "in your web browser yourself. (%2)"_s.arg(reason)
                               .arg(QMessageBox::Warning));
    }
}

}  // namespace
