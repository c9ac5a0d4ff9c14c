#include "engine/animation_tagging.h"

#include "engine/run_options.h"
#include "engine/snippet_texts.h"
#include "engine/text_stages.h"
#include "platform/components.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

// A copy of the snippet folder whose fx files the tests write.
class AnimationTagging : public ::testing::Test {
protected:
    void SetUp() override { test_support::copySnippetFolder(folder.filePath(u"s"_s)); }
    void write(const char *file, const QByteArray &lines)
    {
        test_support::writeFile(folder.filePath(u"s/"_s + QString::fromLatin1(file)), lines);
    }
    // The family's pool as a run reads it.
    QStringList pool(int family)
    {
        RunOptions options;
        options.animationFamily = family;
        auto texts = ReadSnippetTexts(SnippetFolder(folder.filePath(u"s"_s)), options);
        EXPECT_TRUE(texts.ok()) << texts.error().toStdString();
        return texts.ok() ? texts.value().fxPool : QStringList();
    }
    int tag(const Document &document, int family, quint32 seed = 1)
    {
        QRandomGenerator random(seed);
        lstFX = pool(family);
        return ApplyRandomAnimations(document, lstFX, random);
    }

    QTemporaryDir folder;
    QStringList lstFX;
};

QString markersResolved(const Document &document, int speed)
{
    TextStages stages;
    stages.speed = speed;
    return applyTextStages(document.readBack(), stages);
}

// Images and headings interleaved, so that the tagging order shows in the picks.
Document page(int pairs)
{
    QString body;
    for (int i = 0; i < pairs; ++i) {
        body += u"<p><img src=\"%1.png\"></p><h1>Heading %1</h1><h2 class=\"s\">s</h2>"_s.arg(i);
    }
    return Document::parse(u"<!DOCTYPE html><html><head><title>t</title></head><body>"_s + body);
}

// The picked names, the text between the markers, of the h1s first and then the images.
QStringList picks(const Document &document)
{
    QStringList names;
    for (const Element &element : document.getElementsByTagName(u"h1"_s) + document.images()) {
        const QString value = element.className();
        const qsizetype start = value.lastIndexOf(u" ';;wow "_s);
        EXPECT_TRUE(start >= 0 && value.endsWith(u";;'"_s)) << value.toStdString();
        names.append(value.sliced(start + 8, value.size() - start - 8 - 3));
    }
    return names;
}

}  // namespace

TEST_F(AnimationTagging, EachFamilyMakesOnePoolOfItsFilesInOrder)
{
    write(snippet::FxBounce, "bounceIn\n");
    write(snippet::FxSlide, "slideInLeft\r\nslideInUp\r\n");
    write(snippet::FxFade, "fadeIn\n");
    const QString bounce = u"bounceIn"_s, left = u"slideInLeft"_s, up = u"slideInUp"_s;
    const QString fade = u"fadeIn"_s;
    const struct {
        int family;
        QStringList pool;
    } cases[] = {{AnimationFamily::BounceFade, {bounce, fade}},
                 {AnimationFamily::SlideFade, {left, up, fade}},
                 {AnimationFamily::BounceSlide, {bounce, left, up}},
                 {AnimationFamily::Bounce, {bounce}},
                 {AnimationFamily::Slide, {left, up}},
                 {AnimationFamily::Fade, {fade}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.family);
        EXPECT_EQ(pool(c.family), c.pool);
    }
}

TEST_F(AnimationTagging, TagsEveryH1AndImageKeepingTheirClasses)
{
    write(snippet::FxFade, "fade In  \n");
    const Document document = Document::parse(
        u"<body class=b><h1 class='say \"hi\" &amp; go'>A</h1><h2>B</h2><img class=x><div>"
        "<H1>C</H1><image src=b></div><template><h1>T</h1><img></template><noscript><img>"_s);
    EXPECT_EQ(tag(document, AnimationFamily::Fade), 4);
    // The name is used as its line reads; through the serializer the markers still resolve.
    EXPECT_EQ(markersResolved(document, AnimationSpeed::Fast),
              u"<html><head></head><body class=\"b\"><h1 class=\"say &quot;hi&quot; &amp; go wow "
              "fade In  \">A</h1><h2>B</h2><img class=\"x wow fade In  \"><div><h1 class=\" wow "
              "fade In  \">C</h1><img src=\"b\" class=\" wow fade In  \"></div><template><h1>T"
              "</h1><img></template><noscript><img></noscript></body></html>"_s);
}

TEST_F(AnimationTagging, LeavesTheElementsThePageAnimatesItselfAsTheyAre)
{
    write(snippet::FxFade, "lv-fadeIn\n");
    const Document document = Document::parse(
        u"<h1 class=\"wow fadeInUp\" data-wow-duration=\"1s\">A</h1><img class=\"x\twow\">"
        "<div class=wow><h1 class=wowza>B</h1></div><template><p class=wow></template>"
        "<noscript><p class=wow></noscript>"_s);
    EXPECT_EQ(CountPageAnimations(document), 3);
    ASSERT_EQ(tag(document, AnimationFamily::Fade), 1);
    EXPECT_EQ(markersResolved(document, AnimationSpeed::Natural),
              u"<html><head></head><body><h1 class=\"wow fadeInUp\" data-wow-duration=\"1s\">A"
              "</h1><img class=\"x\twow\"><div class=\"wow\"><h1 class=\"wowza wow lv-fadeIn\" "
              "data-wow-duration=\"2s\">B</h1></div><template><p class=\"wow\"></p></template>"
              "<noscript><p class=wow></noscript></body></html>"_s);
}

TEST_F(AnimationTagging, EveryElementDrawsAfreshFromTheWholePoolAndBlankLinesAreNoNames)
{
    write(snippet::FxSlide, "\n  \n\t\n");
    write(snippet::FxBounce, "bounceIn\n\n\nbounceInUp\n");
    write(snippet::FxFade, "fadeIn\n");
    const Document document = page(100);
    ASSERT_EQ(tag(document, AnimationFamily::BounceSlide), 200);
    EXPECT_EQ(lstFX.size(), 2);  // shuffled in place; blank lines are no names
    const QStringList picked = picks(document);
    // Both names turn up, about equally often.
    EXPECT_GT(picked.count(u"bounceIn"_s), 60);
    EXPECT_GT(picked.count(u"bounceInUp"_s), 60);
    EXPECT_EQ(picked.count(u"bounceIn"_s) + picked.count(u"bounceInUp"_s), 200);

    // An empty pool tags nothing.
    for (const int family : {-1, 6, int(AnimationFamily::Slide)}) {
        SCOPED_TRACE(family);
        const Document untouched = page(2);
        ASSERT_EQ(tag(untouched, family), 0);
        EXPECT_FALSE(untouched.readBack().contains(u"wow"_s));
    }
}
