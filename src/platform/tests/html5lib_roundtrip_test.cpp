// Parse, serialize, parse again: every document case of the html5lib tree-construction suite must
// come back as the tree the suite expects. Cases the parser library already gets wrong on the
// first parse, and the few trees markup cannot express, are listed with their reason in
// html5lib_expected_failures.txt.

#include "platform/html5_parse.h"
#include "platform/html_serializer.h"
#include "support/html5lib_data.h"
#include "support/tree_dump.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace lumivane {
namespace {

// "file.dat:index<TAB>reason" per line; '#' starts a comment line.
QMap<QString, QString> readExpectedFailures(const QString &path)
{
    QMap<QString, QString> listed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return listed;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#')) {
            listed.insert(line.section(u'\t', 0, 0), line.section(u'\t', 1).trimmed());
        }
    }
    return listed;
}

struct Outcome {
    QString expected, firstTree, markup, secondTree;
    [[nodiscard]] bool firstParseMatches() const { return firstTree == expected; }
    [[nodiscard]] bool passes() const { return firstParseMatches() && secondTree == expected; }
};

Outcome runCase(const testing::Html5libCase &testCase)
{
    const dom::Tree first = parseHtmlDocument(QString::fromUtf8(testCase.data));
    Outcome outcome{QString::fromUtf8(testCase.expectedTree), testing::dumpTree(first),
                    QString::fromUtf8(serializeDocument(first)), QString()};
    outcome.secondTree = testing::dumpTree(parseHtmlDocument(outcome.markup));
    return outcome;
}

std::string describe(const testing::Html5libCase &testCase, const Outcome &outcome)
{
    return u"---- %1%2\n#data\n%3\n#expected\n%4\n#first parse\n%5\n#serialized\n%6\n"
           "#second parse\n%7\n"_s
               .arg(testCase.id(),
                    outcome.firstParseMatches() ? u" (first parse matched)"_s : QString(),
                    QString::fromUtf8(testCase.data), outcome.expected, outcome.firstTree,
                    outcome.markup, outcome.secondTree)
               .toStdString();
}

TEST(Html5libRoundTrip, EveryDocumentCaseSurvivesParseSerializeParse)
{
    const QDir dataDir(QStringLiteral(LUMIVANE_HTML5LIB_DIR));
    const QStringList files = dataDir.entryList({u"*.dat"_s}, QDir::Files, QDir::Name);
    if (!dataDir.exists() || files.isEmpty()) {
        // A developer may lack the data (the cache option LUMIVANE_HTML5LIB_DIR says where it
        // lies); CI must not pass without running the suite.
        if (!qEnvironmentVariableIsEmpty("CI")) {
            FAIL() << "html5lib data folder missing or empty: " << LUMIVANE_HTML5LIB_DIR;
        }
        GTEST_SKIP() << "html5lib data folder missing or empty: " << LUMIVANE_HTML5LIB_DIR;
    }

    const QString listPath = QStringLiteral(LUMIVANE_SOURCE_DIR) +
                             u"/src/platform/tests/html5lib_expected_failures.txt"_s;
    const QMap<QString, QString> expectedFailures = readExpectedFailures(listPath);
    const bool verbose = qEnvironmentVariableIsSet("LUMIVANE_HTML5LIB_VERBOSE");
    // For maintaining the expected-failures list: every failing case as one JSON line.
    QFile report(qEnvironmentVariable("LUMIVANE_HTML5LIB_REPORT"));
    if (!report.fileName().isEmpty()) {
        EXPECT_TRUE(report.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }

    int documentCases = 0;
    int scriptingOffCases = 0;
    int fragmentCases = 0;
    int passed = 0;
    int parserFaults = 0;          // first parse already differs from the expected tree
    int serializerFaults = 0;      // first parse right, round trip wrong
    int unfaithfulRoundTrips = 0;  // round trip does not even keep the (wrong) first tree
    QStringList unexpected;
    QStringList nowPassing;
    QSet<QString> seen;
    for (const QString &fileName : files) {
        const auto cases = testing::readHtml5libFile(dataDir.filePath(fileName));
        for (const testing::Html5libCase &testCase : cases) {
            if (testCase.fragment) {
                ++fragmentCases;
                continue;
            }
            if (testCase.scriptingOffOnly) {
                ++scriptingOffCases;  // our parser runs with scripting on: not applicable
                continue;
            }
            ++documentCases;
            const QString id = testCase.id();
            seen.insert(id);
            const Outcome outcome = runCase(testCase);
            if (outcome.secondTree != outcome.firstTree) {
                ++unfaithfulRoundTrips;
            }
            if (outcome.passes()) {
                ++passed;
                if (expectedFailures.contains(id)) {
                    nowPassing.append(id);
                }
                continue;
            }
            ++(outcome.firstParseMatches() ? serializerFaults : parserFaults);
            if (verbose) {
                std::printf("%s", describe(testCase, outcome).c_str());
            }
            if (report.isOpen()) {
                const QJsonObject entry{
                    {u"id"_s, id},
                    {u"firstParseMatches"_s, outcome.firstParseMatches()},
                    {u"roundTripKeepsFirstTree"_s, outcome.secondTree == outcome.firstTree},
                    {u"data"_s, QString::fromUtf8(testCase.data)},
                    {u"expected"_s, QString::fromUtf8(testCase.expectedTree)},
                    {u"first"_s, outcome.firstTree},
                    {u"markup"_s, outcome.markup},
                    {u"second"_s, outcome.secondTree}};
                report.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
            }
            if (!expectedFailures.contains(id)) {
                unexpected.append(id);
                ADD_FAILURE() << "unexpected failure\n" << describe(testCase, outcome);
            }
        }
    }

    std::printf("html5lib round trip: %d of %d document tests pass (%.1f%%)\n", passed,
                documentCases, documentCases ? 100.0 * passed / documentCases : 0.0);
    std::printf("  failing: %d where the parser's first parse already differs, %d where only the "
                "round trip differs\n",
                parserFaults, serializerFaults);
    std::printf("  round trips that change the parser's own first tree: %d\n",
                unfaithfulRoundTrips);
    std::printf("  not run: %d #script-off cases (the parser runs with scripting on), %d fragment "
                "cases\n",
                scriptingOffCases, fragmentCases);
    for (auto it = expectedFailures.cbegin(); it != expectedFailures.cend(); ++it) {
        if (!seen.contains(it.key())) {
            ADD_FAILURE() << "listed in html5lib_expected_failures.txt but no such document case: "
                          << it.key().toStdString();
        }
    }
    // A listed case that passes now (e.g. after a parser library update) fails the test too: the
    // list must stay exact, or a later regression of that case would go unnoticed.
    for (const QString &id : nowPassing) {
        ADD_FAILURE() << "listed as an expected failure but passes now, remove it from "
                         "html5lib_expected_failures.txt: "
                      << id.toStdString();
    }
    EXPECT_TRUE(unexpected.isEmpty())
        << unexpected.size() << " unexpected failures: " << unexpected.join(u' ').toStdString();
}

}  // namespace
}  // namespace lumivane
