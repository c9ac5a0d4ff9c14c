// Restyling never runs the page and never fetches anything: a page whose scripts, styles, images,
// frames and refresh would all reach out, to a server listening on this machine, to a name that
// would need a look-up and to files beside it, is restyled by the real program while the server
// waits for a connection that must never come. Where strace works, the program's system calls
// show the same from the inside: no socket, no new process, no file of the page's opened.

#include "cli_process.h"
#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

// Every kind of way a page can ask a browser to fetch or run something; %1 is a server here.
QByteArray reachingPage(const QString &server, const QString &canary)
{
    return uR"page(<!DOCTYPE html><html><head>
<meta http-equiv="refresh" content="0; url=%1/refresh"><base href="%1/base/"><title>Out</title>
<link rel="stylesheet" href="%1/style.css"><link rel="preload" href="%1/a.js" as="script">
<style>@import url("%1/import.css"); body { background: url(%1/background.png) }</style>
<script src="%1/script.js"></script><script src="local.js"></script>
<script>fetch("%1/fetch"); require("fs").writeFileSync("script-ran.txt", "it ran");</script>
</head><body onload="fetch('%1/onload')"><h1>Everything reaches out</h1>
<img src="%1/image.png" srcset="%1/image-2x.png 2x"><img src="pic.png"><img src="file://%2">
<iframe src="%1/frame"></iframe><object data="%1/object"></object><video src="%1/v.mp4" autoplay>
<form action="%1/form"><input autofocus onfocus="this.form.submit()"></form></body></html>
)page"_s.arg(server, canary)
        .toUtf8();
}

TEST(CliNoNetworkTest, RestylingFetchesNothingAndRunsNothingOfThePage)
{
    int argc = 1;
    char name[] = "cli_no_network_test";
    char *argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);  // the server's socket wants an application
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)) << server.errorString().toStdString();

    QTemporaryDir work;
    const QString site = work.filePath(u"site"_s);
    const QString canary = work.filePath(u"elsewhere/secret.png"_s);
    writeFile(canary, "a file the page points at");
    for (const char *local : {"local.js", "pic.png"}) {
        writeFile(site + u'/' + QLatin1String(local), "referenced by the page");
    }
    const QString page = site + u"/offer.html"_s;
    const QString named = site + u"/named.html"_s;  // by name: a look-up before any connection
    writeFile(page, reachingPage(u"http://127.0.0.1:%1"_s.arg(server.serverPort()), canary));
    writeFile(named, reachingPage(u"http://localhost:%1"_s.arg(server.serverPort()), canary));

    lumivane::test_support::CliLaunch launch;
    launch.workingDirectory = site;
    const QString trace = work.filePath(u"strace.txt"_s);
    const bool tracing =
        QProcess::execute(u"strace"_s, {u"-qq"_s, u"-o"_s, QProcess::nullDevice(), u"true"_s}) == 0;
    if (tracing) {
        launch.prefix = u"strace -f -qq -o %1 -e trace=%network,execve,execveat,fork,vfork,clone,"
                        "clone3,open,openat"_s.arg(trace)
                            .split(u' ');
        // LeakSanitizer (in sanitizer builds) cannot work under a tracer and would fail the run.
        qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":detect_leaks=0");
    }
    const auto run = lumivane::test_support::runCli({page, named}, launch);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    // Nobody knocked; the page was restyled with its references as written; nothing else appeared.
    EXPECT_FALSE(server.waitForNewConnection(200));
    EXPECT_TRUE(readFile(site + u"/offer_modified.html"_s)
                    .contains(":" + QByteArray::number(server.serverPort()) + "/script.js"));
    EXPECT_EQ(QDir(site).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{u"anilibs"_s, u"local.js"_s, u"named.html"_s, u"named_modified.html"_s,
                           u"offer.html"_s, u"offer_modified.html"_s, u"pic.png"_s}));

    if (!tracing) {
        GTEST_SKIP() << "strace is not usable here; checked only that no connection arrived";
    }
    // From the inside: no socket of any kind (so no name look-up either), no process but the
    // program itself, and of the site's files only the pages read and the outputs' places written.
    static const QRegularExpression opening(uR"re(open(?:at)?\((?:AT_FDCWD, )?"([^"]*)")re"_s);
    static const QRegularExpression outside(
        u"^(socket|connect|sendto|sendmsg|fork|vfork|execveat)\\("_s);
    for (const QString &call :
         QString::fromUtf8(readFile(trace)).split(u'\n', Qt::SkipEmptyParts)) {
        const QString what = call.section(u' ', 1).trimmed();
        SCOPED_TRACE(what.toStdString());
        EXPECT_FALSE(outside.match(what).hasMatch());
        EXPECT_FALSE(what.startsWith(u"clone"_s) && !what.contains(u"CLONE_THREAD"_s));
        const QString opened = opening.match(what).captured(1);
        EXPECT_FALSE(opened.startsWith(work.filePath(u"elsewhere"_s)) ||
                     opened == u"/etc/resolv.conf"_s || opened == u"/etc/hosts"_s);
        static const QRegularExpression ours(
            u"^(%1|%1/(offer|named)(_modified)?\\.html.*|%1/anilibs.*)$"_s.arg(
                QRegularExpression::escape(site)));
        EXPECT_TRUE(!opened.startsWith(site) || ours.match(opened).hasMatch());
    }
    EXPECT_EQ(readFile(trace).count("execve("), 1);        // the program itself, nothing it started
    EXPECT_TRUE(readFile(trace).contains(page.toUtf8()));  // the trace did see the program's reads
}

}  // namespace
