// lumivane-cli as a user runs it: a real process, real files, exit status, standard output and
// standard error.

#include "cli_process.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using Finished = lumivane::test_support::CliFinished;
using lumivane::test_support::readFile;
using lumivane::test_support::runCli;
using lumivane::test_support::writeFile;

namespace {

QByteArray pageWithHeadings(int count)
{
    return "<!DOCTYPE html><html><head><title>T</title></head><body>" +
           QByteArray("<h1>Heading</h1>").repeated(count) + "<h2>Two</h2><h3>3</h3></body></html>";
}

class CliTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return folder.filePath(name); }
    QString page(const QString &name, const QByteArray &bytes = pageWithHeadings(3))
    {
        writeFile(path(name), bytes);
        return path(name);
    }
    QString output() const { return QString::fromUtf8(readFile(path(u"offer_modified.html"_s))); }

    QTemporaryDir folder;
};

TEST_F(CliTest, HelpVersionRefusalAndBadUsageExitCodes)
{
    const QString offer = page(u"offer.html"_s);
    const struct {
        QStringList arguments;
        int exitCode;
        const char *says;  // at the start of standard output, or else in standard error
    } cases[] = {
        {{u"--help"_s}, 0, "Usage: lumivane-cli [OPTIONS] PAGE..."},
        {{u"--version"_s}, 0, "lumivane-cli "},
        {{}, 2, "No page given."},
        {{u"--frobnicate"_s, offer}, 2, "Unknown option --frobnicate."},
        {{u"--animations"_s, u"wobble"_s, offer}, 2, "--animations needs one of"},
        {{u"--speed"_s, u"ludicrous"_s, offer}, 2, "--speed needs one of"},
        {{u"--h1"_s, u"40px;}body{display:none"_s, offer}, 2, "--h1 needs a size in pixels"},
        {{u"--h3=201"_s, offer}, 2, "--h3 needs a size in pixels from 8 to 200"},
        {{u"--back-redirect"_s, u"http://"_s, offer},
         2,
         "\"http://\" of --back-redirect has no site"},
        {{u"--back-redirect"_s, u"example.com/offer"_s, offer},
         2,
         "Did you mean \"https://example.com/offer\"?"},
        {{u"--font"_s, u"Evil</style>"_s, offer}, 2, "--font needs a font family name"},
        {{u"--seed"_s, u"abc"_s, offer}, 2, "--seed needs a whole number."},
        {{u"--yes=no"_s, offer}, 2, "--yes takes no value."},
        {{u"--no-animations"_s, u"--no-font"_s, offer},
         1,
         "Ooops!: Seems that there is nothing to change. Please select an option before."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Finished finished = runCli(c.arguments);
        EXPECT_EQ(finished.exitCode, c.exitCode);
        const QString says = QString::fromUtf8(c.says);
        EXPECT_TRUE(c.exitCode == 0 ? finished.out.startsWith(says) : finished.err.contains(says))
            << finished.out.toStdString() << finished.err.toStdString();
        EXPECT_TRUE(c.exitCode == 0 || finished.out.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(path(u"offer_modified.html"_s)));
}

TEST_F(CliTest, WritesEachPageAndReportsTheOneThatFails)
{
    const QString first = page(u"first.html"_s);
    const QString missing = path(u"missing.html"_s);
    const QString second = page(u"second.htm"_s);
    const Finished finished = runCli({first, missing, second});
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_EQ(finished.out,
              path(u"first_modified.html"_s) + u"\n"_s + path(u"second_modified.html"_s) + u"\n"_s);
    EXPECT_TRUE(finished.err.contains(missing)) << finished.err.toStdString();
    EXPECT_TRUE(finished.err.contains(u"Done: Done! File saved."_s));
    EXPECT_TRUE(QFileInfo::exists(path(u"anilibs"_s)));
}

TEST_F(CliTest, KeepsAnExistingOutputWithoutYesAndNoTerminal)
{
    const QString offer = page(u"offer.html"_s);
    writeFile(path(u"offer_modified.html"_s), "earlier");
    const Finished refused = runCli({offer});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(u"give --yes to replace it"_s)) << refused.err.toStdString();
    EXPECT_EQ(readFile(path(u"offer_modified.html"_s)), QByteArray("earlier"));

    const Finished replaced = runCli({u"--yes"_s, offer});
    EXPECT_EQ(replaced.exitCode, 0);
    EXPECT_NE(readFile(path(u"offer_modified.html"_s)), QByteArray("earlier"));
}

TEST_F(CliTest, SeedMakesPicksReproducible)
{
    const QString offer = page(u"offer.html"_s, pageWithHeadings(40));
    ASSERT_EQ(runCli({u"--yes"_s, u"--seed"_s, u"5"_s, offer}).exitCode, 0);
    const QString first = output();
    ASSERT_EQ(runCli({u"--yes"_s, u"--seed=5"_s, offer}).exitCode, 0);
    EXPECT_EQ(output(), first);
    ASSERT_EQ(runCli({u"--yes"_s, u"--seed"_s, u"6"_s, offer}).exitCode, 0);
    EXPECT_NE(output(), first);
}

TEST_F(CliTest, OptionsReachThePage)
{
    const QString offer = page(u"offer.html"_s, pageWithHeadings(30));
    const Finished finished =
        runCli({u"--yes"_s, u"--animations"_s, u"fade"_s, u"--speed"_s, u"fast"_s, u"--font"_s,
                u"Fira Sans"_s, u"--h1"_s, u"50"_s, u"--no-h2"_s, u"--back-redirect"_s,
                u"https://example.org/offer"_s, offer});
    ASSERT_EQ(finished.exitCode, 0) << finished.err.toStdString();
    const QString written = output();
    // Every heading draws from the fade list alone (all its names begin so), with no duration.
    EXPECT_EQ(written.count(u"class=\" wow lv-fade"_s), 30);
    EXPECT_EQ(written.count(u" wow "_s), 30);
    EXPECT_FALSE(written.contains(u"data-wow-duration"_s));
    EXPECT_TRUE(written.contains(u"Fira+Sans"_s));
    EXPECT_TRUE(written.contains(u"'Fira Sans'"_s));
    EXPECT_TRUE(written.contains(u" h1{font-size:50px;} h3{font-size:26px;}"_s));
    EXPECT_TRUE(written.contains(u"https://example.org/offer"_s));
}

TEST_F(CliTest, WarnsThatThePageAnimatesElementsOfItsOwn)
{
    const QByteArray own = "<!DOCTYPE html><title>T</title><h1 class=\"wow fadeIn\">A</h1>"
                           "<p class=\"wow\">B</p><h1 class=\"intro wow\">C</h1><h1>D</h1>";
    const QString offer = page(u"offer.html"_s, own);
    const QString second = page(u"second.html"_s, own);
    const QString says = u"The page already animates 3 elements of its own (class wow); they "
                         "keep their animations and get none of ours.\n"_s;
    const Finished alone = runCli({u"--yes"_s, offer});
    EXPECT_EQ(alone.exitCode, 0);
    EXPECT_TRUE(alone.err.startsWith(u"lumivane-cli: warning: "_s + says))
        << alone.err.toStdString();
    EXPECT_EQ(output().count(u" wow "_s), 1);  // only the h1 the page leaves alone

    const Finished batch = runCli({u"--yes"_s, offer, second});
    EXPECT_EQ(batch.exitCode, 0);
    EXPECT_TRUE(batch.err.contains(u"lumivane-cli: warning: "_s + second + u": "_s + says))
        << batch.err.toStdString();
}

TEST_F(CliTest, ReadOnlyFolderFailsWithPathAndReason)
{
    lumivane::test_support::CliLaunch asUser;
    if (lumivane::test_support::runningAsRoot()) {
        // Root writes anywhere; the same run as an ordinary user meets the read-only folder.
        asUser.prefix = {u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
        if (runCli({u"--version"_s}, asUser).exitCode != 0) {
            GTEST_SKIP() << "the program cannot run as an ordinary user here";
        }
    }
    const QString site = path(u"site"_s);
    const QString offer = site + u"/offer.html"_s;
    writeFile(offer, pageWithHeadings(1));
    const auto readable = QFile::ReadOwner | QFile::ReadOther;
    QFile::setPermissions(folder.path(),
                          readable | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
    QFile::setPermissions(offer, readable);
    QFile::setPermissions(site, readable | QFile::ExeOwner | QFile::ExeOther);

    const Finished finished = runCli({u"--yes"_s, offer}, asUser);
    QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_TRUE(finished.err.contains(site + u"/offer_modified.html"_s))
        << finished.err.toStdString();
    EXPECT_TRUE(finished.err.contains(u"ermission denied"_s)) << finished.err.toStdString();
    EXPECT_FALSE(finished.err.contains(u"Done"_s));
    EXPECT_TRUE(finished.out.isEmpty());
}

}  // namespace
