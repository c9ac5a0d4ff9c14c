// The whole run on real files in temporary folders: refusals, read-back, encodings, output naming,
// the overwrite question, the library copy and every failure path. After every run the source page
// must be byte for byte what it was.

#include "engine/output_stage.h"
#include "engine/restyle_run.h"

#include "recording_host.h"
#include "test_files.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::RecordingHost;
using lumivane::test_support::writeFile;

namespace {

const QByteArray plainPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Offer</title></head>"
    "<body class=\"page\"><h1>Buy now</h1><p>Only \xE2\x82\xAC"
    "47</p>"
    "<img src=\"a.png\"></body></html>\n";

class RestyleRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        snippetsFolder = work.filePath(u"app/snippets"_s);
        test_support::copySnippetFolder(snippetsFolder);
        pageFolder = work.filePath(u"site"_s);
        QDir().mkpath(pageFolder);
    }

    QString writePage(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(pageFolder).filePath(name);
        writeFile(path, bytes);
        sources.append({path, bytes});
        return path;
    }

    RunOutcome run(RunOptions options)
    {
        if (options.fontName.isEmpty()) {
            options.fontName = u"Open Sans"_s;
        }
        RestyleRun restyle(SnippetFolder(snippetsFolder), host, random);
        const RunOutcome outcome = restyle.cmdGo_Click(options);
        original = restyle.txtHTMLSourceOriginal();
        modified = restyle.txtHTMLSourceModified();
        return outcome;
    }

    RunOptions optionsFor(const QString &page) const
    {
        RunOptions options;
        options.selectedFile = page;
        return options;
    }

    QString output(const QString &name) const { return QDir(pageFolder).filePath(name); }

    bool sawMessage(const QString &title) const
    {
        return std::any_of(host.messages.begin(), host.messages.end(),
                           [&](const test_support::Message &m) { return m.title == title; });
    }

    void TearDown() override
    {
        for (const auto &[path, bytes] : sources) {
            EXPECT_EQ(readFile(path), bytes) << "the source page changed: " << path.toStdString();
        }
    }

    QTemporaryDir work;
    QString snippetsFolder;
    QString pageFolder;
    QList<std::pair<QString, QByteArray>> sources;
    RecordingHost host;
    QRandomGenerator random{1234};
    QString original;
    QString modified;
};

TEST_F(RestyleRunTest, RefusesWithoutPageEvenWhenNothingIsTicked)
{
    RunOptions options;
    options.animations = false;
    options.fonts = false;
    EXPECT_EQ(run(options).kind, RunOutcome::Kind::Refused);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].title, u"Ooops!"_s);
    EXPECT_EQ(host.messages[0].text, u"Please select an HTML file (.htm or .html) first."_s);
}

TEST_F(RestyleRunTest, RefusesWhenOnlySizesSpeedOrBackButtonAreChosen)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    RunOptions options = optionsFor(page);
    options.animations = false;
    options.fonts = false;
    options.backButton = true;
    options.backRedirect = u"https://example.org/"_s;
    EXPECT_EQ(run(options).kind, RunOutcome::Kind::Refused);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].title, u"Ooops!"_s);
    EXPECT_EQ(host.messages[0].text,
              u"Seems that there is nothing to change. Please select an option before."_s);
    EXPECT_EQ(QDir(pageFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"offer.html"_s});
}

TEST_F(RestyleRunTest, WritesOutputBesideSourceThenSaysDoneAndOpensFolder)
{
    const QString page = writePage(u"offer.htm"_s, plainPage);
    const RunOutcome outcome = run(optionsFor(page));
    ASSERT_EQ(outcome.kind, RunOutcome::Kind::Written);
    EXPECT_EQ(outcome.outputPath, output(u"offer_modified.html"_s));
    EXPECT_EQ(QString::fromUtf8(readFile(outcome.outputPath)), modified);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].title, u"Done"_s);
    EXPECT_EQ(host.messages[0].text, QString::fromLatin1(message::DoneText));
    EXPECT_EQ(host.openedFolders, QStringList{QDir::toNativeSeparators(pageFolder + u"/"_s)});
    EXPECT_TRUE(host.questions.isEmpty());
}

TEST_F(RestyleRunTest, ReadBackKeepsDoctypeAndFollowsTheSerializer)
{
    const QString page =
        writePage(u"quirky.html"_s,
                  "<!-- saved from a builder -->\n"
                  "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
                  "<HTML><HEAD><TITLE>T</TITLE></HEAD><BODY><H1 CLASS=big>Hi</H1></BODY></HTML>");
    RunOptions options = optionsFor(page);
    options.animations = false;
    ASSERT_TRUE(run(options).written());
    // Comments keep their place around the doctype, which keeps its identifiers (and with them
    // the page's rendering mode).
    EXPECT_TRUE(original.startsWith(
        u"<!-- saved from a builder -->\n<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>"_s))
        << original.toStdString();
    EXPECT_TRUE(original.contains(u"<h1 class=\"big\">Hi</h1>"_s)) << original.toStdString();
    EXPECT_TRUE(modified.startsWith(u"<!-- saved from a builder -->\n<!DOCTYPE html PUBLIC"_s));
}

TEST_F(RestyleRunTest, FontsOnlyAddsOneStyleBlockAndStillActivates)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    RunOptions options = optionsFor(page);
    options.animations = false;
    ASSERT_TRUE(run(options).written());
    const QString activation = QString::fromUtf8(readFile(snippetsFolder + u"/wowbelowbody.txt"_s));
    EXPECT_TRUE(modified.contains(u"<body class=\"page\">\r\n"_s + activation))
        << modified.toStdString();
    EXPECT_TRUE(modified.contains(u"font-size:34px;}"_s));
    EXPECT_FALSE(modified.contains(u"';;"_s));
    EXPECT_FALSE(modified.contains(u" wow "_s));
    EXPECT_EQ(modified.count(u"<style>"_s), 1);
}

TEST_F(RestyleRunTest, AnimationsTagEveryHeadingAndImageWithTheChosenDuration)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    RunOptions options = optionsFor(page);
    options.fonts = false;
    options.speed = AnimationSpeed::Slow;
    ASSERT_TRUE(run(options).written());
    EXPECT_EQ(modified.count(u"data-wow-duration=\"3s\""_s), 2) << modified.toStdString();
    EXPECT_FALSE(modified.contains(u";;'"_s));
    EXPECT_FALSE(modified.contains(u"';;"_s));
}

TEST_F(RestyleRunTest, KeepsEveryCharacterOfAWindows1252Page)
{
    const QByteArray bytes =
        "<html><head><meta charset=\"windows-1252\"><title>Caf\xE9</title></head>"
        "<body><p>\x93"
        "Best\x94 offer \x96 only \x80"
        "5\x85</p></body></html>";
    const QString page = writePage(u"cp.html"_s, bytes);
    ASSERT_TRUE(run(optionsFor(page)).written());
    const QByteArray written = readFile(output(u"cp_modified.html"_s));
    EXPECT_TRUE(written.contains("<p>\x93"
                                 "Best\x94 offer \x96 only \x80"
                                 "5\x85</p>"));
    EXPECT_TRUE(written.contains("<title>Caf\xE9</title>"));
}

TEST_F(RestyleRunTest, KeepsUtf8WithAndWithoutByteOrderMark)
{
    const QString bare = writePage(u"bare.html"_s, plainPage);
    const QString marked = writePage(u"marked.html"_s, "\xEF\xBB\xBF" + plainPage);
    ASSERT_TRUE(run(optionsFor(bare)).written());
    ASSERT_TRUE(run(optionsFor(marked)).written());
    const QByteArray fromBare = readFile(output(u"bare_modified.html"_s));
    const QByteArray fromMarked = readFile(output(u"marked_modified.html"_s));
    EXPECT_FALSE(fromBare.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(fromMarked.startsWith("\xEF\xBB\xBF<!DOCTYPE html>"));
    EXPECT_TRUE(fromBare.contains("Only \xE2\x82\xAC"
                                  "47"));
    EXPECT_TRUE(fromMarked.contains("Only \xE2\x82\xAC"
                                    "47"));
}

TEST_F(RestyleRunTest, KeepsUtf16LittleEndianPage)
{
    const QString text = u"<!DOCTYPE html><html><head><title>\u65E5\u672C</title></head>"
                         u"<body><p>\u201CHi\u201D \U0001F600</p></body></html>"_s;
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    const QString page = writePage(u"wide.html"_s, bytes);
    ASSERT_TRUE(run(optionsFor(page)).written());
    const QByteArray written = readFile(output(u"wide_modified.html"_s));
    ASSERT_TRUE(written.startsWith("\xFF\xFE"));
    QStringDecoder decode(QStringDecoder::Utf16LE);
    const QString decoded = decode(written.sliced(2));
    EXPECT_TRUE(decoded.contains(u"<p>\u201CHi\u201D \U0001F600</p>"_s));
    EXPECT_TRUE(decoded.contains(u"<title>\u65E5\u672C</title>"_s));
}

TEST_F(RestyleRunTest, DecliningTheOverwriteChangesNothing)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    writeFile(output(u"offer_modified.html"_s), "earlier output");
    host.answer = false;
    EXPECT_EQ(run(optionsFor(page)).kind, RunOutcome::Kind::Declined);
    EXPECT_EQ(
        host.questions,
        QStringList{
            u"Overwrite?: The target file (offer_modified.html) exists. Overwrite it with the new changes?"_s});
    EXPECT_EQ(readFile(output(u"offer_modified.html"_s)), QByteArray("earlier output"));
    EXPECT_FALSE(QFileInfo::exists(output(u"anilibs"_s)));
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_TRUE(host.openedFolders.isEmpty());
}

TEST_F(RestyleRunTest, AcceptingTheOverwriteReplacesTheOutput)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    writeFile(output(u"offer_modified.html"_s), "earlier output");
    ASSERT_TRUE(run(optionsFor(page)).written());
    EXPECT_EQ(host.questions.size(), 1);
    EXPECT_EQ(QString::fromUtf8(readFile(output(u"offer_modified.html"_s))), modified);
}

TEST_F(RestyleRunTest, CopiesOnlyPlainVisibleFilesOfTheLibraryAndKeepsOthers)
{
    const QString library = snippetsFolder + u"/anilibs"_s;
    writeFile(library + u"/.hidden"_s, "secret");
    writeFile(library + u"/sub/inner.css"_s, "x");
    writeFile(output(u"anilibs/mine.txt"_s), "user's own file");
    writeFile(output(u"anilibs/stale.css"_s), "old");
    writeFile(library + u"/stale.css"_s, "new");
    const QString page = writePage(u"offer.html"_s, plainPage);
    ASSERT_TRUE(run(optionsFor(page)).written());

    QStringList expected = QDir(library).entryList(QDir::Files);
    expected.append(u"mine.txt"_s);
    expected.sort();
    EXPECT_EQ(QDir(output(u"anilibs"_s))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              expected);
    EXPECT_EQ(readFile(output(u"anilibs/mine.txt"_s)), QByteArray("user's own file"));
    EXPECT_EQ(readFile(output(u"anilibs/stale.css"_s)), QByteArray("new"));
}

TEST_F(RestyleRunTest, MissingLibraryStopsBeforeAnythingIsWritten)
{
    std::filesystem::remove_all((snippetsFolder + u"/anilibs"_s).toStdString());
    const QString page = writePage(u"offer.html"_s, plainPage);
    EXPECT_EQ(run(optionsFor(page)).kind, RunOutcome::Kind::Failed);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].title, u"Error"_s);
    EXPECT_TRUE(
        host.messages[0].text.contains(QDir::toNativeSeparators(snippetsFolder + u"/anilibs"_s)))
        << host.messages[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output(u"offer_modified.html"_s)));
    EXPECT_TRUE(host.openedFolders.isEmpty());
}

TEST_F(RestyleRunTest, MissingSnippetStopsBeforeAnythingIsWrittenAndNamesTheFile)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    for (const char *name :
         {"gfont-css.txt", "wowbelowbody.txt", "possibletitleclose.txt", "fx-fade.txt", "b.cfg"}) {
        SCOPED_TRACE(name);
        const QString file = snippetsFolder + u"/"_s + QString::fromLatin1(name);
        const QByteArray kept = readFile(file);
        QFile::remove(file);
        host.messages.clear();
        RunOptions options = optionsFor(page);
        options.backButton = true;
        options.backRedirect = u"https://example.org/"_s;
        EXPECT_EQ(run(options).kind, RunOutcome::Kind::Failed);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_TRUE(host.messages[0].text.contains(QDir::toNativeSeparators(file)))
            << host.messages[0].text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(output(u"offer_modified.html"_s)));
        writeFile(file, kept);
    }
}

TEST_F(RestyleRunTest, UnwritableOutputStopsWithReasonAndNoDone)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    QDir().mkpath(output(u"offer_modified.html"_s) + u"/inside"_s);  // a folder in the way
    EXPECT_EQ(run(optionsFor(page)).kind, RunOutcome::Kind::Failed);
    EXPECT_FALSE(sawMessage(u"Done"_s));
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(
        host.messages[0].text.contains(QDir::toNativeSeparators(output(u"offer_modified.html"_s))));
    EXPECT_TRUE(host.openedFolders.isEmpty());
}

TEST_F(RestyleRunTest, LibraryFolderBlockedByAFileStopsWithoutDone)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    writeFile(output(u"anilibs"_s), "a file where the folder should go");
    EXPECT_EQ(run(optionsFor(page)).kind, RunOutcome::Kind::Failed);
    EXPECT_FALSE(sawMessage(u"Done"_s));
    ASSERT_FALSE(host.messages.isEmpty());
    EXPECT_TRUE(host.messages.back().text.contains(QDir::toNativeSeparators(output(u"anilibs"_s))));
}

TEST_F(RestyleRunTest, ReadOnlyFolderStopsWithReasonAndNoDone)
{
    if (test_support::runningAsRoot()) {
        GTEST_SKIP() << "root writes into read-only folders; the command-line tests cover this as "
                        "another user";
    }
    const QString page = writePage(u"offer.html"_s, plainPage);
    QFile::setPermissions(pageFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(run(optionsFor(page)).kind, RunOutcome::Kind::Failed);
    QFile::setPermissions(pageFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(sawMessage(u"Done"_s));
    EXPECT_FALSE(QFileInfo::exists(output(u"offer_modified.html"_s)));
}

TEST_F(RestyleRunTest, MissingPageIsReportedByPath)
{
    const QString page = QDir(pageFolder).filePath(u"gone.html"_s);
    EXPECT_EQ(run(optionsFor(page)).kind, RunOutcome::Kind::Failed);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].text.contains(QDir::toNativeSeparators(page)));
}

TEST_F(RestyleRunTest, SecondRunTagsTheFreshlyLoadedPageOnce)
{
    const QString page = writePage(u"offer.html"_s, plainPage);
    ASSERT_TRUE(run(optionsFor(page)).written());
    ASSERT_TRUE(run(optionsFor(page)).written());
    EXPECT_EQ(modified.count(u" wow "_s), 2) << modified.toStdString();
}

}  // namespace
