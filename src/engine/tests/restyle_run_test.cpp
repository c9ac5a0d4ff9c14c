// The whole run on real files. What the page becomes is the core's (text_stages_test, the golden
// pages); here, that the run ties core, host and files together and never writes the source. (What
// needs another user or a full disk runs through lumivane-cli in cli_test.)

#include "engine/animation_tagging.h"
#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "platform/page_file.h"

#include "folder_snapshot.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <tuple>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace lumivane;
using test_support::folderSnapshot;
using test_support::readFile;
using test_support::writeFile;

namespace {

const QByteArray goodPage = "<!DOCTYPE html><html><head><title>Offer</title></head><body>"
                            "<h1>Buy now</h1><img src=\"a.png\"></body></html>";

// Everything the run tells its host, in order, and the answer to its question.
class RecordingHost final : public RunHost {
public:
    void inform(const QString &title, const QString &text, MessageIcon icon) override
    {
        log.append(title + u": "_s + text +
                   (icon == MessageIcon::Error ? u" (error icon)"_s : u""_s));
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        log.append(u"ask "_s + title + u": "_s + text);
        return answer;
    }
    void openFolder(const QString &folder) override { log.append(u"open "_s + folder); }
    void notice(const QString &text) override { log.append(u"notice "_s + text); }

    bool answer = true;
    QStringList log;
};

class RestyleRunTest : public ::testing::Test {
protected:
    // A fresh install, and a site holding the page and an earlier library.
    void SetUp() override
    {
        host = {};
        std::filesystem::remove_all(work.path().toStdString());
        test_support::copySnippetFolder(snippets);
        writeFile(page, goodPage);
        writeFile(site + u"/anilibs/lumivane-animate.css"_s, "earlier library");
    }
    // Animations, a font and the back button: every snippet is read.
    RunOutcome run(const QString &path, bool animationsOrFont = true)
    {
        RunOptions options;
        options.selectedFile = path;
        options.animations = options.fonts = animationsOrFont;
        options.fontName = u"Open Sans"_s;
        options.backButton = true;
        options.backRedirect = u"https://example.org/"_s;
        return RestyleRun(SnippetFolder(snippets), host, random).cmdGo_Click(options);
    }
    QString snippet(const char *name) const { return snippets + u'/' + QLatin1String(name); }

    QTemporaryDir work;
    const QString snippets = work.filePath(u"app/snippets"_s);
    const QString site = work.filePath(u"site"_s);
    const QString page = site + u"/offer.html"_s;
    const QString output = site + u"/offer_modified.html"_s;
    RecordingHost host;
    QRandomGenerator random{77};
};

// Every failure is one error message naming the file and the reason, before any question and
// before anything is written.
TEST_F(RestyleRunTest, EveryFailureIsOneMessageBeforeAnyQuestionAndChangesNothing)
{
    // Puts in place of `path`: nothing, a folder, a pipe, a link to the page, a file past the size
    // limit, or the bytes given.
    const auto put = [&](const QString &path, const QByteArray &what) {
        std::filesystem::remove_all(path.toStdString());
        if (what == "folder") {
            QDir().mkpath(path);
        } else if (what == "pipe") {
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
        } else if (what == "link") {
            QFile::link(page, path);
        } else if (what != "gone") {
            writeFile(path, what);
            QFile::resize(path, what == "huge" ? MaxPageBytes + 1 : what.size());
        }
    };
    const auto cannotOpen = [&](const QString &reason) {
        return u"Cannot open the page \"%1\": %2."_s.arg(page, reason);
    };
    const QString reinstall = u" Reinstall Lumivane or put the file back."_s;
    const QString binary = u"it holds NUL bytes, so it is not a text page"_s;
    const QByteArray nul(1, '\0');
    QList<std::tuple<QString, QByteArray, QString>> cases{
        {page, "gone", cannotOpen(u"No such file or directory"_s)},
        {page, "folder", cannotOpen(u"it is a folder, not a file"_s)},
        {page, "pipe", cannotOpen(u"it is not a regular file"_s)},
        {page, "\xEF\xBB\xBF \r\n\t\n", cannotOpen(u"it is empty"_s)},
        {page, goodPage + nul, cannotOpen(binary)},
        {page, "caf\xE9" + goodPage + nul, cannotOpen(binary)},
        {page, "huge",
         cannotOpen(u"it is 101 MB (104857601 bytes), more than the 100 MB a page may have"_s)},
        // An empty body-tag list would drop the activation script and leave the page hidden.
        {snippet("possiblebodyopen.txt"), "\r\n  \n",
         u"The snippet file \"%1\" is empty."_s.arg(snippet("possiblebodyopen.txt")) + reinstall},
        {snippet("b.cfg"), "caf\xE9\n",
         u"Cannot read \"%1\": it is not UTF-8 text."_s.arg(snippet("b.cfg"))},
        {snippet("anilibs"), "gone",
         u"Cannot list the folder \"%1\": it does not exist."_s.arg(snippet("anilibs"))},
        {site + u"/anilibs"_s, "a file",
         u"Cannot create the folder \"%1/anilibs/\": a file of that name is in the way."_s.arg(
             site)},
        {output, "folder", u"Cannot write \"%1\": Filename refers to a directory."_s.arg(output)},
        {output, "link", u"Cannot write \"%1\": it is the source page itself."_s.arg(output)},
    };
    // Every snippet the run reads is checked before anything is written.
    for (const char *name :
         {"animate-linkrel.txt", "animate-css.txt", "gfont-css.txt", "fx-bounce.txt", "fx-fade.txt",
          "wowbelowbody.txt", "possibletitleclose.txt", "possiblebodyopen.txt", "b.cfg"}) {
        cases.append({snippet(name), "gone",
                      u"The snippet file \"%1\" is missing."_s.arg(snippet(name)) + reinstall});
    }
    for (const auto &[path, what, message] : cases) {
        SCOPED_TRACE(what.left(20).toStdString() + " at " + path.toStdString());
        SetUp();
        put(path, what);
        const QStringList before = folderSnapshot(site);
        EXPECT_EQ(run(page).kind, RunOutcome::Kind::Failed);
        EXPECT_EQ(host.log, QStringList{u"Error: "_s + message + u" (error icon)"_s});
        EXPECT_EQ(folderSnapshot(site), before);
    }
}

TEST_F(RestyleRunTest, RefusesWithoutAPageOrWithNothingToChange)
{
    run({});
    run(page, false);  // heading sizes, speed and the back button alone are nothing to do
    EXPECT_EQ(host.log, (QStringList{u"Ooops!: Please select an HTML file (.htm or .html) first."_s,
                                     u"Ooops!: Seems that there is nothing to change. Please "
                                     "select an option before."_s}));
}

// A library file that cannot be written: the page is in place, the failure named, and no "Done".
TEST_F(RestyleRunTest, ALibraryFileThatCannotBeWrittenIsNamed)
{
    QDir().mkpath(site + u"/anilibs/lumivane-reveal.js"_s);
    run(page);
    EXPECT_EQ(host.log, QStringList{u"Error: Cannot write \"%1\": Filename refers to a directory. "
                                    "(error icon)"_s.arg(site + u"/anilibs/lumivane-reveal.js"_s)});
}

// A page picked through a link: its remark, then the question. Declined, nothing moves; agreed, the
// page in its own encoding and the library's plain files replace what was there beside the link
// (never beside the linked-to page), then "Done" and the folder.
TEST_F(RestyleRunTest, ReplacesAnEarlierOutputOnlyWhenTheUserAgrees)
{
    const QByteArray source = "<title>Offer</title><h1 class=\"wow fadeIn\">Caf\xE9</h1><img>";
    const QString real = work.filePath(u"real/offer.html"_s);
    writeFile(real, source);
    QFile::remove(page);
    ASSERT_TRUE(QFile::link(real, page));
    writeFile(output, "earlier output");
    const QString library = snippet("anilibs");
    writeFile(library + u"/.hidden"_s, "hidden");
    writeFile(library + u"/sub/inner.css"_s, "in a subfolder");
    writeFile(site + u"/anilibs/mine.txt"_s, "the user's own");
    const QStringList told{u"notice "_s + PageAnimationsNotice(1),
                           u"ask Overwrite?: The target file (offer_modified.html) exists. "
                           "Overwrite it with the new changes?"_s};
    const QStringList before = folderSnapshot(site);
    host.answer = false;
    EXPECT_EQ(run(page).kind, RunOutcome::Kind::Declined);
    EXPECT_EQ(host.log, told);
    EXPECT_EQ(folderSnapshot(site), before);

    host.answer = true;
    const RunOutcome outcome = run(page);
    EXPECT_EQ(outcome.outputPath, output);
    const QString done = u"Done: "_s + QString::fromLatin1(message::DoneText);
    EXPECT_EQ(host.log, (told + told + QStringList{done, u"open "_s + site + u'/'}));
    EXPECT_TRUE(readFile(output).contains("Caf\xE9</h1>"));
    EXPECT_TRUE(readFile(output).contains("lumivane-reveal.js"));
    EXPECT_EQ(readFile(real), source);
    EXPECT_EQ(QDir(work.filePath(u"real"_s)).entryList(QDir::Files), QStringList{u"offer.html"_s});
    QStringList copied = QDir(library).entryList(QDir::Files) << u"mine.txt"_s;
    copied.sort();
    EXPECT_EQ(QDir(site + u"/anilibs"_s)
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              copied);
    EXPECT_EQ(readFile(site + u"/anilibs/lumivane-animate.css"_s),
              readFile(library + u"/lumivane-animate.css"_s));
}

}  // namespace
