// Restyling never runs the page and never fetches anything: a page whose scripts, styles, images,
// frames and refresh would all reach out, to a server listening on this machine, to a name that
// would need a look-up and to files beside it, is restyled by the real program while the server
// waits for a connection that must never come. Where strace is at hand, the program's system calls
// show the same from the inside: no socket, no new process, no file of the page's opened.

#include "folder_snapshot.h"
#include "qt_printers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using lumivane::test_support::folderSnapshot;
using lumivane::test_support::readFile;
using lumivane::test_support::writeFile;

namespace {

// Every way a page can ask a browser to fetch or run something; %1 is a server on this machine.
QByteArray reachingPage(const QString &server, const QString &canary)
{
    return uR"page(<!DOCTYPE html>
<html><head>
<meta http-equiv="refresh" content="0; url=%1/refresh">
<base href="%1/base/">
<title>Reaching out</title>
<link rel="stylesheet" href="%1/style.css">
<link rel="preload" href="%1/preload.js" as="script">
<link rel="prefetch" href="http://example.invalid/prefetch">
<link rel="dns-prefetch" href="//example.invalid">
<link rel="preconnect" href="http://example.invalid">
<link rel="icon" href="%1/favicon.ico">
<link rel="stylesheet" href="local.css">
<style>@import url("%1/import.css"); body { background: url(%1/background.png) }
@font-face { font-family: F; src: url(http://example.invalid/font.woff2) }</style>
<script src="%1/script.js"></script>
<script src="local.js"></script>
<script type="module">import "%1/module.js";</script>
<script>
  fetch("%1/fetch");
  new Image().src = "%1/beacon";
  navigator.sendBeacon && navigator.sendBeacon("%1/send-beacon");
  require("fs").writeFileSync("script-ran.txt", "the page's script ran");
  document.write("<img src='%1/written.png'>");
</script>
</head>
<body onload="fetch('%1/onload')">
<h1 style="background-image: url(%1/inline-style.png)">Everything reaches out</h1>
<img src="%1/image.png" srcset="%1/image-2x.png 2x, http://example.invalid/image-3x.png 3x">
<img src="pic.png">
<img src="file://%2">
<picture><source srcset="%1/source.webp"><img src="%1/fallback.png"></picture>
<iframe src="%1/frame"></iframe>
<iframe srcdoc="<script>fetch('%1/srcdoc')</script>"></iframe>
<object data="%1/object"></object><embed src="%1/embed">
<video src="%1/video.mp4" poster="%1/poster.png" autoplay></video>
<audio src="http://example.invalid/audio.mp3" autoplay></audio>
<svg><image href="%1/svg-image.png"/><use href="%1/sprite.svg#a"/></svg>
<form action="%1/form" method="post"><input autofocus onfocus="this.form.submit()"></form>
<a href="%1/link" ping="%1/ping">link</a>
</body></html>
)page"_s.arg(server, canary)
        .toUtf8();
}

struct Traced {
    int exitCode = -1;
    QString out;
    QString err;
    QString trace;  // strace's record, empty when run without it
};

Traced runCli(const QStringList &arguments, const QString &workingDirectory, const QString &trace)
{
    QStringList command;
    if (!trace.isEmpty()) {
        command = {u"strace"_s,
                   u"-f"_s,
                   u"-qq"_s,
                   u"-o"_s,
                   trace,
                   u"-e"_s,
                   u"trace=%network,execve,execveat,fork,vfork,clone,clone3,open,openat"_s};
    }
    command += QString::fromUtf8(LUMIVANE_CLI_PATH);
    command += arguments;
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.sliced(1));
    process.setWorkingDirectory(workingDirectory);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!trace.isEmpty()) {
        // LeakSanitizer (in sanitizer builds) cannot work under a tracer and would fail the run.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"ASAN_OPTIONS"_s,
                           environment.value(u"ASAN_OPTIONS"_s) + u":detect_leaks=0"_s);
        process.setProcessEnvironment(environment);
    }
    process.start();
    process.waitForFinished(60'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()),
            trace.isEmpty() ? QString() : QString::fromUtf8(readFile(trace))};
}

bool straceWorks()
{
    if (QStandardPaths::findExecutable(u"strace"_s).isEmpty()) {
        return false;
    }
    QProcess probe;
    probe.start(u"strace"_s, {u"-qq"_s, u"-o"_s, QProcess::nullDevice(), u"true"_s});
    return probe.waitForFinished(10'000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

TEST(CliNoNetworkTest, RestylingFetchesNothingAndRunsNothingOfThePage)
{
    int argc = 1;
    char name[] = "cli_no_network_test";
    char *argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);  // the server's socket wants an application

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)) << server.errorString().toStdString();
    const QString address = u"http://127.0.0.1:%1"_s.arg(server.serverPort());

    QTemporaryDir work;
    const QString site = work.filePath(u"site"_s);
    const QString canary = work.filePath(u"elsewhere/secret.png"_s);
    writeFile(canary, "a file the page points at");
    for (const char *local : {"local.css", "local.js", "pic.png"}) {
        writeFile(site + u'/' + QString::fromLatin1(local), "referenced by the page");
    }
    const QString page = site + u"/offer.html"_s;
    writeFile(page, reachingPage(address, canary));
    // The same page again, reaching out by a name, which needs a look-up before any connection.
    const QString named = site + u"/named.html"_s;
    writeFile(named, reachingPage(u"http://localhost:%1"_s.arg(server.serverPort()), canary));
    const QStringList before = folderSnapshot(work.path());

    const bool tracing = straceWorks();
    const Traced run =
        runCli({page, named}, site, tracing ? work.filePath(u"strace.txt"_s) : QString());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    // Nobody knocked.
    EXPECT_FALSE(server.waitForNewConnection(200));
    EXPECT_FALSE(server.hasPendingConnections());

    // The page was restyled with every reference kept as written, and nothing else appeared.
    const QByteArray written = readFile(site + u"/offer_modified.html"_s);
    EXPECT_TRUE(written.contains((address + u"/script.js"_s).toUtf8()));
    EXPECT_TRUE(written.contains("require(\"fs\").writeFileSync(\"script-ran.txt\""));
    const QStringList after = folderSnapshot(work.path());
    QStringList expected = before;
    for (const QString &entry : after) {
        if (entry.startsWith(u"site/offer_modified.html = "_s) ||
            entry.startsWith(u"site/named_modified.html = "_s) ||
            entry.startsWith(u"site/anilibs"_s) || entry.startsWith(u"strace.txt = "_s)) {
            expected.append(entry);
        }
    }
    expected.sort();
    EXPECT_EQ(after, expected);

    if (!tracing) {
        GTEST_SKIP() << "strace is not usable here; checked only that no connection arrived";
    }
    // From the inside: no socket of any kind (so no name look-up either), no new process, and of
    // the site's files only the pages were opened, and the outputs' places written.
    const QStringList calls = run.trace.split(u'\n', Qt::SkipEmptyParts);
    QStringList sockets;
    QStringList processes;
    QStringList opened;
    static const QRegularExpression openedPath(uR"re(open(?:at)?\((?:AT_FDCWD, )?"([^"]*)")re"_s);
    for (const QString &call : calls) {
        const QString what = call.section(u' ', 1).trimmed();
        if (what.startsWith(u"socket("_s) || what.startsWith(u"connect("_s) ||
            what.startsWith(u"sendto("_s) || what.startsWith(u"sendmsg("_s)) {
            sockets.append(what);
        }
        if (what.startsWith(u"fork("_s) || what.startsWith(u"vfork("_s) ||
            what.startsWith(u"execveat("_s) ||
            ((what.startsWith(u"clone("_s) || what.startsWith(u"clone3("_s)) &&
             !what.contains(u"CLONE_THREAD"_s))) {
            processes.append(what);
        }
        if (const auto match = openedPath.match(what); match.hasMatch()) {
            opened.append(match.captured(1));
        }
    }
    EXPECT_EQ(sockets, QStringList{});
    EXPECT_EQ(processes, QStringList{});
    EXPECT_EQ(run.trace.count(u"execve("_s), 1);  // the program itself, nothing it started
    for (const QString &path : opened) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(path.startsWith(work.filePath(u"elsewhere"_s)));
        EXPECT_NE(path, u"/etc/resolv.conf"_s);
        EXPECT_NE(path, u"/etc/hosts"_s);
        if (path.startsWith(site)) {
            EXPECT_TRUE(path == page || path == named || path == site ||
                        path.startsWith(site + u"/offer_modified.html"_s) ||
                        path.startsWith(site + u"/named_modified.html"_s) ||
                        path.startsWith(site + u"/anilibs"_s));
        }
    }
    EXPECT_TRUE(opened.contains(page));  // the trace did see the program's own reads
}

}  // namespace
