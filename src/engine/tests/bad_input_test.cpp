// The whole run fed with everything a user's disk can hold instead of a good page and a good
// install. Every failure is one error message naming the file and the reason, before any question
// and before anything is written; every page that a browser can show is restyled beside the path
// picked, and the source is never written. (The cases that need another user or a full disk run
// through lumivane-cli in cli_test.)

#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "platform/page_file.h"

#include "folder_snapshot.h"
#include "qt_printers.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace lumivane;
using test_support::folderSnapshot;
using test_support::readFile;
using test_support::writeFile;

namespace {

const QByteArray goodPage = "<!DOCTYPE html><html><head><title>Offer</title></head><body>"
                            "<h1>Buy now</h1><img src=\"a.png\"></body></html>";

// The same "random" bytes on every run of the test.
QByteArray randomBytes(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(65536, '\0');
    for (char &byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override { freshStart(); }

    // A fresh install, and a site holding the page, an earlier output and an earlier library.
    void freshStart()
    {
        std::filesystem::remove_all(work.path().toStdString());
        test_support::copySnippetFolder(snippets);
        writeFile(page, goodPage);
        writeFile(output, "earlier output");
        writeFile(site + u"/anilibs/lumivane-animate.css"_s, "earlier library");
    }

    RunOutcome run(const QString &path)
    {
        host = {};
        RunOptions options;  // animations, a font and the back button: every snippet is read
        options.selectedFile = path;
        options.fontName = u"Open Sans"_s;
        options.backButton = true;
        options.backRedirect = u"https://example.org/"_s;
        RestyleRun restyle(SnippetFolder(snippets), host, random);
        return restyle.cmdGo_Click(options);
    }

    void expectWritten(const RunOutcome &outcome, const QString &path)
    {
        const QString expected = path.left(path.lastIndexOf(u'.')) + u"_modified.html"_s;
        ASSERT_EQ(outcome.kind, RunOutcome::Kind::Written);
        EXPECT_EQ(outcome.outputPath, expected);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].title, u"Done"_s);
        EXPECT_EQ(host.openedFolders, QStringList{site + u'/'});
        EXPECT_TRUE(readFile(expected).contains("lumivane-reveal.js"));  // the activation script
    }

    QTemporaryDir work;
    const QString snippets = work.filePath(u"app/snippets"_s);
    const QString site = work.filePath(u"site"_s);
    const QString page = site + u"/offer.html"_s;
    const QString output = site + u"/offer_modified.html"_s;
    test_support::RecordingHost host;
    QRandomGenerator random{77};
};

TEST_F(BadInputTest, EveryFailureIsOneMessageBeforeAnyQuestionAndChangesNothing)
{
    const auto snippet = [&](const char *name) { return snippets + u'/' + QLatin1String(name); };
    const auto instead = [&](const std::function<void()> &make) {
        return [&, make] {
            QFile::remove(page);
            make();
        };
    };
    const auto pageIs = [&](const QByteArray &bytes) {
        return [&, bytes] { writeFile(page, bytes); };
    };
    const auto snippetIs = [&](const char *name, const QByteArray &bytes) {
        return [&, name, bytes] { writeFile(snippet(name), bytes); };
    };
    const auto cannotOpen = [&](const QString &reason) {
        return u"Cannot open the page \"%1\": %2."_s.arg(page, reason);
    };
    const QString reinstall = u" Reinstall Lumivane or put the file back."_s;
    const QString notUtf8 = u"Cannot read \"%1\": it is not UTF-8 text."_s;
    QByteArray withNul = goodPage;
    withNul.insert(withNul.indexOf("Buy"), '\0');
    struct Case {
        QString what;
        std::function<void()> damage;
        QString message;
    };
    QList<Case> cases{
        {u"missing page"_s, instead([] {}), cannotOpen(u"No such file or directory"_s)},
        {u"dangling link"_s, instead([&] { QFile::link(page + u".gone"_s, page); }),
         cannotOpen(u"No such file or directory"_s)},
        {u"folder"_s, instead([&] { QDir().mkpath(page); }),
         cannotOpen(u"it is a folder, not a file"_s)},
        {u"pipe"_s, instead([&] { ::mkfifo(QFile::encodeName(page).constData(), 0600); }),
         cannotOpen(u"it is not a regular file"_s)},
        {u"empty page"_s, pageIs({}), cannotOpen(u"it is empty"_s)},
        {u"blank page"_s, pageIs(" \r\n\t\n"), cannotOpen(u"it is empty"_s)},
        {u"byte order mark only"_s, pageIs("\xEF\xBB\xBF"), cannotOpen(u"it is empty"_s)},
        {u"NUL in UTF-8"_s, pageIs(withNul),
         cannotOpen(u"it holds NUL bytes, so it is not a text page"_s)},
        {u"NUL in other bytes"_s, pageIs(randomBytes(1)),
         cannotOpen(u"it holds NUL bytes, so it is not a text page"_s)},
        {u"just over the limit"_s, [&] { QFile::resize(page, MaxPageBytes + 1); },
         cannotOpen(u"it is 101 MB (104857601 bytes), more than the 100 MB a page "
                    "may have"_s)},
        // An empty body-tag list would drop the activation script and leave the page hidden.
        {u"emptied list"_s, snippetIs("possiblebodyopen.txt", {}),
         u"The snippet file \"%1\" is empty."_s.arg(snippet("possiblebodyopen.txt")) + reinstall},
        {u"blanked snippet"_s, snippetIs("gfont-css.txt", "\r\n  \n"),
         u"The snippet file \"%1\" is empty."_s.arg(snippet("gfont-css.txt")) + reinstall},
        {u"Latin-1 snippet"_s, snippetIs("b.cfg", "caf\xE9\n"), notUtf8.arg(snippet("b.cfg"))},
        {u"snippet cut in a character"_s,
         snippetIs("fx-bounce.txt", "\xEF\xBB\xBF"
                                    "bounce\n\xE2\x82"),
         notUtf8.arg(snippet("fx-bounce.txt"))},
        {u"library missing"_s,
         [&] { std::filesystem::remove_all(snippet("anilibs").toStdString()); },
         u"Cannot list the folder \"%1\": it does not exist."_s.arg(snippet("anilibs"))},
        {u"library is a file"_s,
         [&] {
             std::filesystem::remove_all(snippet("anilibs").toStdString());
             writeFile(snippet("anilibs"), "a file");
         },
         u"Cannot list the folder \"%1\": it is a file, not a folder."_s.arg(snippet("anilibs"))},
        {u"a file named like the library folder"_s,
         [&] {
             QFile::remove(output);  // else the question comes first
             std::filesystem::remove_all((site + u"/anilibs"_s).toStdString());
             writeFile(site + u"/anilibs"_s, "a file");
         },
         u"Cannot create the folder \"%1/anilibs/\": a file of that name is in the way."_s.arg(
             site)},
        {u"a folder named like the output"_s,
         [&] {
             QFile::remove(output);
             QDir().mkpath(output + u"/inside"_s);
         },
         u"Cannot write \"%1\": Filename refers to a directory."_s.arg(output)},
    };
    // Every snippet the run reads is checked before anything is written.
    for (const char *name :
         {"animate-linkrel.txt", "animate-css.txt", "gfont-css.txt", "fx-bounce.txt", "fx-fade.txt",
          "wowbelowbody.txt", "possibletitleclose.txt", "possiblebodyopen.txt", "b.cfg"}) {
        cases.append({QString::fromLatin1(name), [&, name] { QFile::remove(snippet(name)); },
                      u"The snippet file \"%1\" is missing."_s.arg(snippet(name)) + reinstall});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        freshStart();
        c.damage();
        const QStringList before = folderSnapshot(site);
        EXPECT_EQ(run(page).kind, RunOutcome::Kind::Failed);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].title, u"Error"_s);
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(host.messages[0].text, c.message);
        EXPECT_TRUE(host.questions.isEmpty());
        EXPECT_TRUE(host.openedFolders.isEmpty());
        EXPECT_EQ(folderSnapshot(site), before);
    }
}

// Whatever its name, a page is restyled beside the path picked, and never written itself; through
// a link, the linked-to page and its folder are never written either.
TEST_F(BadInputTest, AwkwardNamesAndLinksAreRestyledBesideThePickedPath)
{
    for (const QString &name : {u"my offer page.html"_s, u"Angebot für Ü #1 & 'quote'; semi.html"_s,
                                u"страница 日本語.htm"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = site + u'/' + name;
        writeFile(path, goodPage);
        expectWritten(run(path), path);
        EXPECT_EQ(readFile(path), goodPage);
    }

    const QString real = work.filePath(u"real"_s);
    writeFile(real + u"/offer.html"_s, goodPage);
    const QStringList realBefore = folderSnapshot(real);
    const QString link = site + u"/link.html"_s;
    ASSERT_TRUE(QFile::link(real + u"/offer.html"_s, link));
    expectWritten(run(link), link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(folderSnapshot(real), realBefore);
}

}  // namespace
