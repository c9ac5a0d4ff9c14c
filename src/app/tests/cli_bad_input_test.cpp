// lumivane-cli fed with bad pages, a damaged install, locked files and a disk that fills up, as a
// user meets them: a real process on real files. Every failure is one line on standard error that
// names the file and the reason, exit status 1, nothing on standard output, and every folder as it
// was (same bytes, same times, no temporary file left behind). The program never dies of a signal.

#include "cli_process.h"
#include "engine/output_stage.h"
#include "platform/page_file.h"

#include "folder_snapshot.h"
#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using lumivane::test_support::folderSnapshot;
using Launch = lumivane::test_support::CliLaunch;
using Finished = lumivane::test_support::CliFinished;
using lumivane::test_support::readFile;
using lumivane::test_support::runCli;
using lumivane::test_support::writeFile;

namespace {

const QByteArray goodPage = "<!DOCTYPE html><html><head><title>Offer</title></head><body>"
                            "<h1>Buy now</h1><img src=\"a.png\"></body></html>";

// The user the permission cases run as when the tests run as root, who may read and write
// anything.
constexpr uid_t otherUser = 65534;

QString errorLine(const QString &text)
{
    return u"lumivane-cli: error: "_s + text + u'\n';
}

QString doneLine()
{
    return u"Done: "_s + QString::fromLatin1(lumivane::message::DoneText) + u'\n';
}

QByteArray randomBytes(qsizetype size)
{
    QRandomGenerator random(3);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

class CliBadInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        // Open to the other user, who must reach the pages and the program's copy.
        QFile::setPermissions(work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther);
        QDir().mkpath(site);
    }

    QString inSite(const QString &name) const { return site + u'/' + name; }

    // Runs as the other user when the tests run as root; otherwise as ourselves, whom the same
    // permissions stop.
    Launch asOrdinaryUser()
    {
        Launch launch;
        if (lumivane::test_support::runningAsRoot()) {
            launch.prefix = {u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s,
                             u"--clear-groups"_s};
        }
        return launch;
    }

    // Hands a file or folder to the user who runs the program, so that only the permission
    // under test stops it.
    static void giveToRunner(const QString &path)
    {
        if (lumivane::test_support::runningAsRoot()) {
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), otherUser, otherUser), 0);
        }
    }

    // A copy of the program with its own snippet folder beside it, which `damage` may change.
    QString programWithSnippets(const std::function<void(const QString &)> &damage = {})
    {
        const QString app = work.filePath(u"app"_s);
        std::filesystem::remove_all(app.toStdString());
        QDir().mkpath(app);
        QString program = app + u"/lumivane-cli"_s;
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(LUMIVANE_CLI_PATH), program));
        lumivane::test_support::copySnippetFolder(app + u"/snippets"_s);
        if (damage) {
            damage(app + u"/snippets"_s);
        }
        return program;
    }

    // A site holding the page, an earlier output and an earlier library copy.
    QString siteWithEarlierOutput()
    {
        writeFile(inSite(u"offer.html"_s), goodPage);
        writeFile(inSite(u"offer_modified.html"_s), "earlier output");
        writeFile(inSite(u"anilibs/lumivane-animate.css"_s), "earlier library");
        return inSite(u"offer.html"_s);
    }

    void expectOnlyError(const Finished &finished, const QString &text)
    {
        EXPECT_EQ(finished.exitCode, 1);
        EXPECT_EQ(finished.err, errorLine(text));
        EXPECT_TRUE(finished.out.isEmpty()) << finished.out.toStdString();
    }

    QTemporaryDir work;
    const QString site = work.filePath(u"site"_s);
};

TEST_F(CliBadInputTest, PagesThatAreNoTextPageGiveOneErrorLineAndChangeNothing)
{
    const struct {
        const char *name;
        std::function<void(const QString &)> make;
        QString reason;
    } cases[] = {
        {"missing.html", [](const QString &) {}, u"No such file or directory"_s},
        {"dangling.html", [](const QString &path) { QFile::link(path + u".gone"_s, path); },
         u"No such file or directory"_s},
        {"folder.html", [](const QString &path) { QDir().mkpath(path); },
         u"it is a folder, not a file"_s},
        {"pipe.html",
         [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
         u"it is not a regular file"_s},
        {"empty.html", [](const QString &path) { writeFile(path, {}); }, u"it is empty"_s},
        {"nul.html", [](const QString &path) { writeFile(path, "<h1>a\0b</h1>"_ba); },
         u"it holds NUL bytes, so it is not a text page"_s},
        {"random.html", [](const QString &path) { writeFile(path, randomBytes(65536)); },
         u"it holds NUL bytes, so it is not a text page"_s},
        {"huge.html",
         [](const QString &path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(200) << 20));
         },
         u"it is 200 MB (209715200 bytes), more than the 100 MB a page may have"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString page = inSite(QString::fromLatin1(c.name));
        c.make(page);
        writeFile(page.chopped(5) + u"_modified.html"_s, "earlier output");
        const QStringList before = folderSnapshot(work.path());
        expectOnlyError(runCli({u"--yes"_s, page}),
                        u"Cannot open the page \"%1\": %2."_s.arg(page, c.reason));
        EXPECT_EQ(folderSnapshot(work.path()), before);
    }
}

// Locked files stop the run with the system's reason, before any question and before anything is
// written; an unreadable library file leaves neither a new page nor half a library.
TEST_F(CliBadInputTest, FilesTheUserMayNotReadOrReplaceStopTheRunAndChangeNothing)
{
    const Launch user = asOrdinaryUser();
    if (!user.prefix.isEmpty() && runCli({u"--version"_s}, user).exitCode != 0) {
        GTEST_SKIP() << "the program cannot run as an ordinary user here";
    }
    const auto lockFile = [](const QString &path) {
        QFile::setPermissions(path, QFile::WriteOwner);
    };
    const QString snippetFile = work.filePath(u"app/snippets/wowbelowbody.txt"_s);
    const QString libraryFile = work.filePath(u"app/snippets/anilibs/lumivane-reveal.js"_s);
    const QString output = inSite(u"offer_modified.html"_s);
    const struct {
        const char *what;
        std::function<void()> lock;
        QString message;
    } cases[] = {
        {"unreadable page", [&] { lockFile(inSite(u"offer.html"_s)); },
         u"Cannot open the page \"%1\": Permission denied."_s.arg(inSite(u"offer.html"_s))},
        {"unreadable snippet", [&] { lockFile(snippetFile); },
         u"Cannot read \"%1\": Permission denied."_s.arg(snippetFile)},
        {"unreadable library file", [&] { lockFile(libraryFile); },
         u"Cannot read \"%1\": Permission denied."_s.arg(libraryFile)},
        {"read-only earlier output",
         [&] { QFile::setPermissions(output, QFile::ReadOwner | QFile::ReadOther); },
         u"Cannot replace \"%1\": the file is read-only."_s.arg(output)},
        {"read-only folder",
         [&] {
             QFile::remove(output);
             QFile::setPermissions(site, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                             QFile::ExeOther);
         },
         u"Cannot write \"%1\": Permission denied."_s.arg(output)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(site.toStdString());
        const QString page = siteWithEarlierOutput();
        Launch launch = user;
        launch.program = programWithSnippets();
        for (const QString &entry : folderSnapshot(site)) {
            giveToRunner(site + u'/' + entry.section(u" = "_s, 0, 0));
        }
        giveToRunner(site);
        c.lock();
        const QStringList before = folderSnapshot(site);
        expectOnlyError(runCli({u"--yes"_s, page}, launch), c.message);
        EXPECT_EQ(folderSnapshot(site), before);
        QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

// A damaged install is named file by file; nothing of the site changes, even with --yes.
TEST_F(CliBadInputTest, DamagedSnippetFolderIsNamedAndChangesNothing)
{
    const auto snippet = [&](const char *name) {
        return work.filePath(u"app/snippets/"_s + QString::fromLatin1(name));
    };
    const QString reinstall = u" Reinstall Lumivane or put the file back."_s;
    const struct {
        const char *what;
        std::function<void(const QString &)> damage;
        QString message;
    } cases[] = {
        {"missing snippet", [&](const QString &) { QFile::remove(snippet("wowbelowbody.txt")); },
         u"The snippet file \"%1\" is missing."_s.arg(snippet("wowbelowbody.txt")) + reinstall},
        {"empty snippet", [&](const QString &) { writeFile(snippet("animate-css.txt"), {}); },
         u"The snippet file \"%1\" is empty."_s.arg(snippet("animate-css.txt")) + reinstall},
        {"snippet not in UTF-8",
         [&](const QString &) { writeFile(snippet("b.cfg"), "<script>/* caf\xE9 */</script>"); },
         u"Cannot read \"%1\": it is not UTF-8 text."_s.arg(snippet("b.cfg"))},
        {"empty font list", [&](const QString &) { writeFile(snippet("gfonts.txt"), "\n"); },
         u"The snippet file \"%1\" is empty."_s.arg(snippet("gfonts.txt")) + reinstall +
             u" Give --font NAME or --no-font."_s},
        {"missing library",
         [&](const QString &) { std::filesystem::remove_all(snippet("anilibs").toStdString()); },
         u"Cannot list the folder \"%1\": it does not exist."_s.arg(snippet("anilibs"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString page = siteWithEarlierOutput();
        Launch launch;
        launch.program = programWithSnippets(c.damage);
        const QStringList before = folderSnapshot(site);
        expectOnlyError(
            runCli({u"--yes"_s, u"--back-redirect"_s, u"https://example.org/"_s, page}, launch),
            c.message);
        EXPECT_EQ(folderSnapshot(site), before);
    }
}

// A disk that fills during the write (here a file size limit): the earlier output stays whole, no
// temporary file is left, the reason is named and the program is not killed by the limit.
TEST_F(CliBadInputTest, DiskFillingUpDuringTheWriteKeepsEarlierFilesWhole)
{
    Launch limited;
    limited.prefix = {u"prlimit"_s, u"--fsize=65536"_s};
    if (runCli({u"--version"_s}, limited).exitCode != 0) {
        GTEST_SKIP() << "prlimit cannot set a file size limit here";
    }

    // The page itself does not fit.
    const QString page = siteWithEarlierOutput();
    writeFile(page, "<html><head><title>t</title></head><body><h1>Big</h1>" +
                        QByteArray(100'000, 'x') + "</body></html>");
    QStringList before = folderSnapshot(site);
    expectOnlyError(
        runCli({u"--yes"_s, page}, limited),
        u"Cannot write \"%1\": File too large."_s.arg(inSite(u"offer_modified.html"_s)));
    EXPECT_EQ(folderSnapshot(site), before);

    // The page fits, a library file does not: the page stays written, the earlier copy of that
    // library file stays whole, and there is no "Done".
    writeFile(page, goodPage);
    writeFile(inSite(u"anilibs/zz-big.js"_s), "earlier big file");
    limited.program = programWithSnippets([](const QString &snippets) {
        writeFile(snippets + u"/anilibs/zz-big.js"_s, QByteArray(100'000, 'y'));
    });
    const Finished finished = runCli({u"--yes"_s, page}, limited);
    expectOnlyError(finished,
                    u"Cannot write \"%1\": File too large."_s.arg(inSite(u"anilibs/zz-big.js"_s)));
    EXPECT_EQ(readFile(inSite(u"anilibs/zz-big.js"_s)), QByteArray("earlier big file"));
    EXPECT_EQ(QDir(inSite(u"anilibs"_s))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"lumivane-animate.css"_s, u"lumivane-reveal.js"_s, u"zz-big.js"_s}));
    EXPECT_EQ(QDir(site).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"anilibs"_s, u"offer.html"_s, u"offer_modified.html"_s}));
}

// The same on a file system that really is full: a small one of its own, mounted where only this
// test's processes see it (so this needs a user allowed to mount, and is skipped otherwise).
TEST_F(CliBadInputTest, FullFileSystemKeepsTheEarlierOutputWhole)
{
    const QString disk = work.filePath(u"disk"_s);
    QDir().mkpath(disk);
    const QString page = disk + u"/offer.html"_s;
    const QString output = disk + u"/offer_modified.html"_s;
    // Mounts, puts the page and an earlier output on it, fills the rest, runs the program, then
    // shows what the disk holds: the run's standard error first, then "exit N", then the listing
    // and the earlier output's bytes, since the mount is gone once the shell ends.
    const QString script = uR"sh(
        mount -t tmpfs -o size=512k tmpfs "$1" || exit 99
        printf '%s' "$4" > "$1/offer.html"
        printf 'earlier output' > "$1/offer_modified.html"
        cat /dev/zero > "$1/filler" 2>/dev/null
        "$2" --yes "$3" >/dev/null
        echo "exit $?"
        ls -A "$1"
        cat "$1/offer_modified.html"
    )sh"_s;
    const QByteArray bytes = "<html><head><title>t</title></head><body><h1>Big</h1>" +
                             QByteArray(100'000, 'x') + "</body></html>";
    QProcess probe;
    probe.start(u"unshare"_s, {u"-m"_s, u"true"_s});
    if (!probe.waitForFinished(10'000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0) {
        GTEST_SKIP() << "cannot make a mount namespace here";
    }
    QProcess shell;
    shell.start(u"unshare"_s,
                {u"-m"_s, u"sh"_s, u"-c"_s, script, u"sh"_s, disk,
                 QString::fromUtf8(LUMIVANE_CLI_PATH), page, QString::fromLatin1(bytes)});
    ASSERT_TRUE(shell.waitForFinished(60'000));
    ASSERT_EQ(shell.exitStatus(), QProcess::NormalExit);
    if (shell.exitCode() == 99) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardError()),
              errorLine(u"Cannot write \"%1\": No space left on device."_s.arg(output)));
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()),
              u"exit 1\nfiller\noffer.html\noffer_modified.html\nearlier output"_s);
}

// Pages a browser shows are restyled whatever their names, letters or encodings: the output goes
// beside the path given, the source (and through a link, the linked-to page) is never written.
TEST_F(CliBadInputTest, AwkwardNamesLinksAndEncodingsAreRestyledBesideTheGivenPath)
{
    const QString real = work.filePath(u"real"_s);
    writeFile(real + u"/offer.html"_s, goodPage);
    QFile::link(real + u"/offer.html"_s, inSite(u"link.html"_s));
    const struct {
        QString name;
        QStringList arguments;  // run in the site folder; empty: the page's full path
        QString output;         // file name in the site folder
        QByteArray bytes = goodPage;
        QByteArray kept = "<h1 class=";
    } cases[] = {
        {u"my offer page.html"_s, {}, u"my offer page_modified.html"_s},
        {u"Angebot für Ü.html"_s, {}, u"Angebot für Ü_modified.html"_s},
        {u"страница.htm"_s, {}, u"страница_modified.html"_s},
        {u"-dash.html"_s, {u"--"_s, u"-dash.html"_s}, u"-dash_modified.html"_s},
        {u"-dot.html"_s, {u"./-dot.html"_s}, u"-dot_modified.html"_s},
        {u"link.html"_s, {}, u"link_modified.html"_s},
        {u"latin1.html"_s,
         {},
         u"latin1_modified.html"_s,
         "<html><head><title>t</title></head><body><h1>caf\xE9 \xC3\x28</h1></body></html>",
         "caf\xE9 \xC3\x28"},
        {u"klingon.html"_s,
         {},
         u"klingon_modified.html"_s,
         "<meta charset=\"klingon\"><title>t</title><h1>\xE2\x82\xAC 5</h1>",
         "<meta charset=\"klingon\"><title>t</title>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString page = inSite(c.name);
        if (!QFileInfo(page).isSymLink()) {
            writeFile(page, c.bytes);
        }
        const QStringList realBefore = folderSnapshot(real);
        const QByteArray pageBefore = readFile(page);
        const QDateTime pageTime = QFileInfo(page).lastModified();
        Launch launch;
        launch.workingDirectory = site;
        const Finished finished =
            runCli(c.arguments.isEmpty() ? QStringList{page} : c.arguments, launch);
        EXPECT_EQ(finished.exitCode, 0) << finished.err.toStdString();
        EXPECT_EQ(finished.out, inSite(c.output) + u'\n');
        EXPECT_EQ(finished.err, doneLine());
        EXPECT_TRUE(readFile(inSite(c.output)).contains(c.kept));
        EXPECT_EQ(readFile(page), pageBefore);
        EXPECT_EQ(QFileInfo(page).lastModified(), pageTime);
        EXPECT_EQ(folderSnapshot(real), realBefore);
    }
    EXPECT_TRUE(QFileInfo(inSite(u"link.html"_s)).isSymLink());

    // Without "--" a leading "-" is an option: refused as bad usage, nothing written.
    const QStringList before = folderSnapshot(site);
    Launch launch;
    launch.workingDirectory = site;
    const Finished dash = runCli({u"-dash.html"_s}, launch);
    EXPECT_EQ(dash.exitCode, 2);
    EXPECT_TRUE(dash.err.startsWith(u"lumivane-cli: Unknown option -dash.html.\n"_s))
        << dash.err.toStdString();
    EXPECT_EQ(folderSnapshot(site), before);
}

// Inline elements, because the parser's own scope checks make 100,000 nested blocks take half a
// minute inside the parser; spans reach the same depth in a moment.
TEST_F(CliBadInputTest, HundredThousandNestedElementsNeverCrashTheProgram)
{
    constexpr int depth = 100'000;
    const QString page = inSite(u"deep.html"_s);
    writeFile(page, "<html><head><title>t</title></head><body>" +
                        QByteArray("<span>").repeated(depth) + "<h1>Deep</h1>" +
                        QByteArray("</span>").repeated(depth) + "</body></html>");
    const Finished finished = runCli({page});
    ASSERT_NE(finished.exitCode, -1) << "killed by a signal";
    if (finished.exitCode == 0) {
        EXPECT_EQ(finished.out, inSite(u"deep_modified.html"_s) + u'\n');
        EXPECT_EQ(readFile(inSite(u"deep_modified.html"_s)).count("<span>"), depth);
    } else {
        EXPECT_EQ(finished.exitCode, 1);
        EXPECT_TRUE(finished.err.contains(u"too deeply nested"_s)) << finished.err.toStdString();
        EXPECT_TRUE(finished.err.contains(page));
        EXPECT_FALSE(QFileInfo::exists(inSite(u"deep_modified.html"_s)));
    }
}

}  // namespace
