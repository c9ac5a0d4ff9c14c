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

// Stands in for the message boxes, the file manager and the browser: records what the window
// shows ("title: text") and answers the overwrite question as told.
class FakeHost final : public WindowHost {
public:
    void inform(const QString &title, const QString &text, MessageIcon icon) override
    {
        told.append(onInterfaceThread(title + u": "_s + text));
        icons.append(icon);
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        asked.append(onInterfaceThread(title + u": "_s + text));
        return answer;
    }
    void openFolder(const QString &folder) override { opened.append(u"folder "_s + folder); }
    void showInFolder(const QString &file) override
    {
        opened.append(onInterfaceThread(u"show "_s + file));
    }
    void openPage(const QString &page) override { opened.append(u"page "_s + page); }
    void notice(const QString & /*text*/) override {}

    // Message boxes belong to the interface thread; the run's worker must never show one itself.
    QString onInterfaceThread(const QString &what)
    {
        offThread = offThread || QThread::currentThread() != qApp->thread();
        return what;
    }

    bool offThread = false;
    bool answer = true;
    QStringList told;
    QList<MessageIcon> icons;
    QStringList asked;
    QStringList opened;
};

const QByteArray samplePage = "<!DOCTYPE html>\n<html><head><title>Offer</title></head>"
                              "<body><h1>Grow a green thumb</h1><p>Only today.</p>"
                              "<img src=\"plant.png\"></body></html>\n";
const QString refused = u"Ooops!: "_s;
const QString done = QString::fromLatin1(message::DoneTitle) + u": "_s;

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

    // A control of the main window by its name (the intake dialog has controls of the same
    // names, such as Label5).
    template <typename Widget = QWidget>
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
    QCheckBox *check(const char *name) const { return control<QCheckBox>(name); }
    void click(const char *name) const
    {
        QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
    }
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

    QString writePage(const QString &name, const QByteArray &bytes = samplePage) const
    {
        QString path = work.filePath(name);
        writeFile(path, bytes);
        return path;
    }
    // What the folder of the pages holds: a run that wrote something shows here.
    QStringList pageFolder() const
    {
        return QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    // Picks the page as the user does: the select button opens the intake dialog, which confirms
    // the page.
    void selectThroughDialog(const QString &path)
    {
        click("cmdSelect");
        ASSERT_NE(window->dropFilesDialog(), nullptr);
        emit window->dropFilesDialog()->pageConfirmed(path);
    }

    // A click on the run button, then the run's end (it runs on a worker thread).
    void clickGoAndWait()
    {
        click("cmdGo");
        waitForRun();
    }
    void waitForRun() const
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isRunning(); }, 60'000));
    }

    QTemporaryDir work;
    std::unique_ptr<frmMain> window;
    FakeHost *host = nullptr;
};

// --- Start-up -------------------------------------------------------------------------------

TEST_F(MainWindowTest, StartsWithTheCommandLinesDefaultsAndTheFirstFontOfTheList)
{
    const QString snippets = work.filePath(u"snippets"_s);
    test_support::copySnippetFolder(snippets);
    writeFile(snippets + u"/gfonts.txt"_s, "Lato\r\nMerriweather Sans\r\nM PLUS 1p\r\n");
    openWindow(snippets);
    EXPECT_EQ(control<QComboBox>("cboFonts")->count(), 3);
    const auto fields = [](const RunOptions &o) {
        const auto &[h1, h2, h3] = o.headingSizes;
        return std::tuple(o.selectedFile, o.animations, o.animationFamily, o.speed, o.fonts,
                          o.fontName, h1.enabled, h1.pixels, h2.enabled, h2.pixels, h3.enabled,
                          h3.pixels, o.backButton, o.backRedirect);
    };
    RunOptions expected;
    expected.fontName = u"Lato"_s;
    EXPECT_EQ(fields(window->readOptions()), fields(expected));
}

TEST_F(MainWindowTest, AMissingOrIncompleteSnippetsFolderIsToldWithItsPathWhenTheWindowShows)
{
    const QString snippets = work.filePath(u"snippets"_s);
    const std::pair<std::function<void()>, QString> cases[] = {
        {[] {}, {}},
        {[&] { writeFile(snippets + u"/gfonts.txt"_s, ""); }, {}},
        {[&] { QFile::remove(snippets + u"/b.cfg"_s); }, u"is incomplete: b.cfg is missing."_s},
        {[&] { QDir(snippets + u"/anilibs"_s).removeRecursively(); },
         u"is incomplete: anilibs is missing."_s},
        {[&] { QDir(snippets).removeRecursively(); }, u"is missing."_s},
    };
    for (const auto &[damage, told] : cases) {
        QDir(snippets).removeRecursively();
        test_support::copySnippetFolder(snippets);
        damage();
        openWindow(snippets);
        QTest::qWait(20);
        ASSERT_EQ(host->told.size(), told.isEmpty() ? 0 : 1) << told.toStdString();
        if (!told.isEmpty()) {
            EXPECT_EQ(host->icons[0], MessageIcon::Error);
            EXPECT_TRUE(host->told[0].contains(u"\"%1\" "_s.arg(snippets) + told))
                << host->told[0].toStdString();
        }
    }
}

TEST_F(MainWindowTest, TheControlsOfAnUntickedOptionAreDisabledAndKeepTheirValues)
{
    const char *dependent[] = {"cboAnimations", "cboSpeed",       "cboFonts",      "chkHFontSize_0",
                               "cboFontSize_0", "chkHFontSize_1", "cboFontSize_1", "chkHFontSize_2",
                               "cboFontSize_2", "txtBackRedirect"};
    // A box clicked in the start-up state, and the controls disabled then.
    const std::pair<const char *, QString> cases[] = {
        {nullptr, u"txtBackRedirect"_s},
        {"chkEnableBack", u""_s},
        {"chkAnimations", u"cboAnimations cboSpeed txtBackRedirect"_s},
        {"chkHFontSize_1", u"cboFontSize_1 txtBackRedirect"_s},
        {"chkFonts",
         u"cboFonts chkHFontSize_0 cboFontSize_0 chkHFontSize_1 cboFontSize_1 chkHFontSize_2 "
         "cboFontSize_2 txtBackRedirect"_s},
    };
    for (const auto &[clicked, disabled] : cases) {
        openWindow();
        type("cboFontSize_1", u"50"_s);
        if (clicked != nullptr) {
            check(clicked)->click();
        }
        for (const char *name : dependent) {
            EXPECT_EQ(control(name)->isEnabled(),
                      !disabled.split(u' ').contains(QLatin1StringView(name)))
                << name << " after a click on " << (clicked ? clicked : "nothing");
        }
        EXPECT_EQ(window->readOptions().headingSizes[1].pixels, u"50"_s);
    }
}

// --- The run --------------------------------------------------------------------------------

TEST_F(MainWindowTest, FromASelectedPageToTheWrittenOutputShownInTheWindow)
{
    openWindow();
    // The page animates one element of its own: the window says so beside the result.
    QByteArray bytes = samplePage;
    bytes.replace("<p>", "<p class=\"wow\">");
    const QString page = writePage(u"offer.html"_s, bytes);
    selectThroughDialog(page);
    EXPECT_EQ(window->selectedFile(), page);
    EXPECT_EQ(control<ElidedLabel>("lblSelectedFile")->fullText(), page);

    type("cboFontSize_0", u"50"_s);
    clickGoAndWait();

    const QString output = work.filePath(u"offer_modified.html"_s);
    const QString written = QString::fromUtf8(readFile(output));
    for (const QString &part : {u"anilibs/"_s, u"Open+Sans"_s, u"50px"_s}) {
        EXPECT_TRUE(written.contains(part))
            << part.toStdString() << " in " << written.toStdString();
    }
    EXPECT_TRUE(written.contains(QRegularExpression(uR"(<h1 [^>]*class="[^"]*\bwow lv-)"_s)));
    EXPECT_FALSE(QDir(work.filePath(u"anilibs"_s)).isEmpty());
    EXPECT_EQ(readFile(page), bytes);
    EXPECT_FALSE(control("lblRunNotice")->isHidden());
    EXPECT_TRUE(control<QLabel>("lblRunNotice")->text().contains(u"1 element"_s));
    EXPECT_EQ(host->told, QStringList{done + QString::fromLatin1(message::DoneText)});

    // The folder opens with the new page selected; the window shows where it went and opens it
    // on request.
    EXPECT_EQ(control<ElidedLabel>("lblOutputFile")->fullText(), output);
    click("cmdOpenPage");
    click("cmdOpenFolder");
    EXPECT_EQ(host->opened,
              QStringList({u"show "_s + output, u"page "_s + output, u"show "_s + output}));
    EXPECT_TRUE(control("cmdGo")->isEnabled());

    // The next run asks before it replaces that page; No keeps it as it is.
    writeFile(output, "older output");
    host->answer = false;
    clickGoAndWait();
    EXPECT_EQ(host->asked,
              QStringList{u"Overwrite?: "_s + OverwriteQuestion(u"offer_modified.html"_s)});
    EXPECT_EQ(readFile(output), QByteArray("older output"));
    EXPECT_EQ(host->told.size(), 1);
    EXPECT_EQ(host->opened.size(), 3);
    EXPECT_FALSE(host->offThread);
}

TEST_F(MainWindowTest, ALargePageRunsWhileTheWindowKeepsWorking)
{
    const QByteArray block = "<h1>Offer</h1><p>" +
                             QByteArray("Grow a green thumb. ").repeated(100) +
                             "</p><img src=p.png>";
    openWindow();
    selectThroughDialog(
        writePage(u"big.html"_s, "<!DOCTYPE html><title>Big</title><body>" +
                                     block.repeated(qsizetype{2} * 1024 * 1024 / block.size())));

    int ticks = 0;
    QStringList steps;
    bool buttonOffThroughout = true;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (window->isRunning()) {
            ++ticks;
            buttonOffThroughout = buttonOffThroughout && !control("cmdGo")->isEnabled();
            const QString step = control<QLabel>("lblRunStep")->text();
            if (steps.isEmpty() || steps.last() != step) {
                steps.append(step);
            }
        }
    });
    timer.start(10);
    click("cmdGo");
    ASSERT_TRUE(window->isRunning());
    // A second start while the first runs is not taken.
    window->cmdGo_Click();
    waitForRun();
    timer.stop();

    // How often the timer fires depends on the machine's load; that it fires at all while the
    // run is on shows the run is off the interface thread.
    EXPECT_GE(ticks, 2) << "the interface thread stood still during the run";
    EXPECT_TRUE(buttonOffThroughout);
    EXPECT_GE(steps.size(), 2) << steps.join(u" | "_s).toStdString();
    EXPECT_EQ(host->told.size(), 1);
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
    // Ok in the intake dialog with nothing dropped takes the selection back.
    selectThroughDialog(writePage(u"offer.html"_s));
    click("cmdSelect");
    QTest::mouseClick(window->dropFilesDialog()->findChild<QPushButton *>(u"cmdOk"_s),
                      Qt::LeftButton);
    EXPECT_TRUE(window->selectedFile().isEmpty());
    clickGoAndWait();
    EXPECT_EQ(host->told, QStringList{refused + QString::fromLatin1(message::NoPageSelected)});
    EXPECT_EQ(window->focusWidget(), control("cmdSelect"));

    selectThroughDialog(work.filePath(u"offer.html"_s));
    check("chkAnimations")->setChecked(false);
    check("chkFonts")->setChecked(false);
    // The back button alone does not make a run, and its address is not looked at.
    check("chkEnableBack")->setChecked(true);
    clickGoAndWait();
    EXPECT_EQ(host->told.value(1), refused + QString::fromLatin1(message::NothingToChange));
    EXPECT_EQ(window->focusWidget(), control("chkAnimations"));
    EXPECT_EQ(pageFolder(), QStringList{u"offer.html"_s});
    EXPECT_TRUE(host->opened.isEmpty());
}

TEST_F(MainWindowTest, ATypedValueThatCannotGoIntoThePageIsRefusedNamingTheField)
{
    const QString page = writePage(u"offer.html"_s);
    openWindow();
    // A typed list entry counts in any letter case.
    type("cboSpeed", u" slow "_s);
    type("cboAnimations", u"bounce + SLIDE"_s);
    EXPECT_EQ(window->readOptions().speed, AnimationSpeed::Slow);
    EXPECT_EQ(window->readOptions().animationFamily, AnimationFamily::BounceSlide);

    const std::pair<const char *, QString> cases[] = {
        {"cboAnimations", u"The animation \"Zoom\" is not in the list."_s},
        {"cboSpeed", u"The speed \"Very fast\" is not in the list."_s},
        {"cboFonts", u"The font name \"Lato'; color: red\" cannot be used"_s},
        {"cboFonts", u"The font name is empty."_s},
        {"cboFontSize_0", u"The font size for H1 \"44px\""_s},
        {"cboFontSize_1",
         u"The font size for H2 \"201\" cannot be used: a size is a number of pixels from 8 to "
         "200"_s},
        {"cboFontSize_2", u"The font size for H3 \"7\""_s},
        {"txtBackRedirect", u"The address \"http://\" in \"Redirect Visitors To:\" has no site"_s},
    };
    for (const auto &[field, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        openWindow();
        selectThroughDialog(page);
        check("chkEnableBack")->setChecked(true);
        type("txtBackRedirect", u"https://example.com/offer"_s);
        // The value is what the message quotes, or nothing.
        const QString quoted = message.section(u'"', 1, 1);
        type(field, message.contains(u"empty"_s) ? QString() : quoted);
        clickGoAndWait();
        ASSERT_EQ(host->told.size(), 1);
        EXPECT_TRUE(host->told[0].startsWith(refused + message)) << host->told[0].toStdString();
        EXPECT_EQ(host->icons[0], MessageIcon::Error);
        EXPECT_EQ(pageFolder(), QStringList{u"offer.html"_s});
        // The field at fault has the focus, so the user can type the value again.
        QWidget *focus = window->focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus == control(field) || focus->parentWidget() == control(field))
            << focus->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, TheFieldsOfAnUntickedOptionAreNotChecked)
{
    openWindow();
    selectThroughDialog(writePage(u"offer.html"_s));
    // Neither an unticked heading size nor an address without the back button goes into the
    // page; without the font, neither the font name nor any size.
    type("cboFontSize_1", u"big"_s);
    check("chkHFontSize_1")->setChecked(false);
    type("txtBackRedirect", u"offer"_s);
    type("cboFonts", u"<b>"_s);
    type("cboFontSize_0", u"huge"_s);
    check("chkFonts")->setChecked(false);
    clickGoAndWait();
    // Without animations, neither the animation nor the speed.
    type("cboSpeed", u"warp"_s);
    check("chkAnimations")->setChecked(false);
    check("chkFonts")->setChecked(true);
    type("cboFonts", u"Lato"_s);
    type("cboFontSize_0", u"40"_s);
    clickGoAndWait();
    const QString doneMessage = done + QString::fromLatin1(message::DoneText);
    EXPECT_EQ(host->told, QStringList({doneMessage, doneMessage}));
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
    EXPECT_TRUE(pageFolder().isEmpty());

    // A readable page clears the warning.
    selectThroughDialog(writePage(u"offer.html"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !problem->isVisible(); }));
}

// --- Page selection and the keyboard --------------------------------------------------------

TEST_F(MainWindowTest, TheSelectButtonOpensOneDialogThatLeavesTheWindowUsable)
{
    openWindow();
    click("cmdSelect");
    QPointer<frmdropfiles> first = window->dropFilesDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    click("cmdSelect");
    EXPECT_EQ(window->dropFilesDialog(), first);
    EXPECT_EQ(window->findChildren<frmdropfiles *>().size(), 1);

    // The dialog's message comes through the window's host: browse mode with no page chosen, Ok
    // asks for one and keeps the dialog open.
    QTest::mouseClick(first->findChild<QLabel *>(u"Label5"_s), Qt::LeftButton);
    QTest::mouseClick(first->findChild<QPushButton *>(u"cmdOk"_s), Qt::LeftButton);
    EXPECT_EQ(host->told,
              QStringList{u"File Selection: Please select an HTML file (.htm or .html)"_s});
    EXPECT_TRUE(first->isVisible());

    // Once closed, the dialog is gone, and the next click opens a new one.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(window->dropFilesDialog(), nullptr);
    click("cmdSelect");
    ASSERT_NE(window->dropFilesDialog(), nullptr);
    EXPECT_TRUE(window->dropFilesDialog()->isVisible());
}

TEST_F(MainWindowTest, APageIsSelectedAndRunWithTheKeyboardAlone)
{
    const QString page = writePage(u"offer.html"_s);
    // The browse lists open at the current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    openWindow();
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return !host->told.isEmpty(); }, 60'000));
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo::exists(work.filePath(u"offer_modified.html"_s)));
    EXPECT_EQ(host->told, QStringList{done + QString::fromLatin1(message::DoneText)});
}

TEST_F(MainWindowTest, BothWindowsFitTheScreenAndTabReachesEachControlOnceWithAName)
{
    openWindow();
    check("chkEnableBack")->setChecked(true);
    click("cmdSelect");
    frmdropfiles *dialog = window->dropFilesDialog();
    QTest::mouseClick(dialog->findChild<QLabel *>(u"Label5"_s), Qt::LeftButton);

    for (QWidget *top : {static_cast<QWidget *>(window.get()), static_cast<QWidget *>(dialog)}) {
        SCOPED_TRACE(top->objectName().toStdString());
        // The test screen (800 x 600) is smaller than the dialog is drawn for.
        const QRect screen = top->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(top->frameGeometry())) << top->width() << "x" << top->height();
        EXPECT_LE((top->frameGeometry().center() - screen.center()).manhattanLength(), 2);

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
            EXPECT_FALSE(
                QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty())
                << widget->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, LearnMoreAnswersAClickEnterAndSpace)
{
    openWindow();
    auto *learnMore = control<QLabel>("Label5");
    learnMore->setFocus();
    QTest::mouseClick(learnMore, Qt::LeftButton);
    QTest::keyClick(learnMore, Qt::Key_Return);
    QTest::keyClick(learnMore, Qt::Key_Space);
    QTest::mouseClick(learnMore, Qt::RightButton);
    ASSERT_EQ(host->told.size(), 3);
    for (const QString &shown : host->told) {
        EXPECT_TRUE(shown.startsWith(u"About: The 'Back Button' event control is a feature"_s));
    }
}

}  // namespace
