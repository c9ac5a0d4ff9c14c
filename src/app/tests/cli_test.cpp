// lumivane-cli as a user runs it, a real process on real files, for one page and for many. Why the
// run refuses is tested in restyle_run_test; here, how the command line says it, the failures that
// need another user or a full disk, and that nothing is fetched.

#include "folder_snapshot.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <unistd.h>

using namespace Qt::StringLiterals;
using lumivane::test_support::folderSnapshot;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

const QString cli = QString::fromUtf8(LUMIVANE_CLI_PATH);
const QByteArray goodPage = "<!DOCTYPE html><html><head><title>Offer</title></head><body>"
                            "<h1>Buy now</h1><img src=\"a.png\"></body></html>";
const QByteArray ownAnimation = "<title>T</title><h1 class=\"wow fadeIn\">A</h1>";
const QString warning = u"The page already animates 1 element of its own (class wow); it keeps "
                        "its animation and gets none of ours.\n"_s;

QByteArray pageWith(int headings, const QByteArray &title = "T")
{
    return "<title>" + title + "</title>" +
           QByteArray("<h1>Heading</h1><img src=\"a.png\">").repeated(headings);
}

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

struct Finished {
    int exitCode = -1;
    QString out, err;
};

class CliTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return folder.filePath(name); }
    QString page(const QString &name, const QByteArray &bytes = goodPage)
    {
        writeFile(path(name), bytes);
        return path(name);
    }
    // The program as a user's shell runs it, the arguments separated by spaces, with no terminal
    // on standard input so that nothing is ever asked; `prefix` runs it as another user or with
    // a file size limit, `in` is the working folder (the test's own when empty).
    Finished run(const QString &arguments, const QStringList &prefix = {},
                 const QString &program = cli, const QString &in = {}) const
    {
        const QStringList command =
            prefix + QStringList{program} + arguments.split(u' ', Qt::SkipEmptyParts);
        QProcess process;
        process.setStandardInputFile(QProcess::nullDevice());
        process.setWorkingDirectory(in.isEmpty() ? folder.path() : in);
        process.start(command.first(), command.sliced(1));
        const bool finished = process.waitForFinished(120'000);
        return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir folder;
};

TEST_F(CliTest, BadUsageSaysWhatIsWrongWithExitStatusTwo)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "No page given."},
        {"-x.html", "Unknown option -x.html."},
        {"--speed ludicrous a.html", "--speed needs one of fast, natural, slow."},
        {"--yes=no a.html", "--yes takes no value."},
        {"--jobs=1025 a.html b.html", "--jobs needs a whole number from 1 to 1024."},
        {"--open a.html b.html", "--open works with a single page only."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        const Finished finished = run(QString::fromLatin1(c.first));
        EXPECT_EQ(finished.exitCode, 2);
        EXPECT_EQ(finished.err, u"lumivane-cli: %1\nTry 'lumivane-cli --help'.\n"_s.arg(
                                    QString::fromUtf8(c.second)));
        EXPECT_EQ(finished.out, QString());
    }
}

// The written page's path on standard output; on standard error one line for what happened.
TEST_F(CliTest, EachOutcomeIsOneLineWithItsExitStatus)
{
    page(u"offer.html"_s);
    page(u"own.html"_s, ownAnimation);
    const QString opened = path(u"opened.txt"_s);  // noted by an opener that opens nothing
    page(u"bin/xdg-open"_s, "#!/bin/sh\necho \"$1\" >> '" + opened.toUtf8() + "'\n");
    QFile::setPermissions(path(u"bin/xdg-open"_s), QFile::ReadOwner | QFile::ExeOwner);
    const QStringList opener{u"env"_s, u"PATH="_s + path(u"bin:"_s) + qEnvironmentVariable("PATH")};
    const auto done = [&](const char *output, const QString &opens = {}) {
        return u"Done: %1 saved.%2 Please remember to upload the 'anilibs' folder to your "
               "website.\n"_s.arg(path(QString::fromLatin1(output)), opens);
    };
    const QString nothing =
        u"Ooops!: Seems that there is nothing to change. Please select an option before.\n"_s;
    const struct {
        const char *arguments;
        const char *written;  // the output named on standard output; none when the run failed
        QString err;
    } cases[] = {
        {"offer.html", "offer_modified.html", done("offer_modified.html")},
        {"offer.html", "",
         u"lumivane-cli: The target file (offer_modified.html) exists. Overwrite it with the new "
         "changes?\nlumivane-cli: not replaced: no terminal to ask on; give --yes to replace it.\n"_s},
        {"--yes --open offer.html", "offer_modified.html",
         done("offer_modified.html", u" Its folder opens now."_s)},
        {"own.html", "own_modified.html",
         u"lumivane-cli: warning: "_s + warning + done("own_modified.html")},
        {"missing.html", "",
         u"lumivane-cli: error: Cannot open the page \"%1\": No such file or directory.\n"_s.arg(
             path(u"missing.html"_s))},
        // Refused by the run for one page; for several, said once before any runs.
        {"--no-animations --no-font offer.html", "", nothing},
        {"--no-animations --no-font offer.html own.html", "", nothing},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments);
        const Finished finished = run(QString::fromLatin1(c.arguments), opener);
        const QString written = *c.written ? path(QString::fromLatin1(c.written)) + u'\n' : u""_s;
        EXPECT_EQ(finished.exitCode, *c.written ? 0 : 1);
        EXPECT_EQ(finished.out, written);
        EXPECT_EQ(finished.err, c.err);
    }
    EXPECT_EQ(readFile(opened), (folder.path() + u"/\n"_s).toUtf8());
}

// What the user may not read or replace, an emptied font list, and a write cut short by a file
// size limit stop the run with the reason and change nothing: no half library, no temporary file.
TEST_F(CliTest, LockedDamagedOrTooLargeFilesStopTheRunAndChangeNothing)
{
    QStringList user;
    if (::geteuid() == 0) {  // root reads and writes anything: run as another user
        user = {u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
    }
    const QString app = path(u"app"_s);
    const QString output = path(u"site/offer_modified.html"_s);
    const QString library = app + u"/snippets/anilibs/lumivane-reveal.js"_s;
    const QString fonts = app + u"/snippets/gfonts.txt"_s;
    const struct {
        QStringList prefix;
        QString file;  // given `mode` or, when that is -1, the `bytes`
        int mode;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {user, library, 0200, {}, u"Cannot read \"%1\": Permission denied."_s.arg(library)},
        {user, output, 0444, {}, u"Cannot replace \"%1\": the file is read-only."_s.arg(output)},
        {user, fonts, -1, "\n",
         u"The snippet file \"%1\" is empty. Reinstall Lumivane or put the file back. Give --font "
         "NAME or --no-font."_s.arg(fonts)},
        {{u"prlimit"_s, u"--fsize=65536"_s},
         path(u"site/offer.html"_s),
         -1,
         pageWith(3000),
         u"Cannot write \"%1\": File too large."_s.arg(output)},
    };
    // Open to the other user, who must reach the program's copy and the site.
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        std::filesystem::remove_all(app.toStdString());  // the program with snippets of its own
        std::filesystem::remove_all(path(u"site"_s).toStdString());
        lumivane::test_support::copySnippetFolder(app + u"/snippets"_s);
        ASSERT_TRUE(QFile::copy(cli, app + u"/lumivane-cli"_s));
        page(u"site/offer.html"_s);
        page(u"site/offer_modified.html"_s, "earlier output");
        page(u"site/anilibs/lumivane-animate.css"_s, "earlier library");
        if (!user.isEmpty()) {  // the site is the other user's own
            QProcess::execute(u"chown"_s, {u"-R"_s, u"65534:65534"_s, path(u"site"_s)});
        }
        if (c.mode < 0) {
            writeFile(c.file, c.bytes);
        } else {
            std::filesystem::permissions(c.file.toStdString(), std::filesystem::perms(c.mode));
        }
        const QStringList before = folderSnapshot(path(u"site"_s));
        const Finished finished =
            run(u"--yes site/offer.html"_s, c.prefix, app + u"/lumivane-cli"_s);
        EXPECT_EQ(finished.exitCode, 1);
        EXPECT_EQ(finished.err, u"lumivane-cli: error: "_s + c.message + u'\n');
        EXPECT_EQ(folderSnapshot(path(u"site"_s)), before);
    }
}

// A small file system of its own, full, seen only by this test's processes (skipped where the
// user may not mount); the script shows the exit status, the disk and the earlier output.
TEST_F(CliTest, FullFileSystemKeepsTheEarlierOutputWhole)
{
    const QString script = uR"sh(
        mkdir "$1" && mount -t tmpfs -o size=512k tmpfs "$1" || exit 99
        printf '%s' "$3" > "$1/offer.html"
        printf 'earlier output' > "$1/offer_modified.html"
        cat /dev/zero > "$1/filler" 2>/dev/null
        "$2" --yes "$1/offer.html" >/dev/null
        echo "exit $?"; ls -A "$1"; cat "$1/offer_modified.html"
    )sh"_s;
    QProcess shell;
    shell.start(u"unshare"_s, {u"-m"_s, u"sh"_s, u"-c"_s, script, u"sh"_s, path(u"disk"_s), cli,
                               QString::fromLatin1(pageWith(3000))});
    ASSERT_TRUE(shell.waitForFinished(60'000));
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardError()),
              u"lumivane-cli: error: Cannot write \"%1\": No space left on device.\n"_s.arg(
                  path(u"disk/offer_modified.html"_s)));
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()),
              u"exit 1\nfiller\noffer.html\noffer_modified.html\nearlier output"_s);
}

// A page whose scripts, styles, images, frames and refresh would reach a server listening here (by
// address and by name) and a file elsewhere is restyled while the server waits for a connection
// that must never come; under strace, where it works, the program's calls show the same.
TEST_F(CliTest, RestylingFetchesNothingAndRunsNothingOfThePage)
{
    int argc = 1;
    char name[] = "cli_test";
    char *argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);  // the server's socket wants an application
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)) << server.errorString().toStdString();
    const QString port = QString::number(server.serverPort());
    page(u"site/local.js"_s, "referenced by the page");
    page(u"elsewhere/secret.png"_s, "a file the page points at");
    page(u"site/offer.html"_s,
         uR"page(<html><head><meta http-equiv="refresh" content="0; url=%1/r"><base href="%1/b/">
<link rel="stylesheet" href="%2/s.css"><style>@import url("%1/i.css"); p { background: url(%2/p.png) }
</style><script src="%1/s.js"></script><script src="local.js"></script><title>Out</title>
<script>fetch("%2/f"); require("fs").writeFileSync("ran.txt", "it ran");</script></head>
<body onload="fetch('%1/o')"><h1>Reaching out</h1><img src="%2/a.png" srcset="%1/b.png 2x">
<img src="file://%3"><iframe src="%1/frame"></iframe><object data="%2/o"></object></body></html>)page"_s
             .arg(u"http://127.0.0.1:"_s + port, u"http://localhost:"_s + port,
                  path(u"elsewhere/secret.png"_s))
             .toUtf8());
    const QString trace = path(u"strace.txt"_s);
    const bool tracing =
        QProcess::execute(u"strace"_s, {u"-qq"_s, u"-o"_s, QProcess::nullDevice(), u"true"_s}) == 0;
    QStringList strace;
    if (tracing) {
        strace = u"strace -f -qq -o %1 -e trace=%network,execve,execveat,fork,vfork,clone,"
                 "clone3,open,openat"_s.arg(trace)
                     .split(u' ');
        // LeakSanitizer (in sanitizer builds) cannot work under a tracer and would fail the run.
        qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":detect_leaks=0");
    }
    ASSERT_EQ(run(u"offer.html"_s, strace, cli, path(u"site"_s)).exitCode, 0);
    EXPECT_FALSE(server.waitForNewConnection(200));
    EXPECT_EQ(
        QDir(path(u"site"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        (QStringList{u"anilibs"_s, u"local.js"_s, u"offer.html"_s, u"offer_modified.html"_s}));
    if (!tracing) {
        GTEST_SKIP() << "strace is not usable here; checked only that no connection arrived";
    }
    // No socket of any kind (so no name look-up either), no process but the program, and of the
    // page's folder only the page read and the outputs' places written.
    const QString calls = QString::fromUtf8(readFile(trace));
    const QRegularExpression forbidden(
        uR"re(^\d+ +((socket|connect|sendto|sendmsg|fork|vfork|execveat)\(|clone(?!.*CLONE_THREAD)|open(at)?\(.*"(%1/(?!offer|anilibs)|%2|/etc/resolv\.conf"|/etc/hosts")))re"_s
            .arg(QRegularExpression::escape(path(u"site"_s)),
                 QRegularExpression::escape(path(u"elsewhere"_s))),
        QRegularExpression::MultilineOption);
    EXPECT_EQ(forbidden.match(calls).captured(), QString());
    EXPECT_EQ(calls.count(u"execve("_s), 1);  // the program itself, nothing it started
    EXPECT_TRUE(calls.contains(path(u"site/offer.html"_s)));  // the trace saw the program's reads
}

class BatchTest : public CliTest {};

// Pages sharing a library folder, and one in a subfolder, each with its own random picks from the
// seed (a shared stream would change them); written paths come in the sorted page list's order.
TEST_F(BatchTest, EveryPageGetsTheBytesOfItsOwnSingleRunAndTheOptions)
{
    QStringList pages;
    QStringList outputs;
    for (int i = 0; i < 5; ++i) {
        const QString name = u"site/%1page%2"_s.arg(i == 4 ? u"sub/"_s : u""_s).arg(i);
        pages.append(page(name + u".html"_s, pageWith(3 + 4 * i)));
        outputs.append(path(name + u"_modified.html"_s));
    }
    const auto take = [&] {
        QList<QByteArray> all;
        for (const QString &output : outputs) {
            all.append(readFile(output));
            QFile::remove(output);
        }
        return all;
    };
    const QString options = u"--seed 77 --animations FADE --speed fast --font Fira --h1 50 --no-h2 "
                            "--back-redirect https://example.org/offer "_s;
    const Finished batch = run(options + u"-j 4 --recursive site"_s);
    ASSERT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    EXPECT_EQ(lines(batch.out), outputs);
    const QList<QByteArray> fromBatch = take();
    for (const QString &single : pages) {
        ASSERT_EQ(run(options + single).exitCode, 0) << single.toStdString();
    }
    EXPECT_EQ(take(), fromBatch);
    // Every heading and image draws from the fade list alone (all its names begin so), with no
    // duration; the font, the heading sizes and the address are in.
    const QString first = QString::fromUtf8(fromBatch.first());
    EXPECT_EQ(first.count(u"class=\" wow lv-fade"_s), 6);
    EXPECT_FALSE(first.contains(u"data-wow-duration"_s));
    for (const QString &part : {u"'Fira'"_s, u" h1{font-size:50px;} h3{font-size:26px;}"_s,
                                u"https://example.org/offer"_s}) {
        EXPECT_TRUE(first.contains(part)) << part.toStdString();
    }
    // And the seed is what decides.
    ASSERT_EQ(run(QString(options).replace(u"77"_s, u"78"_s) + pages.first()).exitCode, 0);
    EXPECT_NE(take().first(), fromBatch.first());
}

TEST_F(BatchTest, FailingAndSkippedPagesAreNamedAndTheOthersStillRun)
{
    page(u"first.html"_s);
    page(u"kept.html"_s);
    page(u"own.html"_s, ownAnimation);
    // No terminal to ask on: an existing output is kept and its page reported as skipped.
    page(u"kept_modified.html"_s, "earlier");
    const Finished finished =
        run(u"first.html missing.html kept.html own.html --recursive nowhere"_s);
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_EQ(lines(finished.out),
              (QStringList{path(u"first_modified.html"_s), path(u"own_modified.html"_s)}));
    EXPECT_EQ(readFile(path(u"kept_modified.html"_s)), QByteArray("earlier"));
    for (const QString &line :
         {u"lumivane-cli: error: Cannot search the folder nowhere: it does not exist.\n"_s,
          u"] restyled %1\n"_s.arg(path(u"first.html"_s)),
          u"] failed %1: Cannot open the page \"%1\": No such file or directory.\n"_s.arg(
              path(u"missing.html"_s)),
          u"] skipped %1: kept_modified.html exists; give --yes to replace it.\n"_s.arg(
              path(u"kept.html"_s)),
          u"lumivane-cli: warning: %1: "_s.arg(path(u"own.html"_s)) + warning,
          u"\nlumivane-cli: 2 pages restyled, 2 failed, 1 skipped in "_s}) {
        EXPECT_TRUE(finished.err.contains(line))
            << line.toStdString() << finished.err.toStdString();
    }
}

TEST_F(BatchTest, RecursiveSearchFindsPagesOnceAndLeavesOutputsAlone)
{
    for (const QString &name : {u"a.html"_s, u"B.HTM"_s, u"notes.txt"_s, u"page.html.bak"_s,
                                u"old_modified.html"_s, u"sub/d.htm"_s, u"e.html/f.html"_s}) {
        page(u"site/"_s + name);  // a folder named like a page is searched
    }
    // A link back up the tree and a second way into sub: neither repeats a page nor loops.
    ASSERT_TRUE(QFile::link(path(u"site"_s), path(u"site/sub/up"_s)));
    ASSERT_TRUE(QFile::link(path(u"site/sub"_s), path(u"site/sub-again"_s)));
    QStringList expected;
    for (const QString &output : {u"B"_s, u"a"_s, u"e.html/f"_s, u"sub/d"_s}) {
        expected.append(path(u"site/"_s + output + u"_modified.html"_s));
    }
    // The second time, outputs of the first run are not taken as pages.
    for (const QString &yes : {u""_s, u"--yes "_s}) {
        const Finished finished = run(yes + u"--recursive site"_s);
        ASSERT_EQ(finished.exitCode, 0) << finished.err.toStdString();
        EXPECT_EQ(lines(finished.out), expected);
    }
}

// Pages touching one file run in the order given: offer.htm and offer.html share an output, and an
// output named as a page is read after its (large, so slow) source's run replaced it.
TEST_F(BatchTest, PagesSharingAFileRunInTheOrderGiven)
{
    page(u"offer.htm"_s, pageWith(1, "From htm"));
    page(u"offer.html"_s, pageWith(3000, "From html"));
    page(u"x.html"_s);
    // Without --yes, offer.html meets the output that offer.htm wrote, and is skipped.
    const Finished kept = run(u"offer.htm offer.html"_s);
    EXPECT_TRUE(kept.err.contains(u"] skipped "_s + path(u"offer.html"_s)))
        << kept.err.toStdString();
    EXPECT_TRUE(readFile(path(u"offer_modified.html"_s)).contains("From htm"));
    page(u"offer_modified.html"_s, pageWith(1, "Earlier"));
    const Finished finished = run(u"--yes -j 3 offer.htm offer.html offer_modified.html x.html"_s);
    EXPECT_EQ(finished.exitCode, 0) << finished.err.toStdString();
    EXPECT_EQ(finished.err.count(u"Done: 4 pages saved. "_s), 1);  // once for the batch
    EXPECT_TRUE(readFile(path(u"offer_modified.html"_s)).contains("From html"));
    const QByteArray twice = readFile(path(u"offer_modified_modified.html"_s));
    EXPECT_TRUE(twice.contains("From html"));
    EXPECT_FALSE(twice.contains("Earlier"));
}

}  // namespace
