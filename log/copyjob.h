#pragma once

#include "details/detailrows.h"
#include "logstore/lineselection.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class EventDetails;
class EventLines;
class QProgressDialog;
class QWidget;

// One copy of the log's selected lines (with details or without), written a
// slice of at most a few milliseconds at a time on the window's thread, so that
// the port and the log go on meanwhile however many lines are copied. The log
// only grows while it runs, so the rows it copies keep naming their lines;
// clearing the log cancels it first. A copy that takes longer than half a second
// shows its progress with a Cancel button; the clipboard gets the text only when
// it is whole.
class CopyJob : public QObject
{
    Q_OBJECT

public:
    CopyJob(const EventLines &lines, const EventDetails &details, const LineSelection &rows,
        bool withDetails, QWidget *parent);
    ~CopyJob() override;

    // Writes the first slice, and the rest later from the event loop; the
    // clipboard gets the text when it is done.
    void start();
    // The whole text at once, for a caller that wants it in hand.
    QString text();
    void cancel();

    static constexpr qint64 SliceNs = 10'000'000;
    static constexpr qint64 ProgressAfterMs = 500;

signals:
    // Done or cancelled; the job is then deleted later.
    void finished();

private:
    // Measures the text, then writes it, for about that long; true when the
    // text is whole.
    bool write(qint64 ns);
    // Goes on through the rows for about that long, each measured or written;
    // true at the end of them.
    bool pass(const QElapsedTimer &timer, qint64 ns);
    void slice();
    void showProgress();
    void end();

    const EventLines &m_lines;
    const EventDetails &m_details;
    const LineSelection m_rows;
    std::optional<DetailRows> m_detailRows;
    // The text is measured first, then written into a string made once at its
    // exact size: grown by appending, it would move to a larger block again and
    // again (a pause of the window each time the allocator copies it) and could
    // end with room for nearly twice the text.
    bool m_measured = false;
    qsizetype m_length = 0;
    QString m_text;
    std::size_t m_range = 0;
    qsizetype m_next = 0; // the row to write next
    qsizetype m_written = 0; // rows written (none while the text is measured)
    qsizetype m_total = 0;
    QElapsedTimer m_started;
    QPointer<QProgressDialog> m_progress;
    bool m_ended = false;
};
