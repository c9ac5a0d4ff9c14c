// The written bytes must be read in the page's own encoding again, whatever the read-back did to
// its declaration.

#include "engine/encoding_declaration.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

namespace {

PageEncoding encodingNamed(const char *label)
{
    // The decoder knows the canonical names; a page declaring the label gives its encoding.
    return decodePage(QByteArray("<meta charset=\"") + label + "\">").encoding;
}

QString headFollowedBy(const QString &filler, const QString &rest)
{
    return u"<html><head>"_s + filler + rest +
           u"</head><body><p>Za\u017c\u00f3\u0142\u0107</p></body></html>"_s;
}

}  // namespace

TEST(KeepEncodingDeclared, DeclaresWhereTheBytesWouldBeReadInAnotherEncoding)
{
    const PageEncoding centralEuropean = encodingNamed("windows-1250");
    ASSERT_EQ(centralEuropean.name, QByteArray("windows-1250"));
    const PageEncoding western = encodingNamed("windows-1252");

    // Quoting and the added <html><head> pushed the page's own declaration past the 1024 bytes
    // browsers look at.
    const QString late = headFollowedBy(u"<meta name=\"x\" content=\"y\">"_s.repeated(40),
                                        u"<meta charset=\"windows-1250\">"_s);
    // A Western page without a declaration whose only broken byte was dropped with an attribute:
    // what is left happens to be valid UTF-8.
    const QString lookalike = u"<html><head></head><body>\u00c3\u00a9</body></html>"_s;

    // A long comment before the root keeps the head's start tag out of reach: the declaration
    // goes after the doctype, or first of all.
    const QString comment = u"<!--"_s + u"x"_s.repeated(1100) + u"-->"_s;
    const QString pastAComment = comment + late;
    const QString doctypeAndComment = u"<!DOCTYPE html>\n"_s + pastAComment;

    const struct {
        QString page;
        PageEncoding encoding;
        QString before;  // what stands ahead of the declaration
    } cases[] = {
        {late, centralEuropean, u"<html><head>"_s},
        {lookalike, western, u"<html><head>"_s},
        {pastAComment, centralEuropean, {}},
        {doctypeAndComment, centralEuropean, u"<!DOCTYPE html>"_s},
    };
    for (const auto &[page, encoding, before] : cases) {
        ASSERT_NE(decodePage(encodePage(page, encoding)).encoding.name, encoding.name);
        const QString declared = keepEncodingDeclared(page, encoding);
        EXPECT_TRUE(declared.startsWith(before + u"<meta charset=\""_s +
                                        QString::fromLatin1(encoding.name) + u"\">"_s))
            << declared.left(80).toStdString();
        const DecodedPage read = decodePage(encodePage(declared, encoding));
        EXPECT_EQ(read.encoding.name, encoding.name);
        EXPECT_EQ(read.text, declared);
    }
}

TEST(KeepEncodingDeclared, LeavesAPageThatIsReadRightAsItIs)
{
    const QString early = headFollowedBy({}, u"<meta charset=\"windows-1250\">"_s);
    const QString undeclared = headFollowedBy({}, {});
    const struct {
        QString page;
        PageEncoding encoding;
    } cases[] = {
        {early, encodingNamed("windows-1250")},
        {undeclared, encodingNamed("utf-8")},
        {undeclared, decodePage(QByteArray("\xFF\xFE<\0p\0", 6)).encoding},  // UTF-16 with its mark
        {undeclared, decodePage("<p>\xE9</p>").encoding},  // windows-1252, read so by its bytes
    };
    for (const auto &c : cases) {
        EXPECT_EQ(keepEncodingDeclared(c.page, c.encoding), c.page)
            << c.encoding.name.toStdString();
    }
}
