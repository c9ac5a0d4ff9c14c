#include "engine/marker_resolution.h"

#include "engine/run_options.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// As the read-back writes two tagged elements: one that had classes, one that had none.
const QString Tagged = u"<h1 class=\"title big ';;wow bounceIn;;'\" id=\"t\">Hi</h1>"
                       "<img src=\"a.png\" class=\" ';;wow fadeInUp;;'\">"_s;

}  // namespace

TEST(MarkerResolution, GivesTheClassAndDurationOfEachSpeed)
{
    EXPECT_EQ(resolveMarkers(Tagged, AnimationSpeed::Fast),
              u"<h1 class=\"title big wow bounceIn\" id=\"t\">Hi</h1>"
              "<img src=\"a.png\" class=\" wow fadeInUp\">"_s);
    EXPECT_EQ(resolveMarkers(Tagged, AnimationSpeed::Natural),
              u"<h1 class=\"title big wow bounceIn\" data-wow-duration=\"2s\" id=\"t\">Hi</h1>"
              "<img src=\"a.png\" class=\" wow fadeInUp\" data-wow-duration=\"2s\">"_s);
    EXPECT_EQ(resolveMarkers(Tagged, AnimationSpeed::Slow),
              u"<h1 class=\"title big wow bounceIn\" data-wow-duration=\"3s\" id=\"t\">Hi</h1>"
              "<img src=\"a.png\" class=\" wow fadeInUp\" data-wow-duration=\"3s\">"_s);
}

TEST(MarkerResolution, ResolvesASpeedOutsideTheListAsNatural)
{
    const QString natural = resolveMarkers(Tagged, AnimationSpeed::Natural);
    for (const int speed : {-1, 3, 42}) {
        const QString resolved = resolveMarkers(Tagged, speed);
        EXPECT_EQ(resolved, natural) << speed;
        EXPECT_FALSE(resolved.contains(u"';;"_s) || resolved.contains(u";;'"_s)) << speed;
    }
}

TEST(MarkerResolution, LeavesThePageOwnMarkerLikeTextAlone)
{
    const QString own =
        u"<html><head><script>'use strict';;\nvar a = ';;';;'x';\n"
        "var h = '<h1 class=\"a \\';;wow b;;\\'\">';</script>"
        "<style>p::after{content:\"';;\"}</style></head><body>"
        "<!-- ';;wow x;;' --><p title=\"';;wow y;;'\" data-c=\"q ';;wow z;;'\">"
        "';;wow n;;'</p><textarea><i class=\"a ';;wow b;;'\"></textarea>"
        "<p class=\"k ';; x;;'\"></p><p class=\";;'\"></p><p class=\"a ';;wow ;;'\"></p>"
        "<p class='a \";;wow b;;\"'></p>"_s;
    for (const int speed : {0, 1, 2, -1}) {
        EXPECT_EQ(resolveMarkers(own, speed), own) << speed;
        EXPECT_EQ(resolveMarkers(own + Tagged, speed), own + resolveMarkers(Tagged, speed))
            << speed;
    }
}

TEST(MarkerResolution, LeavesAPageWithoutTagsUnchanged)
{
    const QString page = u"<html><head></head><body class=\"a\"><h1>x</h1></body></html>"_s;
    EXPECT_EQ(resolveMarkers(page, AnimationSpeed::Natural), page);
    EXPECT_EQ(resolveMarkers(QString(), AnimationSpeed::Slow), QString());
}
