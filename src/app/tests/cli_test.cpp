// lumivane-cli as a user runs it: a real process on real files, its exit status, standard output
// and standard error. What the run refuses and why is tested once, in bad_input_test; here, how
// the command line says it, and the failures that need another user or a full disk.

#include "cli_process.h"
#include "folder_snapshot.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <functional>

using namespace Qt::StringLiterals;
using Finished = lumivane::test_support::CliFinished;
using Launch = lumivane::test_support::CliLaunch;
using lumivane::test_support::folderSnapshot;
using lumivane::test_support::readFile;
using lumivane::test_support::runCli;
using lumivane::test_support::writeFile;

namespace {

const QByteArray goodPage = "<!DOCTYPE html><html><head><title>Offer</title></head><body>"
                            "<h1>Buy now</h1><img src=\"a.png\"></body></html>";
const QByteArray bigPage = "<title>t</title><h1>Big</h1>" + QByteArray(100'000, 'x');

QString done(const QString &output, const QString &folderOpens = {})
{
    return u"Done: %1 saved.%2 Please remember to upload the 'anilibs' folder to your website.\n"_s
        .arg(output, folderOpens);
}

class CliTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return folder.filePath(name); }
    QString page(const QString &name, const QByteArray &bytes = goodPage)
    {
        writeFile(path(name), bytes);
        return path(name);
    }
    // The program copied beside a snippet folder of its own, which `change` may damage.
    QString programWithSnippets(const std::function<void(const QString &)> &change = {})
    {
        const QString app = path(u"app"_s);
        std::filesystem::remove_all(app.toStdString());
        lumivane::test_support::copySnippetFolder(app + u"/snippets"_s);
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(LUMIVANE_CLI_PATH), app + u"/lumivane-cli"_s));
        if (change) {
            change(app + u"/snippets"_s);
        }
        return app + u"/lumivane-cli"_s;
    }

    QTemporaryDir folder;
};

TEST_F(CliTest, BadUsageSaysWhatIsWrongWithExitStatusTwo)
{
    const QString one = page(u"one.html"_s);
    const QString two = page(u"two.html"_s);
    const struct {
        QStringList arguments;
        const char *says;
    } cases[] = {
        {{}, "No page given."},
        {{u"--frobnicate"_s, one}, "Unknown option --frobnicate."},
        {{u"-x.html"_s}, "Unknown option -x.html."},
        {{u"--animations"_s, u"wobble"_s, one},
         "--animations needs one of bounce+fade, slide+fade, bounce+slide, bounce, slide, fade."},
        {{u"--speed"_s, u"ludicrous"_s, one}, "--speed needs one of fast, natural, slow."},
        {{u"--h3=201"_s, one}, "--h3 needs a size in pixels from 8 to 200, such as 34."},
        {{u"--back-redirect"_s, u"example.com/offer"_s, one},
         "The address \"example.com/offer\" of --back-redirect has no http:// or https:// at its "
         "start. Did you mean \"https://example.com/offer\"?"},
        {{u"--font"_s, u"Evil</style>"_s, one},
         "--font needs a font family name (letters, digits, spaces, dots and hyphens)."},
        {{u"--seed"_s, u"abc"_s, one}, "--seed needs a whole number."},
        {{u"--yes=no"_s, one}, "--yes takes no value."},
        {{u"-j"_s, u"0"_s, one, two}, "--jobs needs a whole number from 1 to 1024."},
        {{u"--jobs=1025"_s, one, two}, "--jobs needs a whole number from 1 to 1024."},
        {{one, two, u"--jobs"_s}, "--jobs needs a whole number from 1 to 1024."},
        {{u"--recursive"_s}, "--recursive needs a folder."},
        {{u"--open"_s, one, two}, "--open works with a single page only."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Finished finished = runCli(c.arguments);
        EXPECT_EQ(finished.exitCode, 2);
        EXPECT_EQ(finished.err, u"lumivane-cli: "_s + QString::fromUtf8(c.says) +
                                    u"\nTry 'lumivane-cli --help'.\n"_s);
        EXPECT_EQ(finished.out, QString());
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              (QStringList{u"one.html"_s, u"two.html"_s}));
    EXPECT_TRUE(runCli({u"--help"_s}).out.startsWith(u"Usage: lumivane-cli [OPTIONS] PAGE...\n"_s));
    EXPECT_TRUE(runCli({u"--version"_s}).out.startsWith(u"lumivane-cli "_s));
}

// The written page's path on standard output; on standard error one line for what happened.
TEST_F(CliTest, EachOutcomeIsOneLineWithItsExitStatus)
{
    const QString offer = page(u"offer.html"_s);
    const QString output = path(u"offer_modified.html"_s);
    // An opener that only notes the folder it was asked to open.
    const QString opened = path(u"opened.txt"_s);
    page(u"bin/xdg-open"_s, "#!/bin/sh\necho \"$1\" >> '" + opened.toUtf8() + "'\n");
    QFile::setPermissions(path(u"bin/xdg-open"_s), QFile::ReadOwner | QFile::ExeOwner);
    Launch launch;
    launch.prefix = {u"env"_s, u"PATH="_s + path(u"bin:"_s) + qEnvironmentVariable("PATH")};
    launch.workingDirectory = folder.path();
    page(u"-dash.html"_s);
    // A remark of the run is a warning.
    const QString own = page(u"own.html"_s, "<title>T</title><h1 class=\"wow fadeIn\">A</h1>");
    const struct {
        QStringList arguments;
        int exitCode;
        QString out;
        QString err;
    } cases[] = {
        {{offer}, 0, output + u'\n', done(output)},
        {{offer},
         1,
         {},
         u"lumivane-cli: The target file (offer_modified.html) exists. Overwrite it with the new "
         "changes?\nlumivane-cli: not replaced: no terminal to ask on; give --yes to replace it.\n"_s},
        {{u"--yes"_s, u"--open"_s, offer},
         0,
         output + u'\n',
         done(output, u" Its folder opens now."_s)},
        {{u"--"_s, u"-dash.html"_s},
         0,
         path(u"-dash_modified.html\n"_s),
         done(path(u"-dash_modified.html"_s))},
        {{own},
         0,
         path(u"own_modified.html\n"_s),
         u"lumivane-cli: warning: The page already animates 1 element of its own (class wow); it "
         "keeps its animation and gets none of ours.\n"_s +
             done(path(u"own_modified.html"_s))},
        {{u"missing.html"_s},
         1,
         {},
         u"lumivane-cli: error: Cannot open the page \"%1\": No such file or directory.\n"_s.arg(
             path(u"missing.html"_s))},
        {{u"--no-animations"_s, u"--no-font"_s, offer, offer},  // said once for all the pages
         1,
         {},
         u"Ooops!: Seems that there is nothing to change. Please select an option before.\n"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Finished finished = runCli(c.arguments, launch);
        EXPECT_EQ(finished.exitCode, c.exitCode);
        EXPECT_EQ(finished.out, c.out);
        EXPECT_EQ(finished.err, c.err);
    }
    EXPECT_EQ(readFile(opened), (folder.path() + u"/\n"_s).toUtf8());
}

TEST_F(CliTest, OptionsReachThePage)
{
    const QString offer =
        page(u"offer.html"_s, "<title>T</title>" + QByteArray("<h1>A</h1>").repeated(30));
    const Finished finished = runCli({u"--animations"_s, u"FADE"_s, u"--speed"_s, u"fast"_s,
                                      u"--font"_s, u"Fira Sans"_s, u"--h1"_s, u"50"_s, u"--no-h2"_s,
                                      u"--back-redirect"_s, u"https://example.org/offer"_s, offer});
    ASSERT_EQ(finished.exitCode, 0) << finished.err.toStdString();
    const QString written = QString::fromUtf8(readFile(path(u"offer_modified.html"_s)));
    // Every heading draws from the fade list alone (all its names begin so), with no duration.
    EXPECT_EQ(written.count(u"class=\" wow lv-fade"_s), 30);
    EXPECT_FALSE(written.contains(u"data-wow-duration"_s));
    EXPECT_TRUE(written.contains(u"'Fira Sans'"_s));
    EXPECT_TRUE(written.contains(u" h1{font-size:50px;} h3{font-size:26px;}"_s));
    EXPECT_TRUE(written.contains(u"https://example.org/offer"_s));
}

// What the user may not read or replace, a font list emptied, and a file size limit met while
// writing stop the run with the reason, before anything is written: an unreadable library file
// must not leave half a library, a write cut short must leave the earlier output whole and no
// temporary file.
TEST_F(CliTest, LockedDamagedOrTooLargeFilesStopTheRunAndChangeNothing)
{
    // Root reads and writes anything: those cases run as another user.
    Launch user;
    if (lumivane::test_support::runningAsRoot()) {
        user.prefix = {u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
    }
    Launch limited;
    limited.prefix = {u"prlimit"_s, u"--fsize=65536"_s};
    if (runCli({u"--version"_s}, user).exitCode != 0 ||
        runCli({u"--version"_s}, limited).exitCode != 0) {
        GTEST_SKIP() << "cannot run the program as another user or with a file size limit here";
    }
    const auto mode = [](const QString &file, int bits) {
        return
            [=] { std::filesystem::permissions(file.toStdString(), std::filesystem::perms(bits)); };
    };
    const QString site = path(u"site"_s);
    const QString offer = site + u"/offer.html"_s;
    const QString output = site + u"/offer_modified.html"_s;
    const QString snippet = path(u"app/snippets/wowbelowbody.txt"_s);
    const QString library = path(u"app/snippets/anilibs/lumivane-reveal.js"_s);
    const struct {
        const char *what;
        const Launch &launch;
        std::function<void()> lock;
        QString message;
    } cases[] = {
        {"unreadable page", user, mode(offer, 0200),
         u"Cannot open the page \"%1\": Permission denied."_s.arg(offer)},
        {"unreadable snippet", user, mode(snippet, 0200),
         u"Cannot read \"%1\": Permission denied."_s.arg(snippet)},
        {"unreadable library file", user, mode(library, 0200),
         u"Cannot read \"%1\": Permission denied."_s.arg(library)},
        {"read-only output", user, mode(output, 0444),
         u"Cannot replace \"%1\": the file is read-only."_s.arg(output)},
        {"read-only folder", user,
         [&] {
             QFile::remove(output);
             mode(site, 0555)();
         },
         u"Cannot write \"%1\": Permission denied."_s.arg(output)},
        {"empty font list", user, [&] { writeFile(path(u"app/snippets/gfonts.txt"_s), "\n"); },
         u"The snippet file \"%1\" is empty. Reinstall Lumivane or put the file back. Give --font "
         "NAME or --no-font."_s.arg(path(u"app/snippets/gfonts.txt"_s))},
        {"output over the size limit", limited, [&] { writeFile(offer, bigPage); },
         u"Cannot write \"%1\": File too large."_s.arg(output)},
    };
    // Open to the other user, who must reach the program's copy and the site.
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(site.toStdString());
        writeFile(offer, goodPage);
        writeFile(output, "earlier output");
        writeFile(site + u"/anilibs/lumivane-animate.css"_s, "earlier library");
        Launch launch = c.launch;
        launch.program = programWithSnippets();
        if (!user.prefix.isEmpty()) {  // the site is the other user's own
            QProcess::execute(u"chown"_s, {u"-R"_s, u"65534:65534"_s, site});
        }
        c.lock();
        const QStringList before = folderSnapshot(site);
        const Finished finished = runCli({u"--yes"_s, offer}, launch);
        EXPECT_EQ(finished.exitCode, 1);
        EXPECT_EQ(finished.err, u"lumivane-cli: error: "_s + c.message + u'\n');
        EXPECT_EQ(folderSnapshot(site), before);
        QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A library file over the limit: the page is written, the earlier copy of that file stays
    // whole, and there is no "Done".
    writeFile(offer, goodPage);
    writeFile(site + u"/anilibs/zz-big.js"_s, "earlier big file");
    limited.program = programWithSnippets([](const QString &snippets) {
        writeFile(snippets + u"/anilibs/zz-big.js"_s, QByteArray(100'000, 'y'));
    });
    const Finished finished = runCli({u"--yes"_s, offer}, limited);
    EXPECT_EQ(finished.err, u"lumivane-cli: error: Cannot write \"%1/anilibs/zz-big.js\": File too "
                            "large.\n"_s.arg(site));
    EXPECT_EQ(readFile(site + u"/anilibs/zz-big.js"_s), QByteArray("earlier big file"));
    EXPECT_EQ(QDir(site).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"anilibs"_s, u"offer.html"_s, u"offer_modified.html"_s}));
}

// A file system that really is full: a small one of its own, mounted where only this test's
// processes see it (skipped where the user may not mount).
TEST_F(CliTest, FullFileSystemKeepsTheEarlierOutputWhole)
{
    // Mounts, puts the page and an earlier output on it, fills the rest, runs the program, then
    // shows the exit status, what the disk holds and the earlier output, before the mount goes.
    const QString script = uR"sh(
        mount -t tmpfs -o size=512k tmpfs "$1" || exit 99
        printf '%s' "$3" > "$1/offer.html"
        printf 'earlier output' > "$1/offer_modified.html"
        cat /dev/zero > "$1/filler" 2>/dev/null
        "$2" --yes "$1/offer.html" >/dev/null
        echo "exit $?"; ls -A "$1"; cat "$1/offer_modified.html"
    )sh"_s;
    const QString disk = path(u"disk"_s);
    QDir().mkpath(disk);
    QProcess shell;
    shell.start(u"unshare"_s, {u"-m"_s, u"sh"_s, u"-c"_s, script, u"sh"_s, disk,
                               QString::fromUtf8(LUMIVANE_CLI_PATH), QString::fromLatin1(bigPage)});
    ASSERT_TRUE(shell.waitForFinished(60'000));
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardError()),
              u"lumivane-cli: error: Cannot write \"%1/offer_modified.html\": No space left on "
              "device.\n"_s.arg(disk));
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()),
              u"exit 1\nfiller\noffer.html\noffer_modified.html\nearlier output"_s);
}

}  // namespace
