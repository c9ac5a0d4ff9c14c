// lumivane-cli as a user runs it: a real process, real files, exit status, standard output and
// standard error.

#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished runCli(const QStringList &arguments,
                const QString &program = QString::fromUtf8(LUMIVANE_CLI_PATH),
                const QStringList &prefix = {})
{
    QProcess process;
    process.setProgram(prefix.isEmpty() ? program : prefix.first());
    process.setArguments(prefix.isEmpty() ? arguments
                                          : prefix.sliced(1) + QStringList{program} + arguments);
    process.setStandardInputFile(QProcess::nullDevice());  // no terminal to ask on
    process.start();
    process.waitForFinished(60'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray pageWithHeadings(int count)
{
    QByteArray page = "<!DOCTYPE html><html><head><title>T</title></head><body>";
    for (int i = 0; i < count; ++i) {
        page += "<h1>Heading</h1>";
    }
    return page + "<h2>Two</h2><h3>Three</h3></body></html>";
}

QStringList classesOf(const QString &page)
{
    QStringList classes;
    static const QRegularExpression pattern(u"class=\" wow ([A-Za-z]+)\""_s);
    for (auto match = pattern.globalMatch(page); match.hasNext();) {
        classes.append(match.next().captured(1));
    }
    return classes;
}

class CliTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return QDir(folder.path()).filePath(name); }
    QString page(const QString &name, const QByteArray &bytes = pageWithHeadings(3))
    {
        writeFile(path(name), bytes);
        return path(name);
    }
    QString outputText(const QString &name) const
    {
        return QString::fromUtf8(readFile(path(name)));
    }

    QTemporaryDir folder;
};

TEST_F(CliTest, HelpAndVersion)
{
    const Finished help = runCli({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(u"Usage: lumivane-cli [OPTIONS] PAGE..."_s));
    const Finished version = runCli({u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(u"lumivane-cli "_s));
}

TEST_F(CliTest, BadUsageExitsWithTwoAndSaysWhy)
{
    const QString offer = page(u"offer.html"_s);
    const struct {
        QStringList arguments;
        const char *says;
    } cases[] = {
        {{}, "No page given."},
        {{u"--frobnicate"_s, offer}, "Unknown option --frobnicate."},
        {{u"--animations"_s, u"wobble"_s, offer}, "--animations needs one of"},
        {{u"--speed"_s, u"ludicrous"_s, offer}, "--speed needs one of"},
        {{u"--h1"_s, u"40px;}body{display:none"_s, offer}, "--h1 needs a size in pixels"},
        {{u"--font"_s, u"Evil</style>"_s, offer}, "--font needs a font family name"},
        {{u"--seed"_s, u"abc"_s, offer}, "--seed needs a whole number."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Finished finished = runCli(c.arguments);
        EXPECT_EQ(finished.exitCode, 2);
        EXPECT_TRUE(finished.err.contains(QString::fromUtf8(c.says))) << finished.err.toStdString();
        EXPECT_TRUE(finished.out.isEmpty());
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

TEST_F(CliTest, RefusesAnEmptyOptionSetWithTheWindowsMessage)
{
    const Finished finished = runCli({u"--no-animations"_s, u"--no-font"_s, page(u"offer.html"_s)});
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_TRUE(finished.err.contains(
        u"Ooops!: Seems that there is nothing to change. Please select an option before."_s));
    EXPECT_FALSE(QFileInfo::exists(path(u"offer_modified.html"_s)));
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
    const QString first = outputText(u"offer_modified.html"_s);
    ASSERT_EQ(runCli({u"--yes"_s, u"--seed=5"_s, offer}).exitCode, 0);
    EXPECT_EQ(outputText(u"offer_modified.html"_s), first);
    ASSERT_EQ(runCli({u"--yes"_s, u"--seed"_s, u"6"_s, offer}).exitCode, 0);
    EXPECT_NE(outputText(u"offer_modified.html"_s), first);
}

TEST_F(CliTest, OptionsReachThePage)
{
    const QString offer = page(u"offer.html"_s, pageWithHeadings(30));
    const Finished finished =
        runCli({u"--yes"_s, u"--animations"_s, u"fade"_s, u"--speed"_s, u"fast"_s, u"--font"_s,
                u"Fira Sans"_s, u"--h1"_s, u"50"_s, u"--no-h2"_s, u"--back-redirect"_s,
                u"https://example.org/offer"_s, offer});
    ASSERT_EQ(finished.exitCode, 0) << finished.err.toStdString();
    const QString written = outputText(u"offer_modified.html"_s);

    const QString fadeList =
        QString::fromUtf8(readFile(QString::fromUtf8(LUMIVANE_SNIPPETS_DIR) + u"/fx-fade.txt"_s));
    const QStringList fades = fadeList.split(u'\n', Qt::SkipEmptyParts);
    const QStringList picked = classesOf(written);
    EXPECT_EQ(picked.size(), 30);
    for (const QString &name : picked) {
        EXPECT_TRUE(fades.contains(name)) << name.toStdString();
    }
    EXPECT_FALSE(written.contains(u"data-wow-duration"_s));
    EXPECT_TRUE(written.contains(u"Fira+Sans"_s));
    EXPECT_TRUE(written.contains(u"Fira Sans"_s));
    EXPECT_TRUE(written.contains(u" h1{font-size:50px;} h3{font-size:26px;}"_s));
    EXPECT_TRUE(written.contains(u"https://example.org/offer"_s));
}

TEST_F(CliTest, ReadOnlyFolderFailsWithPathAndReason)
{
    QStringList prefix;
    if (lumivane::test_support::runningAsRoot()) {
        // Root writes anywhere; the same run as an ordinary user meets the read-only folder.
        prefix = {u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
        if (runCli({u"--version"_s}, QString::fromUtf8(LUMIVANE_CLI_PATH), prefix).exitCode != 0) {
            GTEST_SKIP() << "the program cannot run as an ordinary user here";
        }
    }
    const QString site = path(u"site"_s);
    const QString offer = site + u"/offer.html"_s;
    writeFile(offer, pageWithHeadings(1));
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(offer, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(site,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

    const Finished finished =
        runCli({u"--yes"_s, offer}, QString::fromUtf8(LUMIVANE_CLI_PATH), prefix);
    QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_TRUE(finished.err.contains(site + u"/offer_modified.html"_s))
        << finished.err.toStdString();
    EXPECT_TRUE(finished.err.contains(u"ermission denied"_s)) << finished.err.toStdString();
    EXPECT_FALSE(finished.err.contains(u"Done"_s));
    EXPECT_TRUE(finished.out.isEmpty());
}

}  // namespace
