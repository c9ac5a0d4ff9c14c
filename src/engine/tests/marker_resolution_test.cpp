#include "engine/marker_resolution.h"

#include "engine/run_options.h"
#include "platform/html_document.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// As the read-back writes two tagged elements: one that had classes, one that had none.
const QString Tagged = u"<h1 class=\"title big ';;wow bounceIn;;'\" id=\"t\">Hi</h1>"
                       "<img src=\"a.png\" class=\" ';;wow fadeInUp;;'\">"_s;

}  // namespace

TEST(MarkerResolution, GivesTheClassAndTheDurationOfEachSpeed)
{
    // A speed outside the list counts as Natural: markers must never stay in the page.
    const struct {
        int speed;
        QString duration;
    } cases[] = {{AnimationSpeed::Fast, QString()},
                 {AnimationSpeed::Natural, u" data-wow-duration=\"2s\""_s},
                 {AnimationSpeed::Slow, u" data-wow-duration=\"3s\""_s},
                 {-1, u" data-wow-duration=\"2s\""_s},
                 {3, u" data-wow-duration=\"2s\""_s}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(resolveMarkers(Tagged, c.speed),
                  u"<h1 class=\"title big wow bounceIn\""_s + c.duration +
                      u" id=\"t\">Hi</h1><img src=\"a.png\" class=\" wow fadeInUp\""_s +
                      c.duration + u">"_s);
    }
}

TEST(MarkerResolution, LeavesThePageOwnMarkerLikeTextAlone)
{
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
    for (const int speed : {0, 1, 2, -1}) {
        SCOPED_TRACE(speed);
        EXPECT_EQ(resolveMarkers(own, speed), own);
        EXPECT_EQ(resolveMarkers(own + Tagged, speed), own + resolveMarkers(Tagged, speed));
    }
}

// An SVG <title> is read as HTML, and a stray end tag inside it lets the rest of the page, an h1
// included, land in it. The tagged h1 still gets its classes and duration (found by fuzzing).
TEST(MarkerResolution, ReachesTaggedElementsWhereSvgHoldsHtml)
{
    // Likewise an image in an SVG <desc> inside an SVG <noframes>, whose content is not raw text
    // there.
    const Document page = Document::parse(
        u"<svg><title>Cart</x><path/></svg><h1 class=hero>Hi</h1><svg><noframes><desc><img>"_s);
    Element heading = page.getElementsByTagName(u"h1"_s).first();
    heading.setClassName(heading.className() + u" ';;wow fadeIn;;'"_s);
    Element image = page.images().first();
    image.setClassName(u" ';;wow zoomIn;;'"_s);
    const QString resolved = resolveMarkers(page.readBack(), AnimationSpeed::Natural);
    EXPECT_TRUE(resolved.contains(u"<h1 class=\"hero wow fadeIn\" data-wow-duration=\"2s\">"_s))
        << resolved.toStdString();
    EXPECT_TRUE(resolved.contains(u"<img class=\" wow zoomIn\" data-wow-duration=\"2s\">"_s))
        << resolved.toStdString();
}
