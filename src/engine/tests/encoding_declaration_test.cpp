// The written bytes must be read in the page's own encoding again, as a browser reads them: by the
// byte-order mark or the prescan, never by "UTF-8 if it is valid".

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

QString headFollowedBy(const QString &filler, const QString &rest,
                       const QString &text = u"Za\u017c\u00f3\u0142\u0107"_s)
{
    return u"<html><head>"_s + filler + rest + u"</head><body><p>"_s + text +
           u"</p></body></html>"_s;
}

}  // namespace

TEST(EncodeDeclared, DeclaresWhereTheBytesWouldBeReadInAnotherEncoding)
{
    const PageEncoding centralEuropean = encodingNamed("windows-1250");
    ASSERT_EQ(centralEuropean.name, QByteArray("windows-1250"));
    const PageEncoding western = encodingNamed("windows-1252");
    const PageEncoding utf8 = encodingNamed("utf-8");
    const PageEncoding jis = encodingNamed("iso-2022-jp");

    // Quoting and the added <html><head> pushed the page's own declaration past the 1024 bytes
    // browsers look at.
    const QString late = headFollowedBy(u"<meta name=\"x\" content=\"y\">"_s.repeated(40),
                                        u"<meta charset=\"windows-1250\">"_s);
    // A script inserted into a head the parser left empty pushed the page's <meta charset> (in
    // the body) out of reach; the bytes are valid UTF-8, which a browser does not go by.
    const QString pushedOut = u"<html><head><script>"_s + u"x"_s.repeated(1100) +
                              u"</script></head><body><meta charset=\"UTF-8\">\u65e5\u672c"
                              "</body></html>"_s;
    // Nothing declared: a browser guesses, and whether it guesses right depends on the visitor.
    const QString undeclared = headFollowedBy({}, {});
    const QString japanese = headFollowedBy({}, {}, u"\u65e5\u672c"_s);  // escapes, all 7-bit

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
        {pushedOut, utf8, u"<html><head>"_s},
        {undeclared, western, u"<html><head>"_s},
        {japanese, jis, u"<html><head>"_s},
        {pastAComment, centralEuropean, {}},
        {doctypeAndComment, centralEuropean, u"<!DOCTYPE html>"_s},
    };
    for (const auto &[page, encoding, before] : cases) {
        SCOPED_TRACE(encoding.name.toStdString() + ' ' + page.left(40).toStdString());
        auto encoded = encodeDeclared(page, encoding);
        ASSERT_TRUE(encoded.ok()) << encoded.error().toStdString();
        const auto &[text, bytes] = encoded.value();
        EXPECT_TRUE(text.startsWith(before + u"<meta charset=\""_s +
                                    QString::fromLatin1(encoding.name) + u"\">"_s))
            << text.left(80).toStdString();
        EXPECT_EQ(bytes, encodePage(text, encoding));  // what is written is what was checked
        EXPECT_EQ(prescanCharset(bytes), encoding.name);
    }
}

TEST(EncodeDeclared, LeavesAPageThatIsReadRightAsItIs)
{
    const QString early = headFollowedBy({}, u"<meta charset=\"windows-1250\">"_s);
    const QString ascii = headFollowedBy({}, {}, u"Plain"_s);
    const struct {
        QString page;
        PageEncoding encoding;
    } cases[] = {
        {early, encodingNamed("windows-1250")},
        {ascii, encodingNamed("utf-8")},  // plain ASCII reads the same in any guess
        {ascii, encodingNamed("windows-1252")},
        {ascii, encodingNamed("iso-2022-jp")},
        {headFollowedBy({}, {}), decodePage(QByteArray("\xFF\xFE<\0p\0", 6)).encoding},
        {headFollowedBy({}, {}), decodePage("\xEF\xBB\xBF<p>").encoding},  // the marks settle it
    };
    for (const auto &c : cases) {
        auto encoded = encodeDeclared(c.page, c.encoding);
        ASSERT_TRUE(encoded.ok()) << c.encoding.name.toStdString();
        EXPECT_EQ(encoded.value().text, c.page) << c.encoding.name.toStdString();
        EXPECT_EQ(encoded.value().bytes, encodePage(c.page, c.encoding));
    }
}

TEST(EncodeDeclared, RefusesAPageWhereNoDeclarationWouldBeFound)
{
    // A doctype longer than the prescan window leaves no place for a declaration ahead of it.
    const QString page =
        u"<!DOCTYPE html SYSTEM \""_s + u"x"_s.repeated(1100) + u"\">"_s + headFollowedBy({}, {});
    const auto encoded = encodeDeclared(page, encodingNamed("utf-8"));
    ASSERT_FALSE(encoded.ok());
    EXPECT_EQ(encoded.error(), u"no declaration of its encoding (UTF-8) fits where browsers look "
                               "for one, in its first 1024 bytes, so they would read the page in "
                               "another encoding."_s);
}
