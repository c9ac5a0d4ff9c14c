// lumivane-cli with many pages: a real process on real folders, compared with single runs of the
// same pages.

#include "cli_process.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using Finished = lumivane::test_support::CliFinished;
using lumivane::test_support::readFile;
using lumivane::test_support::runCli;
using lumivane::test_support::writeFile;

namespace {

QByteArray pageWith(int headings, int images, const QByteArray &title = "T")
{
    return "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" +
           QByteArray("<h1>Heading</h1><p>Text &amp; more</p>").repeated(headings) +
           QByteArray("<img src=\"a.png\">").repeated(images) + "<h2>Two</h2></body></html>";
}

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

class BatchTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return folder.filePath(name); }
    QString page(const QString &name, const QByteArray &bytes)
    {
        writeFile(path(name), bytes);
        return path(name);
    }
    // Every file below the folder whose name ends so, by path relative to the folder.
    QMap<QString, QByteArray> filesEndingIn(const QString &ending) const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(folder.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (file.endsWith(ending)) {
                files.insert(QDir(folder.path()).relativeFilePath(file), readFile(file));
            }
        }
        return files;
    }
    void removeOutputs()
    {
        for (const QString &output : filesEndingIn(u"_modified.html"_s).keys()) {
            QFile::remove(path(output));
        }
    }

    QTemporaryDir folder;
};

TEST_F(BatchTest, EveryPageGetsTheBytesOfItsOwnSingleRun)
{
    // Pages side by side in one folder (one library folder for all of them) and in subfolders,
    // two of them identical: with one shared random stream those two would differ.
    QStringList pages;
    for (int i = 0; i < 8; ++i) {
        pages.append(page(u"site/page%1.html"_s.arg(i), pageWith(5 + i, 3 + 2 * i)));
    }
    pages.append(page(u"site/twin.htm"_s, pageWith(12, 12)));
    pages.append(page(u"site/deeper/twin.html"_s, pageWith(12, 12)));
    pages.append(page(u"site/deeper/latin1.html"_s,
                      "<html><head><meta charset=\"windows-1252\"><title>Caf\xE9</title></head>"
                      "<body><h1>Cr\xE8me</h1><img src=x></body></html>"));

    const Finished batch =
        runCli({u"--seed"_s, u"77"_s, u"--jobs"_s, u"4"_s, u"--recursive"_s, path(u"site"_s)});
    ASSERT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    const QMap<QString, QByteArray> fromBatch = filesEndingIn(u"_modified.html"_s);
    ASSERT_EQ(fromBatch.size(), pages.size());
    EXPECT_EQ(fromBatch.value(u"site/twin_modified.html"_s),
              fromBatch.value(u"site/deeper/twin_modified.html"_s));

    // Written paths come in the order of the sorted page list, whatever finished first.
    QStringList expectedOut;
    for (const QString &output : fromBatch.keys()) {
        expectedOut.append(path(output));
    }
    expectedOut.sort();
    EXPECT_EQ(lines(batch.out), expectedOut);

    removeOutputs();
    for (const QString &single : pages) {
        ASSERT_EQ(runCli({u"--seed"_s, u"77"_s, single}).exitCode, 0) << single.toStdString();
    }
    const QMap<QString, QByteArray> fromSingleRuns = filesEndingIn(u"_modified.html"_s);
    ASSERT_EQ(fromSingleRuns.keys(), fromBatch.keys());
    for (const QString &output : fromBatch.keys()) {
        SCOPED_TRACE(output.toStdString());
        EXPECT_EQ(fromBatch.value(output), fromSingleRuns.value(output));
    }

    // The library copied whole into both folders.
    for (const QString &library : {u"site/anilibs/"_s, u"site/deeper/anilibs/"_s}) {
        for (const QString &name :
             QDir(QStringLiteral(LUMIVANE_SNIPPETS_DIR "/anilibs")).entryList(QDir::Files)) {
            EXPECT_EQ(readFile(path(library + name)),
                      readFile(QStringLiteral(LUMIVANE_SNIPPETS_DIR "/anilibs/") + name))
                << (library + name).toStdString();
        }
    }
}

TEST_F(BatchTest, FailingPagesAreNamedAndTheOthersStillRun)
{
    const QString first = page(u"first.html"_s, pageWith(2, 2));
    const QString missing = path(u"missing.html"_s);
    QDir().mkpath(path(u"folder.html"_s));
    const QString directory = path(u"folder.html"_s);
    const QString last = page(u"last.htm"_s, pageWith(2, 2));

    const Finished finished = runCli({first, missing, directory, last});
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_EQ(lines(finished.out),
              QStringList({path(u"first_modified.html"_s), path(u"last_modified.html"_s)}));
    for (const QString &failed : {missing, directory}) {
        EXPECT_TRUE(finished.err.contains(u"] failed "_s + failed + u": Cannot open the page "_s))
            << finished.err.toStdString();
    }
    EXPECT_TRUE(finished.err.contains(u"2 pages restyled, 2 failed, 0 skipped in "_s))
        << finished.err.toStdString();

    // A folder to search that is not there fails the same way, after the pages that are.
    const Finished noFolder = runCli({u"--yes"_s, u"--recursive"_s, path(u"nowhere"_s), first});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(noFolder.err.contains(
        u"Cannot search the folder %1: it does not exist."_s.arg(path(u"nowhere"_s))))
        << noFolder.err.toStdString();
    EXPECT_EQ(lines(noFolder.out), QStringList{path(u"first_modified.html"_s)});
    EXPECT_TRUE(noFolder.err.contains(u"1 page restyled, 1 failed, 0 skipped in "_s));
}

TEST_F(BatchTest, RecursiveSearchFindsPagesOnceAndLeavesOutputsAlone)
{
    page(u"site/a.html"_s, pageWith(1, 1));
    page(u"site/B.HTM"_s, pageWith(1, 1));
    page(u"site/c.Html"_s, pageWith(1, 1));
    page(u"site/notes.txt"_s, "not a page");
    page(u"site/page.html.bak"_s, pageWith(1, 1));
    page(u"site/old_modified.html"_s, pageWith(1, 1));
    page(u"site/sub/d.htm"_s, pageWith(1, 1));
    page(u"site/e.html/f.html"_s, pageWith(1, 1));  // a folder named like a page is searched
    // A link back up the tree and a second way into sub: neither repeats a page nor loops.
    ASSERT_TRUE(QFile::link(path(u"site"_s), path(u"site/sub/up"_s)));
    ASSERT_TRUE(QFile::link(path(u"site/sub"_s), path(u"site/sub-again"_s)));

    const QStringList expected{
        path(u"site/B_modified.html"_s),     path(u"site/a_modified.html"_s),
        path(u"site/c_modified.html"_s),     path(u"site/e.html/f_modified.html"_s),
        path(u"site/sub/d_modified.html"_s),
    };
    const Finished first = runCli({u"--recursive"_s, path(u"site"_s)});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(lines(first.out), expected);

    // Outputs of the first run, and the one there before, are not taken as pages the second time.
    const Finished again = runCli({u"--yes"_s, u"--recursive"_s, path(u"site"_s)});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(lines(again.out), expected);
    EXPECT_TRUE(filesEndingIn(u"_modified_modified.html"_s).isEmpty());
    EXPECT_TRUE(again.err.contains(u"5 pages restyled, 0 failed, 0 skipped in "_s));
}

TEST_F(BatchTest, ExistingOutputsAreKeptWithoutYesAndReplacedWithIt)
{
    page(u"site/one.html"_s, pageWith(3, 1));
    page(u"site/two.html"_s, pageWith(3, 1));
    writeFile(path(u"site/one_modified.html"_s), "earlier");

    // No terminal to ask on: the existing output is kept and its page reported as skipped.
    const Finished kept = runCli({u"--recursive"_s, path(u"site"_s)});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_EQ(readFile(path(u"site/one_modified.html"_s)), QByteArray("earlier"));
    EXPECT_EQ(lines(kept.out), QStringList{path(u"site/two_modified.html"_s)});
    EXPECT_TRUE(kept.err.contains(u"] skipped "_s + path(u"site/one.html"_s) +
                                  u": one_modified.html exists; give --yes to replace it."_s))
        << kept.err.toStdString();
    EXPECT_TRUE(kept.err.contains(u"] restyled "_s + path(u"site/two.html"_s)));
    EXPECT_TRUE(kept.err.contains(u"1 page restyled, 0 failed, 1 skipped in "_s));

    const Finished replaced = runCli({u"--yes"_s, u"--recursive"_s, path(u"site"_s)});
    EXPECT_EQ(replaced.exitCode, 0);
    EXPECT_NE(readFile(path(u"site/one_modified.html"_s)), QByteArray("earlier"));
    // One summary line, and the "Done" reminder once for the batch rather than once per page.
    static const QRegularExpression summary(
        u"\\nlumivane-cli: 2 pages restyled, 0 failed, 0 skipped in [0-9]+\\.[0-9] s\\.\\n$"_s);
    EXPECT_TRUE(summary.match(replaced.err).hasMatch()) << replaced.err.toStdString();
    EXPECT_EQ(replaced.err.count(u"Done: Done! File saved."_s), 1);
}

TEST_F(BatchTest, PagesSharingAnOutputRunInTheOrderGiven)
{
    // offer.htm and offer.html both write offer_modified.html: as when run one after the other,
    // the second meets the first one's output.
    const QString htm = page(u"offer.htm"_s, pageWith(1, 0, "From htm"));
    const QString html = page(u"offer.html"_s, pageWith(1, 0, "From html"));
    const QStringList others{page(u"x.html"_s, pageWith(1, 0)), page(u"y.html"_s, pageWith(1, 0))};

    const Finished kept = runCli(QStringList{htm, html} + others);
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(readFile(path(u"offer_modified.html"_s)).contains("From htm"));
    EXPECT_TRUE(kept.err.contains(u"] skipped "_s + html)) << kept.err.toStdString();

    const Finished replaced =
        runCli(QStringList{u"--yes"_s, u"--jobs"_s, u"3"_s, htm, html} + others);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_TRUE(readFile(path(u"offer_modified.html"_s)).contains("From html"));

    // An output named as a page after its source is read once the source's run has replaced it;
    // a large source gives a second thread every chance to read the output too early.
    page(u"offer.html"_s, pageWith(3000, 3000, "From html"));
    const QString earlierOutput = page(u"offer_modified.html"_s, pageWith(1, 0, "Earlier"));
    const Finished chained = runCli({u"--yes"_s, u"--jobs"_s, u"2"_s, html, earlierOutput});
    EXPECT_EQ(chained.exitCode, 0) << chained.err.toStdString();
    const QByteArray twice = readFile(path(u"offer_modified_modified.html"_s));
    EXPECT_TRUE(twice.contains("From html"));
    EXPECT_FALSE(twice.contains("Earlier"));
}

TEST_F(BatchTest, BadBatchUsageIsRefusedBeforeAnyPageRuns)
{
    const QString one = page(u"one.html"_s, pageWith(1, 1));
    const QString two = page(u"two.html"_s, pageWith(1, 1));
    const struct {
        QStringList arguments;
        const char *says;
    } cases[] = {
        {{u"--jobs"_s, u"0"_s, one, two}, "--jobs needs a whole number from 1 to 1024."},
        {{u"--jobs=-2"_s, one, two}, "--jobs needs a whole number from 1 to 1024."},
        {{u"-j"_s, u"many"_s, one, two}, "--jobs needs a whole number from 1 to 1024."},
        {{u"--jobs"_s, u"1025"_s, one, two}, "--jobs needs a whole number from 1 to 1024."},
        {{one, two, u"--jobs"_s}, "--jobs needs a whole number from 1 to 1024."},
        {{u"--recursive"_s}, "--recursive needs a folder."},
        {{u"--open"_s, one, two}, "--open works with a single page only."},
        {{u"--open"_s, u"--recursive"_s, folder.path()}, "--open works with a single page only."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Finished finished = runCli(c.arguments);
        EXPECT_EQ(finished.exitCode, 2);
        EXPECT_TRUE(finished.err.contains(QString::fromUtf8(c.says))) << finished.err.toStdString();
    }
    EXPECT_TRUE(filesEndingIn(u"_modified.html"_s).isEmpty());

    // Nothing to change is said once for the batch, not once per page.
    const Finished nothing = runCli({u"--no-animations"_s, u"--no-font"_s, one, two});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.err.count(u"Seems that there is nothing to change."_s), 1);

    const Finished oneJob = runCli({u"--jobs"_s, u"1"_s, one, two});
    EXPECT_EQ(oneJob.exitCode, 0) << oneJob.err.toStdString();
    EXPECT_EQ(lines(oneJob.out).size(), 2);
}

}  // namespace
