#include "app/batch_display.h"

#include "app/cli_host.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumivane::cli {

namespace {

constexpr int BarWidth = 24;
// Often enough to look alive, rarely enough to cost nothing on a fast batch.
constexpr qint64 RedrawEveryMs = 100;
// With no page finished, only the time left changes.
constexpr qint64 RedrawIdleEveryMs = 1000;

// Carriage return and "erase to the end of the line": the progress line is drawn over itself.
constexpr QStringView ClearLine = u"\r\x1b[K";

QString pages(qsizetype count)
{
    return count == 1 ? u"1 page"_s : u"%1 pages"_s.arg(count);
}

}  // namespace

QString minutesAndSeconds(qint64 milliseconds)
{
    const qint64 seconds = (milliseconds + 999) / 1000;
    return u"%1:%2"_s.arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}

BatchDisplay::BatchDisplay(qsizetype pageCount, bool terminal, QTextStream &out, QTextStream &err)
    : m_pageCount(pageCount)
    , m_terminal(terminal)
    , m_out(out)
    , m_err(err)
{
    m_clock.start();
}

void BatchDisplay::problem(const QString &text)
{
    ++m_problems;
    clearProgress();
    m_err << u"lumivane-cli: error: "_s << text << Qt::endl;
}

void BatchDisplay::pageFinished(qsizetype index, const QString &page, const PageResult &result)
{
    QString line;
    switch (result.kind) {
    case PageResult::Kind::Written:
        ++m_written;
        // On a terminal the bar shows progress; a written page needs no line of its own.
        if (!m_terminal) {
            line = u"restyled "_s + page;
        }
        break;
    case PageResult::Kind::Failed:
        ++m_failed;
        line = u"failed "_s + page + u": "_s + result.message;
        break;
    case PageResult::Kind::Skipped:
        ++m_skipped;
        line = u"skipped "_s + page + u": "_s + result.message;
        break;
    }
    if (!line.isEmpty() || !result.notices.isEmpty()) {
        clearProgress();
    }
    for (const QString &notice : result.notices) {
        m_err << u"lumivane-cli: warning: "_s << page << u": "_s << notice << Qt::endl;
    }
    if (!line.isEmpty()) {
        m_err << u"lumivane-cli: [%1/%2] "_s.arg(done()).arg(m_pageCount) << line << Qt::endl;
    }
    printInOrder(index, result.outputPath);
    refresh();
}

void BatchDisplay::printInOrder(qsizetype index, const QString &outputPath)
{
    m_waitingOutputs.emplace(index, outputPath);
    bool printed = false;
    for (auto next = m_waitingOutputs.begin();
         next != m_waitingOutputs.end() && next->first == m_nextToPrint;
         next = m_waitingOutputs.erase(next), ++m_nextToPrint) {
        if (!next->second.isEmpty()) {
            // Standard output is often the same terminal: the path must not land on the bar.
            clearProgress();
            m_out << next->second << '\n';
            printed = true;
        }
    }
    if (printed) {
        m_out.flush();
    }
}

void BatchDisplay::refresh()
{
    if (!m_terminal) {
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (m_lastDrawn >= 0) {
        const qint64 since = now - m_lastDrawn;
        const bool news = !m_onScreen || done() != m_drawnDone;
        const bool due =
            news ? since >= RedrawEveryMs || done() == m_pageCount : since >= RedrawIdleEveryMs;
        if (!due) {
            return;
        }
    }
    m_lastDrawn = now;
    m_drawnDone = done();
    drawProgress();
}

void BatchDisplay::drawProgress()
{
    const qsizetype finished = done();
    const int filled =
        m_pageCount == 0 ? BarWidth : static_cast<int>(finished * BarWidth / m_pageCount);
    QString line = u"["_s + QString(filled, u'#') + QString(BarWidth - filled, u'-') + u"] "_s;
    line += u"%1/%2 pages"_s.arg(finished).arg(m_pageCount);
    const qsizetype errors = m_failed + m_problems;
    line += errors == 1 ? u", 1 error"_s : u", %1 errors"_s.arg(errors);
    if (m_skipped > 0) {
        line += u", %1 skipped"_s.arg(m_skipped);
    }
    if (finished > 0 && finished < m_pageCount) {
        const qint64 elapsed = m_clock.elapsed();
        const qint64 left = elapsed * (m_pageCount - finished) / finished;
        line += u", "_s + minutesAndSeconds(left) + u" left"_s;
    }
    m_err << ClearLine << line << Qt::flush;
    m_onScreen = true;
}

void BatchDisplay::clearProgress()
{
    if (m_onScreen) {
        m_err << ClearLine << Qt::flush;
        m_onScreen = false;
    }
}

void BatchDisplay::finish()
{
    clearProgress();
    if (m_written > 0) {
        // Said once for the whole batch, not once per page.
        m_err << completionLine(pages(m_written), false) << Qt::endl;
    }
    const double seconds = static_cast<double>(m_clock.elapsed()) / 1000.0;
    m_err << u"lumivane-cli: %1 restyled, %2 failed, %3 skipped in %4 s."_s.arg(pages(m_written))
                 .arg(m_failed + m_problems)
                 .arg(m_skipped)
                 .arg(seconds, 0, 'f', 1)
          << Qt::endl;
}

}  // namespace lumivane::cli
