#include "platform/components.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <set>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

TEST(ReplaceText, ReplacesEveryOccurrenceLeftToRightWithoutRescanning)
{
    EXPECT_EQ(ReplaceText(u"a.html b.html"_s, u".html"_s, {}), u"a b"_s);
    // Overlapping candidates: "aaa" holds "aa" once when read left to right without overlaps.
    EXPECT_EQ(ReplaceText(u"aaa"_s, u"aa"_s, u"x"_s), u"xa"_s);
    // The replacement holds the find text; it must not be replaced again.
    EXPECT_EQ(ReplaceText(u"\\\\\\\\"_s, u"\\\\"_s, u"\\"_s), u"\\\\"_s);
    EXPECT_EQ(ReplaceText(u"a b c"_s, u" "_s, u"+ +"_s), u"a+ +b+ +c"_s);
}

TEST(ReplaceText, LeavesTextAloneWhenFindIsAbsentOrEmpty)
{
    EXPECT_EQ(ReplaceText(u"nothing here"_s, u"#HSIZE#"_s, u"x"_s), u"nothing here"_s);
    EXPECT_EQ(ReplaceText(u"abc"_s, {}, u"x"_s), u"abc"_s);
    EXPECT_EQ(ReplaceText({}, u"a"_s, u"x"_s), QString());
}

TEST(ReplaceText, MatchesExactCaseUnlessToldOtherwise)
{
    EXPECT_EQ(ReplaceText(u"offer.HTML"_s, u".html"_s, {}), u"offer.HTML"_s);
    EXPECT_EQ(ReplaceText(u"offer.HTML"_s, u".html"_s, {}, CaseSensitivity::IgnoreCase),
              u"offer"_s);
}

TEST(ReplaceText, StaysLinearOnLargeInput)
{
    // A quadratic rebuild would take minutes here; a linear pass takes milliseconds.
    const QString page = u"';;"_s.repeated(2'000'000);
    EXPECT_EQ(ReplaceText(page, u"';;"_s, {}), QString());
    EXPECT_EQ(ReplaceText(page, u";"_s, u";;"_s).size(), page.size() * 5 / 3);
}

TEST(FileToListBox, AppendsLinesOfEachFileInTurn)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(u"a.txt"_s), "bounceIn\r\nbounceInUp\n");
    writeFile(folder.filePath(u"b.txt"_s), "\xEF\xBB\xBF"
                                           "fadeIn\n\nfadeInUp");
    QStringList list{u"kept"_s};
    ASSERT_TRUE(FileToListBox(list, folder.filePath(u"a.txt"_s)).ok());
    ASSERT_TRUE(FileToListBox(list, folder.filePath(u"b.txt"_s)).ok());
    EXPECT_EQ(list, (QStringList{u"kept"_s, u"bounceIn"_s, u"bounceInUp"_s, u"fadeIn"_s, QString(),
                                 u"fadeInUp"_s}));
}

TEST(FileToListBox, ReportsMissingFileByPath)
{
    QStringList list;
    const auto status = FileToListBox(list, u"/no/such/folder/fx.txt"_s);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains(u"/no/such/folder/fx.txt"_s))
        << status.error().toStdString();
    EXPECT_TRUE(list.isEmpty());
}

TEST(FileToTextBox, ReadsUtf8AndDropsByteOrderMark)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(u"s.txt"_s), "\xEF\xBB\xBF<style>\xE2\x80\x9C</style>\r\n");
    const auto text = FileToTextBox(folder.filePath(u"s.txt"_s));
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(text.value(), u"<style>\u201C</style>\r\n"_s);
}

TEST(TextBoxToFile, ReplacesExistingFileWholeInTheGivenEncoding)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"out.html"_s);
    writeFile(path, QByteArray(10'000, 'x'));
    ASSERT_TRUE(TextBoxToFile(u"caf\u00E9 \u201Cok\u201D"_s, path).ok());
    EXPECT_EQ(readFile(path), QByteArray("caf\xC3\xA9 \xE2\x80\x9C"
                                         "ok\xE2\x80\x9D"));

    PageEncoding cp1252{PageEncoding::Kind::Windows1252, false, "windows-1252"};
    ASSERT_TRUE(TextBoxToFile(u"\u201Cok\u201D"_s, path, cp1252).ok());
    EXPECT_EQ(readFile(path), QByteArray("\x93ok\x94"));
    // Nothing but the target is left in the folder: the temporary file was renamed over it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"out.html"_s});
}

TEST(TextBoxToFile, FailsWithPathAndReasonWhenTargetCannotBeWritten)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"taken"_s);
    QDir().mkpath(path);  // a folder where the file should go
    const auto status = TextBoxToFile(u"x"_s, path);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().startsWith(u"Cannot write \""_s + QDir::toNativeSeparators(path)))
        << status.error().toStdString();
}

TEST(PathExists, TellsFilesFromFolders)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(u"f"_s), "x");
    EXPECT_TRUE(PathExists(folder.filePath(u"f"_s), PathKind::File));
    EXPECT_FALSE(PathExists(folder.filePath(u"f"_s), PathKind::Folder));
    EXPECT_TRUE(PathExists(folder.path(), PathKind::Folder));
    EXPECT_FALSE(PathExists(folder.path(), PathKind::File));
    EXPECT_FALSE(PathExists(folder.filePath(u"missing"_s), PathKind::File));
}

TEST(ShuffleList, KeepsTheItemsAndReachesEveryOrder)
{
    QRandomGenerator random(7);
    QStringList empty;
    ShuffleList(empty, random);
    EXPECT_TRUE(empty.isEmpty());
    QStringList one{u"fadeIn"_s};
    ShuffleList(one, random);
    EXPECT_EQ(one, QStringList{u"fadeIn"_s});

    const QStringList items{u"a"_s, u"b"_s, u"c"_s};
    std::set<QString> orders;
    for (int i = 0; i < 300; ++i) {
        QStringList list = items;
        ShuffleList(list, random);
        QStringList sorted = list;
        sorted.sort();
        ASSERT_EQ(sorted, items);
        orders.insert(list.join(QString()));
    }
    EXPECT_EQ(orders.size(), 6u);  // all 3! orders turn up
}

TEST(ShuffleList, SameSeedGivesSameOrder)
{
    QStringList first{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
    QStringList second = first;
    QRandomGenerator one(42);
    QRandomGenerator two(42);
    ShuffleList(first, one);
    ShuffleList(second, two);
    EXPECT_EQ(first, second);
}
