#include "engine/animation_tagging.h"

#include "engine/marker_resolution.h"

#include "engine/run_options.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// A snippet folder of its own, holding only the fx files a test gives it.
class FxFolder {
public:
    FxFolder() { EXPECT_TRUE(m_dir.isValid()); }

    void write(const char *fileName, const QByteArray &content)
    {
        QFile file(QDir(m_dir.path()).filePath(QString::fromLatin1(fileName)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    [[nodiscard]] SnippetFolder snippets() const { return SnippetFolder(m_dir.path()); }

private:
    QTemporaryDir m_dir;
};

QString page(int headings, int images)
{
    QString body;
    for (int i = 0; i < headings; ++i) {
        body += u"<h1>Heading %1</h1><h2 class=\"sub\">s</h2>"_s.arg(i);
    }
    for (int i = 0; i < images; ++i) {
        body += u"<p><img src=\"%1.png\"></p>"_s.arg(i);
    }
    return u"<!DOCTYPE html><html><head><title>t</title></head><body>"_s + body +
           u"</body></html>"_s;
}

// The picked class names of the tagged elements: the text between the markers.
QStringList picks(const QList<Element> &elements)
{
    QStringList names;
    for (const Element &element : elements) {
        const QString value = element.className();
        const qsizetype start = value.lastIndexOf(u" ';;wow "_s);
        EXPECT_GE(start, 0) << value.toStdString();
        EXPECT_TRUE(value.endsWith(u";;'"_s)) << value.toStdString();
        names.append(value.sliced(start + 8, value.size() - start - 8 - 3));
    }
    return names;
}

}  // namespace

TEST(AnimationTagging, LoadsTheFilesOfEachFamilyInOrder)
{
    const QString bounce = u"fx-bounce.txt"_s;
    const QString slide = u"fx-slide.txt"_s;
    const QString fade = u"fx-fade.txt"_s;
    EXPECT_EQ(fxFilesForFamily(AnimationFamily::BounceFade), (QStringList{bounce, fade}));
    EXPECT_EQ(fxFilesForFamily(AnimationFamily::SlideFade), (QStringList{slide, fade}));
    EXPECT_EQ(fxFilesForFamily(AnimationFamily::BounceSlide), (QStringList{bounce, slide}));
    EXPECT_EQ(fxFilesForFamily(AnimationFamily::Bounce), (QStringList{bounce}));
    EXPECT_EQ(fxFilesForFamily(AnimationFamily::Slide), (QStringList{slide}));
    EXPECT_EQ(fxFilesForFamily(AnimationFamily::Fade), (QStringList{fade}));
    EXPECT_EQ(fxFilesForFamily(-1), QStringList());
    EXPECT_EQ(fxFilesForFamily(6), QStringList());

    // A combined family is one merged pool, the first file's lines first; with nothing to tag
    // the pool is never shuffled.
    FxFolder folder;
    folder.write(snippet::FxSlide, "slideInLeft\r\nslideInUp\r\n");
    folder.write(snippet::FxFade, "fadeIn\n");
    const Document document = Document::parse(page(0, 0));
    QRandomGenerator random(1);
    QStringList lstFX{u"left over"_s};
    auto tagged = ApplyRandomAnimations(document, AnimationFamily::SlideFade, folder.snippets(),
                                        random, lstFX);
    ASSERT_TRUE(tagged.ok()) << tagged.error().toStdString();
    EXPECT_EQ(tagged.value(), 0);
    EXPECT_EQ(lstFX, (QStringList{u"slideInLeft"_s, u"slideInUp"_s, u"fadeIn"_s}));
}

TEST(AnimationTagging, TagsEveryH1AndImageKeepingTheirClasses)
{
    FxFolder folder;
    folder.write(snippet::FxFade, "fade In  \n");
    const Document document =
        Document::parse(u"<html><head><title>t</title></head><body class=\"b\">"
                        "<h1 class=\"hero big\">A</h1><h2>B</h2><img src=\"a.png\" class=\"x\">"
                        "<p><H1>C</H1><image src=\"b.png\"></p><div class=\"d\"></div>"
                        "<template><h1>T</h1><img src=\"t.png\"></template></body></html>"_s);
    QRandomGenerator random(7);
    QStringList lstFX;
    auto tagged =
        ApplyRandomAnimations(document, AnimationFamily::Fade, folder.snippets(), random, lstFX);
    ASSERT_TRUE(tagged.ok()) << tagged.error().toStdString();
    EXPECT_EQ(tagged.value(), 4);

    // The picked name is used exactly as its line reads.
    const QList<Element> headings = document.getElementsByTagName(u"h1"_s);
    ASSERT_EQ(headings.size(), 2);
    EXPECT_EQ(headings[0].className(), u"hero big ';;wow fade In  ;;'"_s);
    EXPECT_EQ(headings[1].className(), u" ';;wow fade In  ;;'"_s);
    const QList<Element> images = document.images();
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].className(), u"x ';;wow fade In  ;;'"_s);
    EXPECT_EQ(images[1].className(), u" ';;wow fade In  ;;'"_s);

    // Nothing else is touched.
    const QString markup = document.readBack();
    EXPECT_EQ(markup.count(u";;'"_s), 4);
    EXPECT_TRUE(markup.contains(u"<h2>B</h2>"_s));
    EXPECT_TRUE(markup.contains(u"<body class=\"b\">"_s));
    EXPECT_TRUE(markup.contains(u"<div class=\"d\"></div>"_s));
}

TEST(AnimationTagging, DrawsEachElementFromTheWholePool)
{
    FxFolder folder;
    folder.write(snippet::FxBounce, "bounceIn\n");
    folder.write(snippet::FxFade, "fadeIn\n");
    const QString source = page(100, 100);

    const auto run = [&](quint32 seed) {
        const Document document = Document::parse(source);
        QRandomGenerator random(seed);
        QStringList lstFX;
        auto tagged = ApplyRandomAnimations(document, AnimationFamily::BounceFade,
                                            folder.snippets(), random, lstFX);
        EXPECT_TRUE(tagged.ok());
        EXPECT_EQ(tagged.value(), 200);
        return picks(document.getElementsByTagName(u"h1"_s)) + picks(document.images());
    };
    const QStringList first = run(2024);
    ASSERT_EQ(first.size(), 200);
    // Both families of the merged pool are drawn, about equally often, and nothing else.
    EXPECT_EQ(QSet<QString>(first.cbegin(), first.cend()),
              (QSet<QString>{u"bounceIn"_s, u"fadeIn"_s}));
    EXPECT_GT(first.count(u"bounceIn"_s), 60);
    EXPECT_GT(first.count(u"fadeIn"_s), 60);
    // A fresh draw for every element: neighbours are not all alike.
    int changes = 0;
    for (qsizetype i = 1; i < first.size(); ++i) {
        changes += first[i] != first[i - 1] ? 1 : 0;
    }
    EXPECT_GT(changes, 50);
    // The random source decides: the same seed gives the same picks.
    EXPECT_EQ(run(2024), first);
}

TEST(AnimationTagging, TagsNothingFromAnEmptyPool)
{
    FxFolder folder;
    folder.write(snippet::FxSlide, "\n  \n\t\n");
    folder.write(snippet::FxBounce, "bounceIn\n\n\nbounceInUp\n");
    const QString source = page(2, 2);

    for (const int family : {-1, 6, int(AnimationFamily::Slide)}) {
        const Document document = Document::parse(source);
        QRandomGenerator random(3);
        QStringList lstFX;
        auto tagged = ApplyRandomAnimations(document, family, folder.snippets(), random, lstFX);
        ASSERT_TRUE(tagged.ok()) << family;
        EXPECT_EQ(tagged.value(), 0) << family;
        EXPECT_TRUE(lstFX.isEmpty()) << family;
        EXPECT_FALSE(document.readBack().contains(u"wow"_s)) << family;
    }

    // Blank lines are left out of a pool that has names.
    const Document document = Document::parse(page(20, 20));
    QRandomGenerator random(3);
    QStringList lstFX;
    auto tagged = ApplyRandomAnimations(document, AnimationFamily::BounceSlide, folder.snippets(),
                                        random, lstFX);
    ASSERT_TRUE(tagged.ok());
    EXPECT_EQ(tagged.value(), 40);
    EXPECT_EQ(lstFX.size(), 2);
    for (const QString &pick : picks(document.images())) {
        EXPECT_TRUE(pick == u"bounceIn"_s || pick == u"bounceInUp"_s) << pick.toStdString();
    }
}

TEST(AnimationTagging, ReportsAMissingFxFile)
{
    FxFolder folder;
    folder.write(snippet::FxBounce, "bounceIn\n");
    const Document document = Document::parse(page(1, 1));
    QRandomGenerator random(5);
    QStringList lstFX;
    auto tagged = ApplyRandomAnimations(document, AnimationFamily::BounceSlide, folder.snippets(),
                                        random, lstFX);
    ASSERT_FALSE(tagged.ok());
    EXPECT_TRUE(tagged.error().contains(u"fx-slide.txt"_s)) << tagged.error().toStdString();
    EXPECT_FALSE(document.readBack().contains(u"wow"_s));
}

TEST(AnimationTagging, WritesMarkersThatTheResolutionTurnsIntoClassAndDuration)
{
    // Through the real read-back: class values with quotes and ampersands are escaped by the
    // serializer, and the markers still resolve to exactly the tagged classes.
    FxFolder folder;
    folder.write(snippet::FxFade, "fadeIn\n");
    const Document document =
        Document::parse(u"<html><head><title>t</title><script>'use strict';;</script></head><body>"
                        "<h1 class='say \"hi\" &amp; go'>A</h1><svg><title>i</title></svg>"
                        "<img src=\"a.png\" alt=\"';;wow x;;'\"></body></html>"_s);
    QRandomGenerator random(11);
    QStringList lstFX;
    ASSERT_TRUE(
        ApplyRandomAnimations(document, AnimationFamily::Fade, folder.snippets(), random, lstFX)
            .ok());

    const QString resolved = resolveMarkers(document.readBack(), AnimationSpeed::Slow);
    EXPECT_FALSE(resolved.contains(u"';;wow fadeIn"_s)) << resolved.toStdString();
    EXPECT_TRUE(resolved.contains(u"'use strict';;"_s));
    EXPECT_TRUE(resolved.contains(u"alt=\"';;wow x;;'\""_s)) << resolved.toStdString();

    const Document again = Document::parse(resolved);
    const QList<Element> headings = again.getElementsByTagName(u"h1"_s);
    ASSERT_EQ(headings.size(), 1);
    EXPECT_EQ(headings[0].className(), u"say \"hi\" & go wow fadeIn"_s);
    EXPECT_TRUE(headings[0].outerHTML().contains(u"data-wow-duration=\"3s\""_s));
    const QList<Element> images = again.images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images[0].className(), u" wow fadeIn"_s);
    EXPECT_TRUE(images[0].outerHTML().contains(u"data-wow-duration=\"3s\""_s));
}
