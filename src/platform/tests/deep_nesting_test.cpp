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

TEST(DeepNesting, PagesAreRefusedOrParsedWrittenAndFreedOnASmallStack)
{
    QTemporaryDir folder;
    const QString deep = folder.filePath(u"deep.html"_s);
    test_support::writeFile(deep, nested("<div>", 100000));
    const QString within = folder.filePath(u"within.html"_s);
    test_support::writeFile(within, nested("<div>", 2000, "<h1>Bottom</h1><img src=\"a.png\">"));

    onSmallStack([&] {
        const auto refused = Document::Navigate2(deep);
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error(),
                  u"Cannot open the page \"%1\": it is too deeply nested (elements inside "
                  "elements more than 4000 levels deep)."_s.arg(QDir::toNativeSeparators(deep)));

        auto loaded = Document::Navigate2(within);
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        const Document document = std::move(loaded).value();
        document.images().first().setClassName(u"tagged"_s);
        const QString markup = document.readBack();
        EXPECT_EQ(markup.count(u"</div>"_s), 2000);
        EXPECT_TRUE(markup.contains(u"<h1>Bottom</h1><img src=\"a.png\" class=\"tagged\">"_s));

        // Past the refusal: elements whose nesting costs the parser no extra time. Our tree is
        // parsed, written and freed without recursion.
        const Document spans =
            Document::parse(QString::fromLatin1(nested("<span>", 100000, "a &lt; b")));
        EXPECT_EQ(spans.readBack().count(u"<span>"_s), 100000);
    });
}

TEST(DeepNesting, EstimateCountsOnlyWhatStaysOpen)
{
    constexpr qsizetype limit = 1000;
    // Deep: elements left open inside one another, in bytes or in text.
    EXPECT_TRUE(nestsDeeperThan(QByteArrayView(nested("<span>", 1001)), limit));
    EXPECT_TRUE(
        nestsDeeperThan(QStringView(QString::fromLatin1(nested("<DIV class=a>", 1001))), limit));
    EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested("<span>", 990)), limit));
    // Not deep: void and self-closed elements, elements closed by their end tags or by the next
    // of their kind, and markup inside scripts and comments.
    for (const char *repeated :
         {"<img src=a><br><path d=''/>", "<div><b>x</b></div>", "<li><p>item", "<tr><td>cell",
          "<script>'<div>'</script>", "<!--<div>-->"}) {
        EXPECT_FALSE(nestsDeeperThan(QByteArrayView(nested(repeated, 5000)), limit)) << repeated;
    }
}

}  // namespace
}  // namespace lumivane
