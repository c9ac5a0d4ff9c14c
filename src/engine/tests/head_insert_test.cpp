#include "engine/head_insert.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(HeadInsert, JoinsTheChosenPiecesWithNothingBetweenThem)
{
    const QString link = u"<link rel=\"stylesheet\" href=\"anilibs/a.css\">\n"_s;
    const QString animationCss = u".wow{}"_s;
    const QString fontCss = u"body{font-family:Lato}"_s;
    EXPECT_EQ(buildHeadInsert(true, link, animationCss, true, fontCss),
              link + u"<style>.wow{}</style><style>body{font-family:Lato}</style>"_s);
    EXPECT_EQ(buildHeadInsert(true, link, animationCss, false, fontCss),
              link + u"<style>.wow{}</style>"_s);
    EXPECT_EQ(buildHeadInsert(false, link, animationCss, true, fontCss),
              u"<style>body{font-family:Lato}</style>"_s);
    EXPECT_EQ(buildHeadInsert(false, link, animationCss, false, fontCss), QString());
    // Empty snippets still give their style blocks.
    EXPECT_EQ(buildHeadInsert(true, {}, {}, true, {}), u"<style></style><style></style>"_s);
}
