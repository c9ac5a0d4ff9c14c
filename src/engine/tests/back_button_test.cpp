#include "engine/back_button.h"

#include "engine/markup_scanner.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(BackButton, FillsEveryPlaceholderWithTheAddressEscapedOnlyWhereItCouldBreakOut)
{
    EXPECT_EQ(fillBackButtonScript(u"go(\"[LOCATION]\", '[LOCATION]', '[location]')"_s,
                                   u"a\"b'c<d>e\\f`g\rh\ni\u2028j\u2029k"_s),
              u"go(\"a%22b%27c%3Cd%3Ee%5Cf%60g%0Dh%0Ai%E2%80%A8j%E2%80%A9k\", "
              "'a%22b%27c%3Cd%3Ee%5Cf%60g%0Dh%0Ai%E2%80%A8j%E2%80%A9k', '[location]')"_s);
    // Everything else is the address as typed: query, fragment, existing escapes, non-ASCII.
    const QString plain = u"https://example.com/o?id=7&r=a%20b;c=(1)#top caf\u00e9 \u4e2d"_s;
    EXPECT_EQ(escapeRedirectAddress(plain), plain);
}

TEST(BackButton, AnAddressCannotBreakOutOfTheScript)
{
    const QString page = u"<html><head><title>t</title></head><body></body></html>"_s;
    const QStringList addresses{u"x\";alert(1);//"_s,
                                u"x';alert(1);//"_s,
                                u"x`;alert(1);//"_s,
                                u"x</script><script>alert(1)</script>"_s,
                                u"x\\"_s,
                                u"x\nalert(1)"_s,
                                u"x\u2028alert(1)"_s,
                                u"<!--<script>"_s};
    for (const QString &quote : {u"\""_s, u"'"_s}) {
        for (const QString &address : addresses) {
            SCOPED_TRACE((quote + address).toStdString());
            const QString filled = fillBackButtonScript(
                u"<script>u = "_s + quote + u"[LOCATION]"_s + quote + u";</script>"_s, address);
            // Still one script element (start and end tag), and its string holds nothing that
            // would end it.
            const QString result = insertBeforeHeadClose(page, filled);
            EXPECT_EQ(scanMarkup(result).size(), scanMarkup(page).size() + 2);
            const QString literal = filled.section(quote, 1, -2);
            for (const QChar c : u"\"'`\\<>\r\n\u2028\u2029"_s) {
                EXPECT_FALSE(literal.contains(c)) << literal.toStdString();
            }
        }
    }
}

TEST(BackButton, GoesBeforeTheFirstRealClosingHeadTagOfTheFirstSpellingFound)
{
    const struct {
        QString page, expected;
    } cases[] = {
        // Not in a script, a comment, a textarea or text.
        {u"<head><script>h = \"</head>\";</script><!-- </head> --></head><body><textarea></head>"
         "</textarea>&lt;/head&gt;"_s,
         u"<head><script>h = \"</head>\";</script><!-- </head> -->S</head><body><textarea></head>"
         "</textarea>&lt;/head&gt;"_s},
        {u"<HEAD><TITLE>t</TITLE></HEAD><BODY>"_s, u"<HEAD><TITLE>t</TITLE>S</HEAD><BODY>"_s},
        {u"<head></Head><body>"_s, u"<head>S</Head><body>"_s},
        // "</head>" is tried first, wherever it stands; only its first real occurrence counts.
        {u"<head></HEAD><body></head><p></head>"_s, u"<head></HEAD><body>S</head><p></head>"_s},
        // Other spellings, and pages without the tag, stay as they are.
        {u"<head></hEAD><body>"_s, u"<head></hEAD><body>"_s},
        {u"<script>'</head>'</script>"_s, u"<script>'</head>'</script>"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page.toStdString());
        EXPECT_EQ(insertBeforeHeadClose(c.page, u"S"_s), c.expected);
    }
}
