// lumivane-cli with many pages: a real process on real folders, compared with single runs of the
// same pages.

#include "cli_process.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QMap>
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
           QByteArray("<img src=\"a.png\">").repeated(images) + "</body></html>";
}

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

class BatchTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return folder.filePath(name); }
    QString page(const QString &name, const QByteArray &bytes = pageWith(2, 2))
    {
        writeFile(path(name), bytes);
        return path(name);
    }
    // Every output below the folder, by path relative to it; removed when `take` is set.
    QMap<QString, QByteArray> outputs(bool take = false) const
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(folder.path(), {u"*_modified.html"_s}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            files.insert(QDir(folder.path()).relativeFilePath(file), readFile(file));
            if (take) {
                QFile::remove(file);
            }
        }
        return files;
    }

    QTemporaryDir folder;
};

TEST_F(BatchTest, EveryPageGetsTheBytesOfItsOwnSingleRun)
{
    // Pages side by side in one folder (one library folder for all of them) and in a subfolder,
    // two of them identical: with one shared random stream those two would differ. Written paths
    // come in the order of the sorted page list, whatever finished first.
    QStringList pages;
    for (int i = 0; i < 8; ++i) {
        pages.append(page(u"site/page%1.html"_s.arg(i), pageWith(5 + i, 3 + 2 * i)));
    }
    pages.append(page(u"site/twin.htm"_s, pageWith(12, 12)));
    pages.append(page(u"site/deeper/twin.html"_s, pageWith(12, 12)));
    const QStringList seven{u"--seed"_s, u"77"_s};
    const Finished batch =
        runCli(seven + QStringList{u"-j"_s, u"4"_s, u"--recursive"_s, path(u"site"_s)});
    ASSERT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    const QMap<QString, QByteArray> fromBatch = outputs(true);
    ASSERT_EQ(fromBatch.size(), pages.size());
    EXPECT_EQ(fromBatch.value(u"site/twin_modified.html"_s),
              fromBatch.value(u"site/deeper/twin_modified.html"_s));
    QStringList written;
    for (const QString &output : fromBatch.keys()) {
        written.append(path(output));
    }
    EXPECT_EQ(lines(batch.out), written);

    for (const QString &single : pages) {
        ASSERT_EQ(runCli(seven + QStringList{single}).exitCode, 0) << single.toStdString();
    }
    EXPECT_EQ(outputs(true), fromBatch);
    // And the seed is what decides.
    ASSERT_EQ(runCli({u"--seed"_s, u"78"_s, pages.first()}).exitCode, 0);
    EXPECT_NE(outputs().first(), fromBatch.value(u"site/page0_modified.html"_s));
}

TEST_F(BatchTest, FailingAndSkippedPagesAreNamedAndTheOthersStillRun)
{
    const QString first = page(u"first.html"_s);
    const QString missing = path(u"missing.html"_s);
    const QString directory = path(u"folder.html"_s);
    QDir().mkpath(directory);
    const QString kept = page(u"kept.html"_s);
    const QString own = page(u"own.html"_s, "<title>T</title><h1 class=\"wow fadeIn\">A</h1>");
    writeFile(path(u"kept_modified.html"_s), "earlier");

    // No terminal to ask on: an existing output is kept and its page reported as skipped.
    const Finished finished =
        runCli({first, missing, directory, kept, own, u"--recursive"_s, path(u"nowhere"_s)});
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_EQ(lines(finished.out),
              (QStringList{path(u"first_modified.html"_s), path(u"own_modified.html"_s)}));
    EXPECT_EQ(readFile(path(u"kept_modified.html"_s)), QByteArray("earlier"));
    for (const QString &line :
         {u"lumivane-cli: error: Cannot search the folder %1: it does not exist.\n"_s.arg(
              path(u"nowhere"_s)),
          u"] restyled %1\n"_s.arg(first),
          u"] failed %1: Cannot open the page \"%1\": No such file or directory.\n"_s.arg(missing),
          u"] failed %1: Cannot open the page \"%1\": it is a folder, not a file.\n"_s.arg(
              directory),
          u"] skipped %1: kept_modified.html exists; give --yes to replace it.\n"_s.arg(kept),
          u"lumivane-cli: warning: %1: The page already animates 1 element of its own (class wow); "
          "it keeps its animation and gets none of ours.\n"_s.arg(own)}) {
        EXPECT_TRUE(finished.err.contains(line))
            << line.toStdString() << finished.err.toStdString();
    }
    static const QRegularExpression summary(
        u"\\nlumivane-cli: 2 pages restyled, 3 failed, 1 skipped in [0-9]+\\.[0-9] s\\.\\n$"_s);
    EXPECT_TRUE(summary.match(finished.err).hasMatch()) << finished.err.toStdString();

    const Finished replaced = runCli({u"--yes"_s, first, kept});
    EXPECT_EQ(replaced.exitCode, 0);
    EXPECT_NE(readFile(path(u"kept_modified.html"_s)), QByteArray("earlier"));
    // "Done" once for the batch, not once per page.
    EXPECT_EQ(replaced.err.count(u"Done: 2 pages saved. "_s), 1) << replaced.err.toStdString();
}

TEST_F(BatchTest, RecursiveSearchFindsPagesOnceAndLeavesOutputsAlone)
{
    for (const QString &name :
         {u"a.html"_s, u"B.HTM"_s, u"c.Html"_s, u"notes.txt"_s, u"page.html.bak"_s,
          u"old_modified.html"_s, u"sub/d.htm"_s, u"e.html/f.html"_s}) {
        page(u"site/"_s + name);  // a folder named like a page is searched
    }
    // A link back up the tree and a second way into sub: neither repeats a page nor loops.
    ASSERT_TRUE(QFile::link(path(u"site"_s), path(u"site/sub/up"_s)));
    ASSERT_TRUE(QFile::link(path(u"site/sub"_s), path(u"site/sub-again"_s)));
    QStringList expected;
    for (const QString &output : {u"B"_s, u"a"_s, u"c"_s, u"e.html/f"_s, u"sub/d"_s}) {
        expected.append(path(u"site/"_s + output + u"_modified.html"_s));
    }
    // The second time, outputs of the first run are not taken as pages.
    for (const QStringList &arguments : {QStringList{}, QStringList{u"--yes"_s}}) {
        const Finished finished =
            runCli(arguments + QStringList{u"--recursive"_s, path(u"site"_s)});
        ASSERT_EQ(finished.exitCode, 0) << finished.err.toStdString();
        EXPECT_EQ(lines(finished.out), expected);
    }
}

TEST_F(BatchTest, PagesSharingAnOutputRunInTheOrderGiven)
{
    // offer.htm and offer.html both write offer_modified.html: as when run one after the other,
    // the second meets the first one's output.
    const QString htm = page(u"offer.htm"_s, pageWith(1, 0, "From htm"));
    const QString html = page(u"offer.html"_s, pageWith(1, 0, "From html"));
    const QStringList others{page(u"x.html"_s), page(u"y.html"_s)};
    const Finished kept = runCli(QStringList{htm, html} + others);
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(readFile(path(u"offer_modified.html"_s)).contains("From htm"));
    EXPECT_TRUE(kept.err.contains(u"] skipped "_s + html)) << kept.err.toStdString();
    const Finished replaced = runCli(QStringList{u"--yes"_s, u"-j"_s, u"3"_s, htm, html} + others);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_TRUE(readFile(path(u"offer_modified.html"_s)).contains("From html"));

    // An output named as a page after its source is read once the source's run has replaced it;
    // a large source gives a second thread every chance to read the output too early.
    page(u"offer.html"_s, pageWith(3000, 3000, "From html"));
    const QString earlierOutput = page(u"offer_modified.html"_s, pageWith(1, 0, "Earlier"));
    const Finished chained = runCli({u"--yes"_s, u"-j"_s, u"2"_s, html, earlierOutput});
    EXPECT_EQ(chained.exitCode, 0) << chained.err.toStdString();
    const QByteArray twice = readFile(path(u"offer_modified_modified.html"_s));
    EXPECT_TRUE(twice.contains("From html"));
    EXPECT_FALSE(twice.contains("Earlier"));
}

}  // namespace
