#include "engine/font_stage.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(FontStage, FillsEveryPlaceholderWithTheFontAndTheTickedHeadingSizes)
{
    using Sizes = std::array<HeadingSize, 3>;
    const Sizes none{HeadingSize{false, u"1"_s}, HeadingSize{false, u"2"_s},
                     HeadingSize{false, u"3"_s}};
    // h2 is not ticked; the size is used as typed.
    const Sizes h1h3{HeadingSize{true, u"44"_s}, HeadingSize{false, u"40"_s},
                     HeadingSize{true, u" 2em "_s}};
    const QString css = u"family=#FONTDASH#&x{font-family:'#FONTNODASH#'}#HSIZE#"_s;
    const struct {
        QString text, font;
        Sizes sizes;
        QString expected;
    } cases[] = {
        {css, u"Roboto"_s, none, u"family=Roboto&x{font-family:'Roboto'}"_s},
        {css, u"Open Sans Condensed"_s, h1h3,
         u"family=Open+Sans+Condensed&x{font-family:'Open Sans Condensed'}"
         " h1{font-size:44px;} h3{font-size: 2em px;}"_s},
        // Every occurrence, in exact letter case only.
        {u"#FONTDASH#|#FONTDASH#|#fontdash#|#HSIZE##HSIZE#"_s, u"A B"_s, h1h3,
         u"A+B|A+B|#fontdash#| h1{font-size:44px;} h3{font-size: 2em px;} h1{font-size:44px;} "
         "h3{font-size: 2em px;}"_s},
        // A template without the size placeholder gets no sizes.
        {u"x{}"_s, u"Lato"_s, h1h3, u"x{}"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(fillFontTemplate(c.text, c.font, c.sizes), c.expected);
    }
}
