// The values that go into a page's style block as typed: what passes and what is refused.

#include "engine/option_checks.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(OptionChecksTest, PixelSizesAreWholeNumbersWithAtMostTwoDecimals)
{
    for (const QString &size : {u"34"_s, u"0"_s, u"1234"_s, u"12.5"_s, u"12.25"_s}) {
        EXPECT_TRUE(isPixelSize(size)) << size.toStdString();
    }
    for (const QString &size :
         {u""_s, u"12345"_s, u"12.345"_s, u"12."_s, u".5"_s, u"-4"_s, u"34px"_s, u" 34"_s, u"34 "_s,
          u"3,5"_s, u"34\n"_s, u"34}h1{color:red"_s}) {
        EXPECT_FALSE(isPixelSize(size)) << size.toStdString();
    }
}

TEST(OptionChecksTest, FontNamesAreLettersDigitsBlanksDotsAndHyphens)
{
    for (const QString &name :
         {u"Open Sans"_s, u"M PLUS 1p"_s, u"Noto Sans JP"_s, u"Zen Kaku Gothic New"_s,
          u"Ubuntu-Mono"_s, u"Ébauche"_s, QString(100, u'a')}) {
        EXPECT_TRUE(isFontName(name)) << name.toStdString();
    }
    for (const QString &name : {u""_s, u" Lato"_s, u"-Lato"_s, u"Open+Sans"_s, u"Lato'"_s,
                                u"Lato\n"_s, u"Lato;}body{"_s, u"</style>"_s, QString(101, u'a')}) {
        EXPECT_FALSE(isFontName(name)) << name.toStdString();
    }
}

TEST(OptionChecksTest, HeadingSizesRunFromEightToTwoHundredPixels)
{
    for (const QString &size : {u"8"_s, u"34"_s, u"200"_s, u"12.5"_s}) {
        EXPECT_TRUE(isHeadingSize(size)) << size.toStdString();
    }
    for (const QString &size : {u"7.99"_s, u"0"_s, u"200.01"_s, u"1000"_s, u"34px"_s}) {
        EXPECT_FALSE(isHeadingSize(size)) << size.toStdString();
    }
}

TEST(OptionChecksTest, ABackButtonAddressIsAWholeHttpOrHttpsAddress)
{
    for (const QString &address :
         {u"https://example.com/offer"_s, u"HTTP://example.com"_s, u"http://localhost:8080/"_s,
          u"https://example.org/offer?a=1&b=\"2\""_s}) {
        EXPECT_EQ(redirectAddressProblem(address), std::nullopt) << address.toStdString();
    }
    const std::pair<QString, QString> refused[] = {
        {u""_s, u"is empty."_s},
        {u"http://"_s, u"has no site after http://"_s},
        {u"https:///offer"_s, u"has no site after https://"_s},
        {u"https:example.com"_s, u"has no site after https://"_s},
        {u"example.com/offer"_s, u"Did you mean \"https://example.com/offer\"?"_s},
        {u"https://example.com/my offer"_s, u"holds spaces"_s},
        {u"https://example.com/\n"_s, u"holds spaces"_s},
        {u"javascript:alert(1)"_s, u"is not a web address"_s},
        {u"ftp://example.com/"_s, u"is not a web address"_s},
    };
    for (const auto &[address, problem] : refused) {
        const auto found = redirectAddressProblem(address);
        ASSERT_TRUE(found.has_value()) << address.toStdString();
        EXPECT_TRUE(found->contains(problem)) << found->toStdString();
    }
}
