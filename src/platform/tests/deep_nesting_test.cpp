// Pages nested very deeply: refused with a clear message when the parser could not cope, read
// back whole when it can, and never a crash, also on a thread with a small stack (a Windows
// program's main thread has 1 MB).

#include "platform/html_document.h"
#include "platform/nesting_estimate.h"

#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using namespace Qt::StringLiterals;

namespace lumivane {
namespace {

constexpr uint SmallStack = 256 * 1024;

// Runs `work` on a thread whose stack is far smaller than any main thread's: deep recursion
// anywhere in it crashes the test.
void onSmallStack(const std::function<void()> &work)
{
    QThread *thread = QThread::create(work);
    thread->setStackSize(SmallStack);
    thread->start();
    thread->wait();
    delete thread;
}

QByteArray nested(const char *open, int depth, const char *inner = "x")
{
    QByteArray page = "<!DOCTYPE html><html><head><title>Deep</title></head><body>";
    for (int i = 0; i < depth; ++i) {
        page += open;
    }
    return page + inner + "</body></html>";
}

TEST(DeepNesting, HundredThousandLevelsAreRefusedWithTheFileName)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"deep.html"_s);
    test_support::writeFile(path, nested("<div>", 100000));
    const QString utf16Path = folder.filePath(u"deep-utf16.html"_s);
    const QString text = u"\uFEFF"_s + QString::fromLatin1(nested("<div>", 100000));
    test_support::writeFile(
        utf16Path, QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));

    onSmallStack([&] {
        for (const QString &page : {path, utf16Path}) {
            const auto loaded = Document::Navigate2(page);
            ASSERT_FALSE(loaded.ok()) << page.toStdString();
            EXPECT_EQ(
                loaded.error(),
                u"Cannot open the page \"%1\": it is too deeply nested (elements inside "
                "elements more than 4000 levels deep)."_s.arg(QDir::toNativeSeparators(page)));
        }
    });
}

TEST(DeepNesting, DeepPageWithinTheLimitIsReadBackWholeOnASmallStack)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"deep.html"_s);
    constexpr int depth = 2000;
    test_support::writeFile(path, nested("<div>", depth, "<h1>Bottom</h1><img src=\"a.png\">"));

    onSmallStack([&] {
        auto loaded = Document::Navigate2(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        const Document document = std::move(loaded).value();
        EXPECT_EQ(document.getElementsByTagName(u"div"_s).size(), depth);
        ASSERT_EQ(document.images().size(), 1);
        document.images().first().setClassName(u"tagged"_s);
        const QString markup = document.readBack();
        EXPECT_EQ(markup.count(u"<div>"_s), depth);
        EXPECT_EQ(markup.count(u"</div>"_s), depth);
        EXPECT_TRUE(markup.contains(u"<h1>Bottom</h1><img src=\"a.png\" class=\"tagged\">"_s));
        EXPECT_TRUE(markup.endsWith(u"</div></body></html>"_s));
    });  // the document is destroyed on the small stack too
}

TEST(DeepNesting, OurTreeIsParsedWrittenAndFreedWithoutRecursion)
{
    // Past the refusal of Navigate2: elements whose nesting costs the parser no extra time.
    onSmallStack([] {
        constexpr int depth = 100000;
        const Document document =
            Document::parse(QString::fromLatin1(nested("<span>", depth, "a &lt; b")));
        const QString markup = document.readBack();
        EXPECT_EQ(markup.count(u"<span>"_s), depth);
        EXPECT_TRUE(markup.contains(u"<span>a &lt; b</span></span>"_s));
    });  // the document is freed on the small stack too
}

TEST(DeepNesting, EstimateCountsOnlyWhatStaysOpen)
{
    constexpr qsizetype limit = 1000;
    // Deep: elements left open inside one another.
    EXPECT_TRUE(nestsDeeperThan(QByteArrayView(nested("<span>", 1001)), limit));
    EXPECT_TRUE(
        nestsDeeperThan(QStringView(QString::fromLatin1(nested("<DIV class=a>", 1001))), limit));
    EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested("<span>", 990)), limit));
    // Not deep: void and self-closed elements, elements closed by their end tags or by the next
    // of their kind, and markup inside comments and scripts.
    EXPECT_FALSE(
        nestsDeeperThan(QByteArrayView(nested("<img src=a><br><path d=''/>", 5000)), limit));
    EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested("<div><b>x</b></div>", 5000)), limit));
    EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested("<li><p>item", 5000)), limit));
    EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested("<tr><td>cell", 5000)), limit));
    QByteArray hidden = "<script>";
    for (int i = 0; i < 5000; ++i) {
        hidden += "'<div>'+";
    }
    hidden += "''</script><!--";
    for (int i = 0; i < 5000; ++i) {
        hidden += "<div>";
    }
    hidden += "-->";
    EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested("", 0, hidden.constData())), limit));
}

}  // namespace
}  // namespace lumivane
