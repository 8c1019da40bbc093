#pragma once

#include "details/sessionclock.h"

#include <QString>

#include <array>

class EventDetails;
class EventLines;

// The rows of "Копировать с подробностями", written fast enough for millions of
// lines: the fields of EventDetails::fields() as LineDetails::tsvRow() writes
// them, but a character line's row past its gap is one of 256 texts made once,
// and the time of day is formatted once a second.
class DetailRows
{
public:
    DetailRows(const EventDetails &details, const EventLines &lines);

    // Appends the row's line, without a line break; its length, without writing it.
    void append(QString &out, qsizetype row);
    qsizetype length(qsizetype row);

private:
    // The row's gap after the row before it; a row's time is read once for
    // the row after it too.
    qint64 gap(qsizetype row);
    qint64 time(qsizetype row);

    const EventDetails &m_details;
    const EventLines &m_lines;
    // A character line's fields after its gap, a tab before each.
    std::array<QString, 256> m_characterRest;
    SessionClock::Second m_second;
    qsizetype m_timeRow = -1;
    qint64 m_time = 0;
};
