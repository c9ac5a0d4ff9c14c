#include "engine/output_naming.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(FileNameOfPath, TakesTextAfterLastSeparator)
{
    EXPECT_EQ(FileNameOfPath(u"/sites/offer.htm"_s), u"offer.htm"_s);
    EXPECT_EQ(FileNameOfPath(u"offer.htm"_s), u"offer.htm"_s);
    EXPECT_EQ(FileNameOfPath(u"/sites/"_s), QString());
    EXPECT_EQ(FileNameOfPath(QString()), QString());
}

TEST(OutputPath, AlwaysEndsInModifiedHtmlBesideTheSource)
{
    EXPECT_EQ(OutputPath(u"/sites/offer.htm"_s), u"/sites/offer_modified.html"_s);
    EXPECT_EQ(OutputPath(u"/sites/offer.html"_s), u"/sites/offer_modified.html"_s);
    // ".html" in the middle of the name goes too.
    EXPECT_EQ(OutputPath(u"/sites/my.html.htm"_s), u"/sites/my_modified.html"_s);
    // An output chosen as the source gets a new name; the source is never the output.
    EXPECT_EQ(OutputPath(u"/sites/offer_modified.html"_s),
              u"/sites/offer_modified_modified.html"_s);
    // Only the last component is the file name.
    EXPECT_EQ(OutputPath(u"/offer.html files/offer.html"_s),
              u"/offer.html files/offer_modified.html"_s);
    // Upper-case endings are endings too.
    EXPECT_EQ(OutputPath(u"/sites/OFFER.HTML"_s), u"/sites/OFFER_modified.html"_s);
    EXPECT_EQ(OutputFileName(u"/sites/offer.htm"_s), u"offer_modified.html"_s);
}

TEST(LibraryTargetFolder, IsAnilibsBesideThePage)
{
    EXPECT_EQ(LibraryTargetFolder(u"/sites/offer.htm"_s), u"/sites/anilibs/"_s);
    EXPECT_EQ(LibraryTargetFolder(u"/offer.htm"_s), u"/anilibs/"_s);
    // A network-share path keeps the two separators that open it.
    EXPECT_EQ(LibraryTargetFolder(u"//server/share/offer.htm"_s), u"//server/share/anilibs/"_s);
    EXPECT_EQ(OutputPath(u"//server/share/offer.htm"_s), u"//server/share/offer_modified.html"_s);
}
