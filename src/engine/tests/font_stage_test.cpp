#include "engine/font_stage.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

const QString Template =
    u"<link href=\"https://fonts.example/css2?family=#FONTDASH#&display=swap\" rel=\"stylesheet\">"
    "body{font-family:'#FONTNODASH#',sans-serif;}#HSIZE#"_s;

std::array<HeadingSize, 3> sizes(bool h1, bool h2, bool h3)
{
    return {HeadingSize{h1, u"44"_s}, HeadingSize{h2, u"40"_s}, HeadingSize{h3, u"38"_s}};
}

}  // namespace

TEST(FontStage, BuildsHeadingRulesForTheTickedHeadingsInOrder)
{
    EXPECT_EQ(headingRules(sizes(true, true, true)),
              u" h1{font-size:44px;} h2{font-size:40px;} h3{font-size:38px;}"_s);
    EXPECT_EQ(headingRules({HeadingSize{true, u"36"_s}, HeadingSize{false, u"30"_s},
                            HeadingSize{true, u"24"_s}}),
              u" h1{font-size:36px;} h3{font-size:24px;}"_s);
    EXPECT_EQ(headingRules(sizes(false, false, false)), QString());
    // The size is used as written.
    EXPECT_EQ(headingRules(
                  {HeadingSize{false, {}}, HeadingSize{true, u" 2em "_s}, HeadingSize{false, {}}}),
              u" h2{font-size: 2em px;}"_s);
}

TEST(FontStage, FillsTheThreePlaceholders)
{
    EXPECT_EQ(fillFontTemplate(Template, u"Roboto"_s, sizes(false, false, false)),
              u"<link href=\"https://fonts.example/css2?family=Roboto&display=swap\" "
              "rel=\"stylesheet\">body{font-family:'Roboto',sans-serif;}"_s);
    EXPECT_EQ(fillFontTemplate(Template, u"Open Sans Condensed"_s, sizes(true, false, true)),
              u"<link href=\"https://fonts.example/css2?family=Open+Sans+Condensed&display=swap\" "
              "rel=\"stylesheet\">body{font-family:'Open Sans Condensed',sans-serif;}"
              " h1{font-size:44px;} h3{font-size:38px;}"_s);
    // Every occurrence, exact letter case only.
    EXPECT_EQ(fillFontTemplate(u"#FONTDASH#|#FONTDASH#|#fontdash#|#HSIZE##HSIZE#"_s, u"A B"_s,
                               sizes(true, false, false)),
              u"A+B|A+B|#fontdash#| h1{font-size:44px;} h1{font-size:44px;}"_s);
    // A template without the size placeholder gets no sizes.
    EXPECT_EQ(fillFontTemplate(u"x{}"_s, u"Lato"_s, sizes(true, true, true)), u"x{}"_s);
}

TEST(FontStage, FillsThePlaceholdersOneAfterAnother)
{
    // Dashed name first, then the name as listed, each over the whole text: a font name that
    // holds the second placeholder's text is filled again by the second step.
    EXPECT_EQ(fillFontTemplate(u"#FONTDASH#/#FONTNODASH#"_s, u"#FONTNODASH# x"_s,
                               sizes(false, false, false)),
              u"#FONTNODASH# x+x/#FONTNODASH# x"_s);
}
