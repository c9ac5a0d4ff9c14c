// Golden pages: every tests/golden/<name>.html goes through the restyle and must come out as
// tests/golden/<name>.expected.html, byte for byte. A page may have <name>.options beside it, one
// "key=value" a line (animations, family, speed, fonts, font, back). On a mismatch the actual
// output is written beside the expected one as <name>.actual.html; run with
// LUMIVANE_ACCEPT_GOLDEN=1 to accept the current outputs as expected.

#include "engine/restyle_core.h"
#include "engine/snippet_texts.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace lumivane;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

const QString goldenFolder = QString::fromUtf8(LUMIVANE_SOURCE_DIR) + u"/tests/golden"_s;

std::vector<std::string> goldenPages()
{
    std::vector<std::string> names;
    const QStringList files =
        QDir(goldenFolder).entryList({u"*.html"_s, u"*.htm"_s}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        if (!file.contains(u".expected."_s) && !file.contains(u".actual."_s)) {
            names.push_back(file.toStdString());
        }
    }
    return names;
}

RunOptions optionsFrom(const QString &optionsFile)
{
    RunOptions options;
    options.fontName = u"Open Sans"_s;
    const QString text = QString::fromUtf8(readFile(optionsFile));
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QString key = line.section(u'=', 0, 0).trimmed();
        const QString value = line.section(u'=', 1).trimmed();
        if (key == u"animations"_s) {
            options.animations = value == u"on"_s;
        } else if (key == u"family"_s) {
            options.animationFamily = value.toInt();
        } else if (key == u"speed"_s) {
            options.speed = value.toInt();
        } else if (key == u"fonts"_s) {
            options.fonts = value == u"on"_s;
        } else if (key == u"font"_s) {
            options.fontName = value;
        } else if (key == u"back"_s) {
            options.backButton = true;
            options.backRedirect = value;
        } else {
            ADD_FAILURE() << "unknown key in " << optionsFile.toStdString() << ": "
                          << key.toStdString();
        }
    }
    return options;
}

class GoldenPage : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenPage, ComesOutAsExpected)
{
    const QString name = QString::fromStdString(GetParam());
    const QString stem = name.section(u'.', 0, 0);
    const RunOptions options = optionsFrom(QDir(goldenFolder).filePath(stem + u".options"_s));
    const auto snippets =
        ReadSnippetTexts(SnippetFolder(QString::fromUtf8(LUMIVANE_SNIPPETS_DIR)), options);
    ASSERT_TRUE(snippets.ok()) << snippets.error().toStdString();
    QRandomGenerator random(20261206);
    const auto restyled = RestylePage(readFile(QDir(goldenFolder).filePath(name)), name,
                                      snippets.value(), options, random);
    ASSERT_TRUE(restyled.ok()) << restyled.error().toStdString();

    const QByteArray &actual = restyled.value().bytes;
    const QString expectedPath = QDir(goldenFolder).filePath(stem + u".expected.html"_s);
    const QString actualPath = QDir(goldenFolder).filePath(stem + u".actual.html"_s);
    if (qEnvironmentVariableIntValue("LUMIVANE_ACCEPT_GOLDEN") == 1) {
        writeFile(expectedPath, actual);
        QFile::remove(actualPath);
        return;
    }
    const QByteArray expected = readFile(expectedPath);
    if (actual != expected) {
        writeFile(actualPath, actual);
        FAIL() << "output differs from " << expectedPath.toStdString() << "; see "
               << actualPath.toStdString() << " (LUMIVANE_ACCEPT_GOLDEN=1 accepts it)";
    }
    QFile::remove(actualPath);
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenPage, ::testing::ValuesIn(goldenPages()),
                         [](const ::testing::TestParamInfo<std::string> &pageInfo) {
                             std::string name = pageInfo.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

}  // namespace
