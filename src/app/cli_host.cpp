#include "app/cli_host.h"

#include <QDir>
#include <QProcess>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace lumivane::cli {

namespace {

bool inputIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(fileno(stdin)) != 0;
#endif
}

}  // namespace

TerminalHost::TerminalHost(bool overwrite, bool openFolder)
    : m_overwrite(overwrite)
    , m_openFolder(openFolder)
    , m_err(stderr)
{}

void TerminalHost::inform(const QString &title, const QString &text, MessageIcon icon)
{
    const QString prefix =
        icon == MessageIcon::Error ? u"lumivane-cli: error: "_s : title + u": "_s;
    m_err << prefix << text << Qt::endl;
}

bool TerminalHost::askYesNo(const QString &title, const QString &text)
{
    if (m_overwrite) {
        return true;
    }
    if (!inputIsTerminal()) {
        m_err << u"lumivane-cli: "_s << text << Qt::endl
              << u"lumivane-cli: not replaced: no terminal to ask on; give --yes to replace it."_s
              << Qt::endl;
        return false;
    }
    // Enter answers Yes, as the window's default button does.
    m_err << title << u" "_s << text << u" [Y/n] "_s << Qt::flush;
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    const bool yes = answer.isEmpty() || answer == u"y"_s || answer == u"yes"_s;
    if (!yes) {
        m_err << u"lumivane-cli: not replaced."_s << Qt::endl;
    }
    return yes;
}

void TerminalHost::openFolder(const QString &folder)
{
    if (!m_openFolder) {
        return;
    }
#if defined(Q_OS_WIN)
    const QString program = u"explorer"_s;
#elif defined(Q_OS_MACOS)
    const QString program = u"open"_s;
#else
    const QString program = u"xdg-open"_s;
#endif
    if (!QProcess::startDetached(program, {QDir::toNativeSeparators(folder)})) {
        m_err << u"lumivane-cli: could not open the folder "_s << QDir::toNativeSeparators(folder)
              << Qt::endl;
    }
}

}  // namespace lumivane::cli
