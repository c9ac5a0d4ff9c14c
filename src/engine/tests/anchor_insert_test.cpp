#include "engine/anchor_insert.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

const QStringList TitleClose{u"</title>"_s, u"</TITLE>"_s};
const QStringList BodyOpen{u"<body"_s, u"<BODY"_s};
const QStringList Blanks{QString(), u"   "_s, u"\t"_s};

}  // namespace

TEST(InsertAfterAnchor, PutsTheSnippetOnANewLineAfterTheFirstRealAnchorOnly)
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
        {AnchorMode::Body, BodyOpen, u"<html><body"_s, u"<html><body"_s},
        {AnchorMode::Body, Blanks, u"<body><p>b</p>"_s, u"<body><p>b</p>"_s},
        {AnchorMode::Body, {}, u"<body><p>b</p>"_s, u"<body><p>b</p>"_s},
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
        EXPECT_EQ(InsertAfterAnchor(c.mode, u"X"_s, c.page, c.candidates), c.expected);
    }
}
