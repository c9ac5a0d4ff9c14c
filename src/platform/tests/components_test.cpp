#include "platform/components.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <set>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::writeFile;

TEST(ReplaceText, ReplacesEveryOccurrenceInOnePassWithoutRescanning)
{
    const auto ignoreCase = CaseSensitivity::IgnoreCase;
    const struct {
        QString text, find, replacement;
        CaseSensitivity sensitivity;
        QString expected;
    } cases[] = {
        {u"a.html b.html"_s, u".html"_s, {}, {}, u"a b"_s},
        // Left to right without overlaps: "aaa" holds "aa" once.
        {u"aaa"_s, u"aa"_s, u"x"_s, {}, u"xa"_s},
        // Replaced text, even when it holds the find text, is not searched again.
        {u"\\\\\\\\"_s, u"\\\\"_s, u"\\"_s, {}, u"\\\\"_s},
        {u"a b c"_s, u" "_s, u"+ +"_s, {}, u"a+ +b+ +c"_s},
        {u"abc"_s, {}, u"x"_s, {}, u"abc"_s},
        {u"offer.HTML"_s, u".html"_s, {}, {}, u"offer.HTML"_s},
        {u"offer.HTML"_s, u".html"_s, {}, ignoreCase, u"offer"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement, c.sensitivity), c.expected);
    }
    // A quadratic rebuild would take minutes here; one linear pass takes milliseconds.
    const QString page = u"';;"_s.repeated(2'000'000);
    EXPECT_EQ(ReplaceText(page, u"';;"_s, {}), QString());
    EXPECT_EQ(ReplaceText(page, u";"_s, u";;"_s).size(), page.size() * 5 / 3);
}

TEST(FileToListBox, AppendsTheLinesOfEachFileInTurnAndNamesAMissingOne)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(u"a.txt"_s), "bounceIn\r\nbounceInUp\n");
    writeFile(folder.filePath(u"b.txt"_s), "\xEF\xBB\xBF"
                                           "fadeIn\n\nfadeInUp");
    QStringList list{u"kept"_s};
    ASSERT_TRUE(FileToListBox(list, folder.filePath(u"a.txt"_s)).ok());
    ASSERT_TRUE(FileToListBox(list, folder.filePath(u"b.txt"_s)).ok());
    const QStringList expected{u"kept"_s,   u"bounceIn"_s, u"bounceInUp"_s,
                               u"fadeIn"_s, QString(),     u"fadeInUp"_s};
    EXPECT_EQ(list, expected);

    const auto status = FileToListBox(list, folder.filePath(u"gone.txt"_s));
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains(folder.filePath(u"gone.txt"_s)))
        << status.error().toStdString();
    EXPECT_EQ(list, expected);

    // FileToTextBox drops the byte-order mark too.
    writeFile(folder.filePath(u"s.txt"_s), "\xEF\xBB\xBF<style>\xE2\x80\x9C</style>\r\n");
    EXPECT_EQ(FileToTextBox(folder.filePath(u"s.txt"_s)).value(), u"<style>\u201C</style>\r\n"_s);
}

TEST(ShuffleList, KeepsTheItemsReachesEveryOrderAndFollowsTheSeed)
{
    QRandomGenerator random(7);
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

    const auto shuffled = [](quint32 seed) {
        QStringList list{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s};
        QRandomGenerator seeded(seed);
        ShuffleList(list, seeded);
        return list;
    };
    EXPECT_EQ(shuffled(42), shuffled(42));
    EXPECT_NE(shuffled(42), shuffled(43));
}
