// The whole run fed with everything a user's disk can hold instead of a good page and a good
// install: wrong kinds of files, broken text, damaged snippet and library folders, awkward paths.
// Every failure must be one error message naming the file and the reason, and must leave every
// folder exactly as it was; every page that a browser can show must be restyled.

#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "platform/page_file.h"

#include "folder_snapshot.h"
#include "qt_printers.h"
#include "recording_host.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::folderSnapshot;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

const QByteArray goodPage = "<!DOCTYPE html><html><head><title>Offer</title></head><body>"
                            "<h1>Buy now</h1><img src=\"a.png\"></body></html>";

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Bytes drawn from a fixed seed, so that every run of the test sees the same "random" file.
QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

void makeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(size));  // no data blocks: instant, and no disk space used
}

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        test_support::copySnippetFolder(snippets);
        QDir().mkpath(site);
    }

    QString inSite(const QString &name) const { return site + u'/' + name; }

    RunOutcome run(const QString &page, RunOptions options = {})
    {
        host = {};
        options.selectedFile = page;
        options.fontName = u"Open Sans"_s;
        RestyleRun restyle(SnippetFolder(snippets), host, random);
        return restyle.cmdGo_Click(options);
    }

    // One error message, exactly `text`, and nothing else: no question, no "Done", no folder.
    void expectOnlyError(const RunOutcome &outcome, const QString &text)
    {
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::Failed);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].title, u"Error"_s);
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(host.messages[0].text, text);
        EXPECT_TRUE(host.questions.isEmpty());
        EXPECT_TRUE(host.openedFolders.isEmpty());
    }

    void expectWritten(const RunOutcome &outcome, const QString &page)
    {
        ASSERT_EQ(outcome.kind, RunOutcome::Kind::Written)
            << (host.messages.isEmpty() ? std::string() : host.messages[0].text.toStdString());
        const QString name = QFileInfo(page).fileName();
        EXPECT_EQ(outcome.outputPath,
                  native(QFileInfo(page).path() + u'/' + name.left(name.lastIndexOf(u'.')) +
                         u"_modified.html"_s));
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].title, u"Done"_s);
    }

    QTemporaryDir work;
    const QString snippets = work.filePath(u"app/snippets"_s);
    const QString site = work.filePath(u"site"_s);
    test_support::RecordingHost host;
    QRandomGenerator random{77};
};

TEST_F(BadInputTest, PagesThatAreNoTextPageAreRefusedNamingTheFileAndTheReason)
{
    QByteArray withNul = goodPage;
    withNul.insert(withNul.indexOf("Buy"), '\0');
    const struct {
        const char *name;
        std::function<void(const QString &)> make;
        QString reason;
    } cases[] = {
        {"missing.html", [](const QString &) {}, u"No such file or directory"_s},
        {"dangling link.html", [](const QString &path) { QFile::link(path + u".gone"_s, path); },
         u"No such file or directory"_s},
        {"folder.html", [](const QString &path) { QDir().mkpath(path); },
         u"it is a folder, not a file"_s},
        {"pipe.html",
         [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
         u"it is not a regular file"_s},
        {"empty.html", [](const QString &path) { writeFile(path, {}); }, u"it is empty"_s},
        {"blank.html", [](const QString &path) { writeFile(path, " \r\n\t\n"); }, u"it is empty"_s},
        {"bom only.html", [](const QString &path) { writeFile(path, "\xEF\xBB\xBF"); },
         u"it is empty"_s},
        {"nul.html", [&](const QString &path) { writeFile(path, withNul); },
         u"it holds NUL bytes, so it is not a text page"_s},
        {"random.html", [](const QString &path) { writeFile(path, randomBytes(65536, 1)); },
         u"it holds NUL bytes, so it is not a text page"_s},
        {"just over.html", [](const QString &path) { makeSparseFile(path, MaxPageBytes + 1); },
         u"it is 101 MB (104857601 bytes), more than the 100 MB a page may have"_s},
        {"huge.html", [](const QString &path) { makeSparseFile(path, qint64(200) << 20); },
         u"it is 200 MB (209715200 bytes), more than the 100 MB a page may have"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString page = inSite(QString::fromUtf8(c.name));
        c.make(page);
        const QStringList before = folderSnapshot(work.path());
        expectOnlyError(run(page),
                        u"Cannot open the page \"%1\": %2."_s.arg(native(page), c.reason));
        EXPECT_EQ(folderSnapshot(work.path()), before);
    }
}

// Pages a browser shows are restyled, and bytes the page's encoding cannot explain are written
// back exactly as they were read.
TEST_F(BadInputTest, PagesWithBrokenOrUnknownEncodingsAreRestyledKeepingTheirBytes)
{
    QByteArray noNul = randomBytes(65536, 2);
    noNul.replace('\0', 'x');
    const struct {
        const char *name;
        QByteArray bytes;
        QByteArray kept;  // must appear in the output as it is
    } cases[] = {
        {"invalid utf8.html",
         "<html><head><title>t</title></head><body><h1>caf\xE9 \xC3\x28 \xFF"
         "</h1></body></html>",
         "caf\xE9 \xC3\x28 \xFF"},
        {"unknown charset.html",
         "<html><head><meta charset=\"x-no-such-charset\"><title>t</title>"
         "</head><body><p>\xE2\x82\xAC 5</p></body></html>",
         "<meta charset=\"x-no-such-charset\"><title>t</title>"},
        {"unknown charset 1252.html",
         "<html><head><meta charset=\"klingon\"></head><body><p>caf\xE9</p></body></html>",
         "caf\xE9"},
        {"refused charset.html", "<meta charset=\"iso-2022-kr\"><p>\xE2\x82\xAC 5</p>",
         "\xE2\x82\xAC 5"},
        {"only words.html", "just words", "just words"},
        {"random no nul.html", noNul, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString page = inSite(QString::fromUtf8(c.name));
        writeFile(page, c.bytes);
        const RunOutcome outcome = run(page);
        expectWritten(outcome, page);
        EXPECT_EQ(readFile(page), c.bytes);
        const QByteArray written = readFile(outcome.outputPath);
        EXPECT_TRUE(written.contains(c.kept)) << written.left(2000).toStdString();
        EXPECT_TRUE(written.contains("lumivane-reveal.js"));  // the activation script went in
    }
}

// Inline elements: the parser's own scope checks make 100,000 nested blocks quadratic (half a
// minute in the parser alone), which is slow but no fault; spans reach the same depth at once.
TEST_F(BadInputTest, HundredThousandNestedElementsAreRestyledOrRefusedButNeverCrash)
{
    constexpr int depth = 100'000;
    const QString page = inSite(u"deep.html"_s);
    writeFile(page, "<html><head><title>t</title></head><body>" +
                        QByteArray("<span>").repeated(depth) + "<h1>Deep</h1><img src=\"d.png\">" +
                        QByteArray("</span>").repeated(depth) + "</body></html>");
    const RunOutcome outcome = run(page);
    if (outcome.kind == RunOutcome::Kind::Failed) {
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_TRUE(host.messages[0].text.contains(u"too deeply nested"_s));
        EXPECT_TRUE(host.messages[0].text.contains(native(page)));
        EXPECT_FALSE(QFileInfo::exists(inSite(u"deep_modified.html"_s)));
        return;
    }
    expectWritten(outcome, page);
    const QByteArray written = readFile(outcome.outputPath);
    EXPECT_EQ(written.count("<span>"), depth);
    EXPECT_EQ(written.count(" wow "), 2);  // the heading and the image at the bottom were tagged
}

TEST_F(BadInputTest, PageGoneOrReplacedAfterSelectionFailsAndKeepsTheEarlierOutput)
{
    const QString page = inSite(u"offer.html"_s);
    writeFile(page, goodPage);
    ASSERT_TRUE(run(page).written());  // selected, run once; then the page changes under us
    QFile::remove(page);
    const QStringList before = folderSnapshot(work.path());
    expectOnlyError(run(page),
                    u"Cannot open the page \"%1\": No such file or directory."_s.arg(native(page)));
    QDir().mkpath(page);
    expectOnlyError(
        run(page), u"Cannot open the page \"%1\": it is a folder, not a file."_s.arg(native(page)));
    QDir().rmdir(page);
    EXPECT_EQ(folderSnapshot(work.path()), before);
}

// Snippets are ours and UTF-8; a damaged install is named file by file, before anything is
// written, whichever file it hits.
TEST_F(BadInputTest, BrokenSnippetFilesStopTheRunBeforeAnythingIsWritten)
{
    const QString page = inSite(u"offer.html"_s);
    writeFile(page, goodPage);
    writeFile(inSite(u"offer_modified.html"_s), "earlier output");
    writeFile(inSite(u"anilibs/lumivane-animate.css"_s), "earlier library");
    RunOptions options;  // animations from bounce and fade, fonts, and the back button
    options.backButton = true;
    options.backRedirect = u"https://example.org/"_s;

    const QString missing = u"The snippet file \"%1\" is missing. Reinstall Lumivane or put the "
                            "file back."_s;
    const QString empty = u"The snippet file \"%1\" is empty. Reinstall Lumivane or put the file "
                          "back."_s;
    const QString notUtf8 = u"Cannot read \"%1\": it is not UTF-8 text."_s;
    const struct {
        const char *damage;
        std::function<void(const QString &)> apply;
        QString message;
        bool animationListsToo = true;  // an emptied animation list is a family with no names
    } damages[] = {
        {"removed", [](const QString &file) { QFile::remove(file); }, missing},
        {"emptied", [](const QString &file) { writeFile(file, {}); }, empty, false},
        {"blanked", [](const QString &file) { writeFile(file, "\r\n  \n"); }, empty, false},
        {"latin-1", [](const QString &file) { writeFile(file, "caf\xE9\n"); }, notUtf8},
        {"cut in a character",
         [](const QString &file) {
             writeFile(file, "\xEF\xBB\xBF"
                             "bounce\n\xE2\x82");
         },
         notUtf8},
    };
    for (const char *name :
         {"animate-linkrel.txt", "animate-css.txt", "gfont-css.txt", "fx-bounce.txt", "fx-fade.txt",
          "wowbelowbody.txt", "possibletitleclose.txt", "possiblebodyopen.txt", "b.cfg"}) {
        const QString file = native(snippets + u'/' + QString::fromLatin1(name));
        const QByteArray kept = readFile(file);
        for (const auto &damage : damages) {
            if (!damage.animationListsToo && QByteArray(name).startsWith("fx-")) {
                continue;
            }
            SCOPED_TRACE(std::string(name) + " " + damage.damage);
            damage.apply(file);
            const QStringList before = folderSnapshot(site);
            expectOnlyError(run(page, options), damage.message.arg(file));
            EXPECT_EQ(folderSnapshot(site), before);
            writeFile(file, kept);
        }
    }
}

TEST_F(BadInputTest, BrokenLibraryFolderLeavesNoOutputAndNoHalfCopiedLibrary)
{
    const QString page = inSite(u"offer.html"_s);
    writeFile(page, goodPage);
    writeFile(inSite(u"offer_modified.html"_s), "earlier output");
    writeFile(inSite(u"anilibs/lumivane-animate.css"_s), "earlier library");
    const QString library = snippets + u"/anilibs"_s;
    const QString kept = work.filePath(u"kept-anilibs"_s);
    ASSERT_TRUE(QDir().rename(library, kept));

    const struct {
        const char *name;
        std::function<void()> damage;
        QString message;
    } cases[] = {
        {"missing", [] {},
         u"Cannot list the folder \"%1\": it does not exist."_s.arg(native(library))},
        {"a file", [&] { writeFile(library, "not a folder"); },
         u"Cannot list the folder \"%1\": it is a file, not a folder."_s.arg(native(library))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.damage();
        const QStringList before = folderSnapshot(site);
        expectOnlyError(run(page), c.message);
        EXPECT_EQ(folderSnapshot(site), before);
        QFile::remove(library);
    }
    ASSERT_TRUE(QDir().rename(kept, library));
}

// Something in the way of the outputs is found before the page is written, so that a failed run
// never leaves a new page without its library.
TEST_F(BadInputTest, ThingsInTheWayOfTheOutputsStopTheRunBeforeAnythingIsWritten)
{
    const QString page = inSite(u"offer.html"_s);
    writeFile(page, goodPage);
    const struct {
        const char *what;
        QString blocked;
        std::function<void()> block;
        QString message;
    } cases[] = {
        {"a file named like the library folder", inSite(u"anilibs"_s),
         [&] { writeFile(inSite(u"anilibs"_s), "a file"); },
         u"Cannot create the folder \"%1\": a file of that name is in the way."_s.arg(
             native(inSite(u"anilibs/"_s)))},
        {"a folder named like the output", inSite(u"offer_modified.html"_s),
         [&] { QDir().mkpath(inSite(u"offer_modified.html/inside"_s)); },
         u"Cannot write \"%1\": Filename refers to a directory."_s.arg(
             native(inSite(u"offer_modified.html"_s)))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        c.block();
        const QStringList before = folderSnapshot(site);
        expectOnlyError(run(page), c.message);
        EXPECT_EQ(folderSnapshot(site), before);
        std::filesystem::remove_all(c.blocked.toStdString());
    }
}

// What the user may not read or replace is named with the system's reason, before any question
// and before anything is written: an unreadable library file must not leave half a library.
TEST_F(BadInputTest, FilesTheUserMayNotReadOrReplaceStopTheRunBeforeAnythingIsWritten)
{
    if (test_support::runningAsRoot()) {
        GTEST_SKIP() << "root reads and replaces any file; cli_bad_input_test covers these as "
                        "another user";
    }
    const QString page = inSite(u"offer.html"_s);
    writeFile(page, goodPage);
    const QString output = inSite(u"offer_modified.html"_s);
    writeFile(output, "earlier output");
    writeFile(inSite(u"anilibs/lumivane-animate.css"_s), "earlier library");
    const struct {
        QString locked;
        QFile::Permissions permissions;
        QString message;
    } cases[] = {
        {page, QFile::WriteOwner, u"Cannot open the page \"%1\": Permission denied."_s},
        {snippets + u"/wowbelowbody.txt"_s, QFile::WriteOwner,
         u"Cannot read \"%1\": Permission denied."_s},
        {snippets + u"/anilibs/lumivane-reveal.js"_s, QFile::WriteOwner,
         u"Cannot read \"%1\": Permission denied."_s},
        {output, QFile::ReadOwner, u"Cannot replace \"%1\": the file is read-only."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locked.toStdString());
        const QFile::Permissions usual = QFile::permissions(c.locked);
        QFile::setPermissions(c.locked, c.permissions);
        const QStringList before = folderSnapshot(site);
        expectOnlyError(run(page), c.message.arg(native(c.locked)));
        EXPECT_EQ(folderSnapshot(site), before);
        QFile::setPermissions(c.locked, usual);
    }
}

// The output goes beside the path the user picked, whatever its letters; through a link, the
// linked-to page and its folder are never written.
TEST_F(BadInputTest, AwkwardPathsAndLinksAreRestyledBesideThePickedPath)
{
    for (const QString &name :
         {u"my offer page.html"_s, u"Angebot für Ünïcödé.html"_s, u"страница.htm"_s,
          u"-dash.html"_s, u"#hash & 'quote'; semi.html"_s, u"日本語 ページ.html"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QString page = inSite(name);
        writeFile(page, goodPage);
        expectWritten(run(page), page);
        EXPECT_EQ(host.openedFolders, QStringList{native(site + u'/')});
        EXPECT_EQ(readFile(page), goodPage);
    }

    const QString real = work.filePath(u"real"_s);
    writeFile(real + u"/offer.html"_s, goodPage);
    const QStringList realBefore = folderSnapshot(real);
    const QString link = inSite(u"link.html"_s);
    ASSERT_TRUE(QFile::link(real + u"/offer.html"_s, link));
    expectWritten(run(link), link);
    EXPECT_TRUE(QFileInfo::exists(inSite(u"link_modified.html"_s)));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(folderSnapshot(real), realBefore);
}

}  // namespace
