// The whole run on real files in temporary folders: refusals, encodings, output naming, the
// overwrite question and the library copy (what stops a run is in bad_input_test). After every run
// the source page must be byte for byte what it was.

#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "platform/text_codec.h"

#include "qt_printers.h"
#include "recording_host.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

const QByteArray plainPage = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Offer"
                             "</title></head><body class=\"page\"><h1>Buy now</h1><p>Only "
                             "\xE2\x82\xAC"
                             "47</p><img src=\"a.png\"></body></html>\n";

QByteArray utf16LE(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

class RestyleRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        test_support::copySnippetFolder(snippetsFolder);
        QDir().mkpath(pageFolder);
    }
    void TearDown() override
    {
        for (const auto &[path, bytes] : sources) {
            EXPECT_EQ(readFile(path), bytes) << "the source page changed: " << path.toStdString();
        }
    }

    QString writePage(const QString &name, const QByteArray &bytes = plainPage)
    {
        writeFile(output(name), bytes);
        sources.append({output(name), bytes});
        return output(name);
    }
    RunOutcome run(const QString &page, RunOptions options = {})
    {
        options.selectedFile = page;
        options.fontName = u"Open Sans"_s;
        RestyleRun restyle(SnippetFolder(snippetsFolder), host, random);
        RunOutcome outcome = restyle.cmdGo_Click(options);
        modified = restyle.txtHTMLSourceModified();
        return outcome;
    }
    QString output(const QString &name) const { return pageFolder + u'/' + name; }
    // A failed run says so once, as an error naming the path, and never says Done.
    void expectFailureNaming(const RunOutcome &outcome, const QString &path)
    {
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::Failed);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].title, u"Error"_s);
        EXPECT_TRUE(host.messages[0].text.contains(QDir::toNativeSeparators(path)))
            << host.messages[0].text.toStdString();
        EXPECT_TRUE(host.openedFolders.isEmpty());
    }

    QTemporaryDir work;
    const QString snippetsFolder = work.filePath(u"app/snippets"_s);
    const QString pageFolder = work.filePath(u"site"_s);
    QList<std::pair<QString, QByteArray>> sources;
    test_support::RecordingHost host;
    QRandomGenerator random{1234};
    QString modified;
};

TEST_F(RestyleRunTest, RefusesWithoutAPageOrWithNothingToChange)
{
    RunOptions nothing;
    nothing.animations = false;
    nothing.fonts = false;
    RunOptions backOnly = nothing;  // sizes, speed and the back button alone are nothing to do
    backOnly.backButton = true;
    backOnly.backRedirect = u"https://example.org/"_s;
    const QString page = writePage(u"offer.html"_s);
    const struct {
        QString page;
        RunOptions options;
        QString text;
    } cases[] = {
        {QString(), nothing, u"Please select an HTML file (.htm or .html) first."_s},
        {QString(), RunOptions{}, u"Please select an HTML file (.htm or .html) first."_s},
        {page, backOnly,
         u"Seems that there is nothing to change. Please select an option before."_s},
    };
    for (const auto &c : cases) {
        host.messages.clear();
        EXPECT_EQ(run(c.page, c.options).kind, RunOutcome::Kind::Refused);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].title, u"Ooops!"_s);
        EXPECT_EQ(host.messages[0].text, c.text);
    }
    EXPECT_EQ(QDir(pageFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"offer.html"_s});
}

TEST_F(RestyleRunTest, WritesOutputBesideSourceThenSaysDoneAndOpensFolder)
{
    const RunOutcome outcome = run(writePage(u"offer.htm"_s));
    ASSERT_EQ(outcome.kind, RunOutcome::Kind::Written);
    EXPECT_EQ(outcome.outputPath, output(u"offer_modified.html"_s));
    EXPECT_EQ(QString::fromUtf8(readFile(outcome.outputPath)), modified);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].title, u"Done"_s);
    EXPECT_EQ(host.messages[0].text, QString::fromLatin1(message::DoneText));
    EXPECT_EQ(host.openedFolders, QStringList{QDir::toNativeSeparators(pageFolder + u"/"_s)});
    EXPECT_TRUE(host.questions.isEmpty());

    // A second run loads the page afresh: nothing of the first is carried over.
    ASSERT_TRUE(run(output(u"offer.htm"_s)).written());
    EXPECT_EQ(modified.count(u" wow "_s), 2) << modified.toStdString();
}

TEST_F(RestyleRunTest, WritesEveryCharacterBackInThePagesOwnEncoding)
{
    const QByteArray euro = "Only \xE2\x82\xAC";
    const QByteArray cp1252 = "<p>\x93"
                              "Best\x94 \x96 \x80"
                              "5\x85 caf\xE9</p>";
    const QString wide = u"<p>\u201CHi\u201D \U0001F600 \u65E5\u672C</p>"_s;
    const struct {
        const char *name;
        QByteArray bytes, kept;
    } cases[] = {
        {"cp.html", "<html><head><meta charset=\"windows-1252\"></head><body>" + cp1252, cp1252},
        {"bare.html", plainPage, euro},
        {"marked.html", "\xEF\xBB\xBF" + plainPage, euro},
        {"wide.html", "\xFF\xFE" + utf16LE(u"<!DOCTYPE html><title>t</title>"_s + wide),
         utf16LE(wide)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        ASSERT_TRUE(run(writePage(name, c.bytes)).written());
        const QByteArray written = readFile(output(name).replace(u".html"_s, u"_modified.html"_s));
        EXPECT_TRUE(written.startsWith(c.bytes.left(4)));  // the same byte-order mark or none
        EXPECT_TRUE(written.contains(c.kept)) << written.toStdString();
    }
}

TEST_F(RestyleRunTest, WritesOnlyWhatABrowserReadsInThePagesOwnEncoding)
{
    // Stray text before the doctype leaves the parsed head empty and the <meta charset> in the
    // body, behind the back-button script: only a declaration of our own keeps the page UTF-8.
    RunOptions back;
    back.backButton = true;
    back.backRedirect = u"https://example.com/x"_s;
    ASSERT_TRUE(run(writePage(u"stray.html"_s, "notes\n<!DOCTYPE html><html><head><meta "
                                               "charset=\"UTF-8\"><title>\xE6\x97\xA5</title>"),
                    back)
                    .written());
    EXPECT_EQ(prescanCharset(readFile(output(u"stray_modified.html"_s))), QByteArray("UTF-8"));

    // A doctype too long for any declaration to be found: no page, no "Done".
    const QString page = writePage(
        u"long.html"_s, "<!DOCTYPE html SYSTEM \"" + QByteArray(1100, 'x') + "\"><p>\xE6\x97\xA5");
    host.messages.clear();
    host.openedFolders.clear();
    expectFailureNaming(run(page), output(u"long_modified.html"_s));
    EXPECT_FALSE(QFileInfo::exists(output(u"long_modified.html"_s)));
}

TEST_F(RestyleRunTest, AsksBeforeOverwritingAndChangesNothingWhenDeclined)
{
    const QString page = writePage(u"offer.html"_s);
    writeFile(output(u"offer_modified.html"_s), "earlier output");
    host.answer = false;
    EXPECT_EQ(run(page).kind, RunOutcome::Kind::Declined);
    EXPECT_EQ(host.questions, QStringList{u"Overwrite?: The target file (offer_modified.html) "
                                          "exists. Overwrite it with the new changes?"_s});
    EXPECT_EQ(readFile(output(u"offer_modified.html"_s)), QByteArray("earlier output"));
    EXPECT_FALSE(QFileInfo::exists(output(u"anilibs"_s)));
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_TRUE(host.openedFolders.isEmpty());

    host.answer = true;
    ASSERT_TRUE(run(page).written());
    EXPECT_EQ(host.questions.size(), 2);
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
    // A copy that already matches is left as it is, file time and all.
    writeFile(library + u"/same.css"_s, "same");
    writeFile(output(u"anilibs/same.css"_s), "same");
    const QDateTime longAgo(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC);
    {
        QFile same(output(u"anilibs/same.css"_s));
        ASSERT_TRUE(same.open(QIODevice::ReadWrite));
        ASSERT_TRUE(same.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(run(writePage(u"offer.html"_s)).written());
    EXPECT_EQ(QFileInfo(output(u"anilibs/same.css"_s)).lastModified().toUTC(), longAgo);

    QStringList expected = QDir(library).entryList(QDir::Files);
    expected.append(u"mine.txt"_s);
    expected.sort();
    EXPECT_EQ(QDir(output(u"anilibs"_s))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              expected);
    EXPECT_EQ(readFile(output(u"anilibs/mine.txt"_s)), QByteArray("user's own file"));
    EXPECT_EQ(readFile(output(u"anilibs/stale.css"_s)), QByteArray("new"));
}

}  // namespace
