// The text stages on the read-back page: where each insert goes, how the markers resolve, and
// that one pass gives what the stages would give one after the other.

#include "engine/back_button.h"
#include "engine/text_stages.h"
#include "platform/html_document.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

const QStringList TitleClose{u"</title>"_s, u"</TITLE>"_s};
const QStringList BodyOpen{u"<body"_s, u"<BODY"_s};
const QStringList Blanks{QString(), u"   "_s, u"\t"_s};

// "X" by one anchor mode alone.
QString insertedAfterAnchor(AnchorMode mode, const QString &page, const QStringList &candidates)
{
    TextStages stages;
    if (mode == AnchorMode::Head) {
        stages.headInsert = u"X"_s;
        stages.titleCloseCandidates = candidates;
    } else {
        stages.activation = u"X"_s;
        stages.bodyOpenCandidates = candidates;
    }
    return applyTextStages(page, stages);
}

QString markersResolved(const QString &page, int speed)
{
    TextStages stages;
    stages.speed = speed;
    return applyTextStages(page, stages);
}

QString backButtonInserted(const QString &page, const QString &script)
{
    TextStages stages;
    stages.backButtonScript = script;
    return applyTextStages(page, stages);
}

// As the read-back writes two tagged elements: one that had classes, one that had none.
const QString Tagged = u"<h1 class=\"title big ';;wow bounceIn;;'\" id=\"t\">Hi</h1>"
                       "<img src=\"a.png\" class=\" ';;wow fadeInUp;;'\">"_s;

}  // namespace

TEST(TextStages, EachInsertGoesOnANewLineAfterTheFirstRealAnchorOnly)
{
    const struct {
        AnchorMode mode;
        QStringList candidates;
        QString page, expected;
    } cases[] = {
        // An icon's <svg><title> is not the page's title.
        {AnchorMode::Head, TitleClose,
         u"<head><title>S</title></head><body><svg><title>C</title></svg>"_s,
         u"<head><title>S</title>\r\nX</head><body><svg><title>C</title></svg>"_s},
        // A title the parser left in the body is still the title; only its first one counts.
        {AnchorMode::Head, TitleClose, u"<body><title>a</title><title>b</title>"_s,
         u"<body><title>a</title>\r\nX<title>b</title>"_s},
        // Text in scripts, styles, comments, attributes, noscript and templates is no anchor.
        {AnchorMode::Head, TitleClose,
         u"<head><script>w(\"<title>x</title>\")</script><style>p{content:\"</title>\"}</style>"
         "<!-- </title> --><meta content=\"</title>\"><noscript><title>n</title></noscript>"
         "<template><title>t</title></template><title>R</title></head>"_s,
         u"<head><script>w(\"<title>x</title>\")</script><style>p{content:\"</title>\"}</style>"
         "<!-- </title> --><meta content=\"</title>\"><noscript><title>n</title></noscript>"
         "<template><title>t</title></template><title>R</title>\r\nX</head>"_s},
        // The first candidate that occurs wins, in exact letter case, wherever it stands.
        {AnchorMode::Head, TitleClose, u"<TITLE>a</TITLE><title>b</title>"_s,
         u"<TITLE>a</TITLE><title>b</title>\r\nX"_s},
        {AnchorMode::Head,
         {u"</TITLE>"_s, u"</title>"_s},
         u"<TITLE>a</TITLE><title>b</title>"_s,
         u"<TITLE>a</TITLE>\r\nX<title>b</title>"_s},
        {AnchorMode::Head, Blanks + QStringList{u"</Title>"_s, u"</title>"_s},
         u"<title>a</title>"_s, u"<title>a</title>\r\nX"_s},
        // Without a title the insert still goes inside the head: at its end, or after its start.
        {AnchorMode::Head, TitleClose,
         u"<head><link rel=\"icon\"></head><body><svg><title>C</title></svg>"_s,
         u"<head><link rel=\"icon\">\r\nX\r\n</head><body><svg><title>C</title></svg>"_s},
        {AnchorMode::Head, TitleClose, u"<head><link rel=\"icon\">"_s,
         u"<head>\r\nX<link rel=\"icon\">"_s},
        {AnchorMode::Head, TitleClose, u"<script>'<head></head>'</script>"_s,
         u"<script>'<head></head>'</script>"_s},
        // Body mode: the whole opening tag; a '>' in a quoted value does not end it.
        {AnchorMode::Body, BodyOpen,
         u"<script>t='<body class=\"x\">'</script><body title='a>b' onload=\"go()\"><p>"_s,
         u"<script>t='<body class=\"x\">'</script><body title='a>b' onload=\"go()\">\r\nX<p>"_s},
        {AnchorMode::Body, Blanks + BodyOpen, u"<body><p>b</p>"_s, u"<body>\r\nX<p>b</p>"_s},
        {AnchorMode::Body, BodyOpen, u"<body-part><body class=\"k\">"_s,
         u"<body-part><body class=\"k\">\r\nX"_s},
        // A body tag without its '>', blank or no candidates, no body: nothing is inserted.
        {AnchorMode::Body, BodyOpen, u"<head></head><body class=\"x\""_s,
         u"<head></head><body class=\"x\""_s},
        {AnchorMode::Body, Blanks, u"<body><p>b</p>"_s, u"<body><p>b</p>"_s},
        {AnchorMode::Body, BodyOpen, u"<head></head>"_s, u"<head></head>"_s},
        // An insert before the charset declaration would push it out of the first 1024 bytes,
        // where browsers look for it: the insert goes after it instead, in either mode.
        {AnchorMode::Head, TitleClose, u"<title>a</title><meta charset=\"koi8-r\"><meta name=v>"_s,
         u"<title>a</title><meta charset=\"koi8-r\">\r\nX<meta name=v>"_s},
        {AnchorMode::Body, BodyOpen,
         u"<body><meta http-equiv=\"content-type\" content=\"text/html; charset=koi8-r\"><p>"_s,
         u"<body><meta http-equiv=\"content-type\" content=\"text/html; charset=koi8-r\">\r\nX<p>"_s},
        // A declaration before the anchor, or past the first 1024 characters, is not followed.
        {AnchorMode::Head, TitleClose,
         u"<meta charset=\"utf-8\"><title>a</title><meta charset=x>"_s,
         u"<meta charset=\"utf-8\"><title>a</title>\r\nX<meta charset=x>"_s},
        // Neither is a refresh naming a "charset", nor a <meta> inside an icon.
        {AnchorMode::Head, TitleClose,
         u"<title>a</title><meta http-equiv=refresh content=\"charset=5\"><svg><meta charset=z>"_s,
         u"<title>a</title>\r\nX<meta http-equiv=refresh content=\"charset=5\"><svg><meta charset=z>"_s},
        {AnchorMode::Head, TitleClose,
         u"<title>"_s + QString(1100, u'w') + u"</title><meta charset=\"utf-8\">"_s,
         u"<title>"_s + QString(1100, u'w') + u"</title>\r\nX<meta charset=\"utf-8\">"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page.left(200).toStdString());
        EXPECT_EQ(insertedAfterAnchor(c.mode, c.page, c.candidates), c.expected);
    }
}

TEST(TextStages, BackButtonGoesBeforeTheFirstRealClosingHeadTagOfTheFirstSpellingFound)
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
        EXPECT_EQ(backButtonInserted(c.page, u"S"_s), c.expected);
    }
}

TEST(TextStages, MarkersGiveTheClassAndTheDurationOfEachSpeedInTaggedClassValuesOnly)
{
    // A speed outside the list counts as Natural: markers must never stay in the page.
    const struct {
        int speed;
        QString duration;
    } speeds[] = {{AnimationSpeed::Fast, QString()},
                  {AnimationSpeed::Natural, u" data-wow-duration=\"2s\""_s},
                  {AnimationSpeed::Slow, u" data-wow-duration=\"3s\""_s},
                  {-1, u" data-wow-duration=\"2s\""_s}};
    // Scripts, styles, comments, text, other attributes, single-quoted class values and class
    // values that only look like a tagging are the page's own.
    const QString own =
        u"<html><head><script>'use strict';;\nvar a = ';;';;'x';\n"
        "var h = '<h1 class=\"a \\';;wow b;;\\'\">';</script>"
        "<style>p::after{content:\"';;\"}</style></head><body>"
        "<!-- ';;wow x;;' --><p title=\"';;wow y;;'\" data-c=\"q ';;wow z;;'\">"
        "';;wow n;;'</p><textarea><i class=\"a ';;wow b;;'\"></textarea>"
        "<p class=\"k ';; x;;'\"></p><p class=\";;'\"></p><p class=\"a ';;wow ;;'\"></p>"
        "<p class='a \";;wow b;;\"'></p>"_s;
    for (const auto &c : speeds) {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(markersResolved(own + Tagged, c.speed),
                  own + u"<h1 class=\"title big wow bounceIn\""_s + c.duration +
                      u" id=\"t\">Hi</h1><img src=\"a.png\" class=\" wow fadeInUp\""_s +
                      c.duration + u">"_s);
    }
}

TEST(TextStages, AllAtOnceGiveWhatTheStagesGiveOneAfterTheOther)
{
    // Without a title the head insert and the back button meet at the head's end, in stage order.
    TextStages stages;
    stages.headInsert = u"H"_s;
    stages.titleCloseCandidates = TitleClose;
    stages.activation = u"A"_s;
    stages.bodyOpenCandidates = BodyOpen;
    stages.speed = AnimationSpeed::Slow;
    stages.backButtonScript = u"<script>B</script>"_s;
    EXPECT_EQ(
        applyTextStages(u"<html><head><meta charset=\"utf-8\"></head><body>"_s + Tagged +
                            u"</body></html>"_s,
                        stages),
        u"<html><head><meta charset=\"utf-8\">\r\nH\r\n<script>B</script></head><body>"
        "\r\nA<h1 class=\"title big wow bounceIn\" data-wow-duration=\"3s\" id=\"t\">Hi</h1>"
        "<img src=\"a.png\" class=\" wow fadeInUp\" data-wow-duration=\"3s\"></body></html>"_s);
}

TEST(TextStages, TheAddressIsEscapedOnlyWhereItCouldBreakOut)
{
    EXPECT_EQ(fillBackButtonScript(u"go(\"[LOCATION]\", '[LOCATION]', '[location]')"_s,
                                   u"a\"b'c<d>e\\f`g\rh\ni\u2028j\u2029k"_s),
              u"go(\"a%22b%27c%3Cd%3Ee%5Cf%60g%0Dh%0Ai%E2%80%A8j%E2%80%A9k\", "
              "'a%22b%27c%3Cd%3Ee%5Cf%60g%0Dh%0Ai%E2%80%A8j%E2%80%A9k', '[location]')"_s);
    // Everything else is the address as typed: query, fragment, existing escapes, non-ASCII.
    const QString plain = u"https://example.com/o?id=7&r=a%20b;c=(1)#top caf\u00e9 \u4e2d"_s;
    EXPECT_EQ(escapeRedirectAddress(plain), plain);
}

// An SVG <title> is read as HTML, and a stray end tag inside it lets the rest of the page, an h1
// included, land in it. The tagged h1 still gets its classes and duration (found by fuzzing).
TEST(TextStages, MarkersAreResolvedWhereSvgHoldsHtml)
{
    // Likewise an image in an SVG <desc> inside an SVG <noframes>, whose content is not raw text
    // there.
    const Document page = Document::parse(
        u"<svg><title>Cart</x><path/></svg><h1 class=hero>Hi</h1><svg><noframes><desc><img>"_s);
    Element heading = page.getElementsByTagName(u"h1"_s).first();
    heading.setClassName(heading.className() + u" ';;wow fadeIn;;'"_s);
    Element image = page.images().first();
    image.setClassName(u" ';;wow zoomIn;;'"_s);
    const QString resolved = markersResolved(page.readBack(), AnimationSpeed::Natural);
    EXPECT_TRUE(resolved.contains(u"<h1 class=\"hero wow fadeIn\" data-wow-duration=\"2s\">"_s))
        << resolved.toStdString();
    EXPECT_TRUE(resolved.contains(u"<img class=\" wow zoomIn\" data-wow-duration=\"2s\">"_s))
        << resolved.toStdString();
}
