#include "engine/back_button.h"

#include "engine/markup_scanner.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(BackButton, PercentEncodesOnlyWhatCouldEndAStringOrATag)
{
    EXPECT_EQ(escapeRedirectAddress(u"a\"b'c<d>e\\f`g\rh\ni\u2028j\u2029k"_s),
              u"a%22b%27c%3Cd%3Ee%5Cf%60g%0Dh%0Ai%E2%80%A8j%E2%80%A9k"_s);
    // Everything else is the address as typed: query, fragment, existing escapes, non-ASCII.
    const QString plain = u"https://example.com/offer?id=7&ref=a%20b;c=(1)#top caf\u00e9 \u4e2d"_s;
    EXPECT_EQ(escapeRedirectAddress(plain), plain);
    EXPECT_EQ(escapeRedirectAddress(u"   "_s), u"   "_s);
    EXPECT_EQ(escapeRedirectAddress(QString()), QString());
}

TEST(BackButton, FillsEveryLocationPlaceholder)
{
    EXPECT_EQ(fillBackButtonScript(u"<script>go(\"[LOCATION]\", '[LOCATION]')</script>"_s,
                                   u"https://x.test/a?b=1"_s),
              u"<script>go(\"https://x.test/a?b=1\", 'https://x.test/a?b=1')</script>"_s);
    EXPECT_EQ(fillBackButtonScript(u"<script>go(\"[location]\")</script>"_s, u"u"_s),
              u"<script>go(\"[location]\")</script>"_s);
    // An address of blanks counts as an address.
    EXPECT_EQ(fillBackButtonScript(u"'[LOCATION]'"_s, u"  "_s), u"'  '"_s);
}

TEST(BackButton, AnAddressCannotBreakOutOfTheScript)
{
    const QString page = u"<html><head><title>t</title></head><body></body></html>"_s;
    const QStringList templates{
        u"<script>var u = \"[LOCATION]\";</script>"_s,
        u"<script>var u = '[LOCATION]';</script>"_s,
    };
    const QStringList addresses{
        u"x\";alert(1);//"_s,
        u"x';alert(1);//"_s,
        u"x`;alert(1);//"_s,
        u"x</script><script>alert(1)</script>"_s,
        u"x\\"_s,
        u"x\nalert(1)"_s,
        u"x\u2028alert(1)"_s,
        u"<!--<script>"_s,
    };
    for (const QString &scriptTemplate : templates) {
        for (const QString &address : addresses) {
            const QString filled = fillBackButtonScript(scriptTemplate, address);
            const QString result = insertBeforeHeadClose(page, filled);
            // Still one script element, exactly where it was put, ...
            QStringList names;
            for (const MarkupTag &tag : scanMarkup(result)) {
                names.append(tag.name);
            }
            EXPECT_EQ(names.count(u"script"_s), 2) << result.toStdString();
            // ... whose string holds none of the characters that would end it.
            const QChar quote = scriptTemplate[scriptTemplate.indexOf(u"[LOCATION]") - 1];
            const qsizetype open = filled.indexOf(quote);
            const qsizetype close = filled.lastIndexOf(quote);
            const QString literal = filled.sliced(open + 1, close - open - 1);
            for (const QChar c : u"\"'`\\<>\r\n\u2028\u2029"_s) {
                EXPECT_FALSE(literal.contains(c)) << literal.toStdString();
            }
        }
    }
}

TEST(BackButton, GoesDirectlyBeforeTheFirstRealClosingHeadTag)
{
    const QString script = u"<script>b()</script>"_s;
    const QString page =
        u"<html><head><script>var h = \"</head>\";</script><!-- </head> --><title>t</title>"
        "</head><body><textarea></head></textarea><p>&lt;/head&gt;</p></body></html>"_s;
    EXPECT_EQ(insertBeforeHeadClose(page, script),
              u"<html><head><script>var h = \"</head>\";</script><!-- </head> --><title>t</title>"
              "<script>b()</script></head><body><textarea></head></textarea><p>&lt;/head&gt;</p>"
              "</body></html>"_s);
}

TEST(BackButton, TriesTheThreeSpellingsInOrder)
{
    const QString script = u"S"_s;
    EXPECT_EQ(insertBeforeHeadClose(u"<HEAD><TITLE>t</TITLE></HEAD><BODY>"_s, script),
              u"<HEAD><TITLE>t</TITLE>S</HEAD><BODY>"_s);
    EXPECT_EQ(insertBeforeHeadClose(u"<head></Head><body>"_s, script), u"<head>S</Head><body>"_s);
    // The lower-case spelling is tried first, wherever it stands; only its first real
    // occurrence takes the script.
    EXPECT_EQ(insertBeforeHeadClose(u"<head></HEAD><body></head><p></head>"_s, script),
              u"<head></HEAD><body>S</head><p></head>"_s);
    // Other mixtures of letter case, and pages without the tag, stay as they are.
    EXPECT_EQ(insertBeforeHeadClose(u"<head></hEAD><body>"_s, script), u"<head></hEAD><body>"_s);
    EXPECT_EQ(insertBeforeHeadClose(u"<p>x</p>"_s, script), u"<p>x</p>"_s);
    EXPECT_EQ(insertBeforeHeadClose(u"<script>'</head>'</script>"_s, script),
              u"<script>'</head>'</script>"_s);
}
