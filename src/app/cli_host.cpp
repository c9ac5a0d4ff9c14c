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

bool isTerminal(FILE *stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

bool inputIsTerminal()
{
    return isTerminal(stdin);
}

// Enter answers Yes, as the window's default button does.
bool readYes()
{
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer.isEmpty() || answer == u"y"_s || answer == u"yes"_s;
}

}  // namespace

QString completionLine(const QString &saved, bool folderOpens)
{
    return u"Done: %1 saved.%2 Please remember to upload the 'anilibs' folder to your website."_s
        .arg(saved, folderOpens ? u" Its folder opens now."_s : QString());
}

bool errorIsTerminal()
{
    return isTerminal(stderr);
}

ExistingOutput askAboutExistingOutputs(qsizetype existing, qsizetype total, const QString &example,
                                       bool overwrite, QTextStream &err)
{
    if (existing == 0 || overwrite) {
        return ExistingOutput::Replace;
    }
    if (!inputIsTerminal()) {
        return ExistingOutput::Keep;
    }
    const QString which =
        existing == 1
            ? u"The output %1 exists already."_s.arg(example)
            : u"%1 of the %2 outputs exist already, %3 among them."_s.arg(existing).arg(total).arg(
                  example);
    err << u"Overwrite? "_s << which
        << (existing == 1 ? u" Replace it with the new changes? [Y/n] "_s
                          : u" Replace them all with the new changes? [Y/n] "_s)
        << Qt::flush;
    if (readYes()) {
        return ExistingOutput::Replace;
    }
    err << u"lumivane-cli: existing outputs are kept; their pages are skipped."_s << Qt::endl;
    return ExistingOutput::Keep;
}

TerminalHost::TerminalHost(bool overwrite, bool openFolder)
    : m_overwrite(overwrite)
    , m_openFolder(openFolder)
    , m_err(stderr)
{}

void TerminalHost::inform(const QString & /*title*/, const QString & /*text*/, MessageIcon /*icon*/)
{
    // The run's messages all end it; the command line reports its outcome once it is over.
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
    m_err << title << u" "_s << text << u" [Y/n] "_s << Qt::flush;
    const bool yes = readYes();
    if (!yes) {
        m_err << u"lumivane-cli: not replaced."_s << Qt::endl;
    }
    return yes;
}

void TerminalHost::notice(const QString &text)
{
    m_err << u"lumivane-cli: warning: "_s << text << Qt::endl;
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
