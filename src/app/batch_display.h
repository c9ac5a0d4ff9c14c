#pragma once

// What a batch shows while it runs and when it ends. On a terminal: one progress line redrawn in
// place (pages done, errors, time left), with failures and skipped pages printed above it. Not on
// a terminal (a log, a pipe): one plain line per page as it finishes. Written pages' paths go to
// standard output in the order the pages were given, so scripts see the same list every time.

#include "app/batch_run.h"

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

#include <map>

namespace lumivane::cli {

class BatchDisplay {
public:
    BatchDisplay(qsizetype pageCount, bool terminal, QTextStream &out, QTextStream &err);

    // A folder that could not be searched; it counts as a failure.
    void problem(const QString &text);
    void pageFinished(qsizetype index, const QString &page, const PageResult &result);
    // Called while waiting, so that the time left keeps moving on a slow page.
    void refresh();
    // Clears the progress line and prints the summary.
    void finish();

    [[nodiscard]] bool allWritten() const
    {
        return m_failed == 0 && m_skipped == 0 && m_problems == 0;
    }

private:
    void drawProgress();
    void clearProgress();
    void printInOrder(qsizetype index, const QString &outputPath);
    [[nodiscard]] qsizetype done() const { return m_written + m_failed + m_skipped; }

    qsizetype m_pageCount;
    bool m_terminal;
    QTextStream &m_out;
    QTextStream &m_err;
    QElapsedTimer m_clock;
    qsizetype m_written = 0;
    qsizetype m_failed = 0;
    qsizetype m_skipped = 0;
    qsizetype m_problems = 0;
    bool m_onScreen = false;    // the progress line is the terminal's last line
    qint64 m_lastDrawn = -1;    // when it was last drawn; -1 for never
    qsizetype m_drawnDone = 0;  // the pages done that it showed then
    // Pages finished ahead of an earlier one: their output paths wait for their turn.
    std::map<qsizetype, QString> m_waitingOutputs;
    qsizetype m_nextToPrint = 0;
};

// "1:05", "0:09": minutes and seconds.
QString minutesAndSeconds(qint64 milliseconds);

}  // namespace lumivane::cli
