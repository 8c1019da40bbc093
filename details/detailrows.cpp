#include "details/detailrows.h"

#include "codes/readtext.h"
#include "details/eventdetails.h"
#include "details/linedetails.h"
#include "logstore/eventlines.h"
#include "text/notation.h"

DetailRows::DetailRows(const EventDetails &details, const EventLines &lines)
    : m_details(details)
    , m_lines(lines)
{
    for (int code = 0; code < 256; ++code) {
        const QString row = LineDetails::tsvRow(
            { {}, {}, EventLines::characterLine(code), Notation::hexByte(quint8(code)),
                LineDetails::characterExplanation(quint8(code)).join(QStringLiteral("; ")) });
        m_characterRest[std::size_t(code)] = row.mid(1); // after the time's field
    }
}

void DetailRows::append(QString &out, qsizetype row)
{
    const EventDetails::Kind kind = m_details.kind(row, m_lines);
    if (kind != EventDetails::Kind::Character) {
        out += LineDetails::tsvRow(m_details.fields(row, m_lines));
        return;
    }
    const qint64 gap = row > 0 ? this->gap(row) : 0;
    SessionClock::appendTimeOfDay(out, time(row), m_second);
    out += u'\t';
    if (row > 0)
        Notation::appendMillis(out, gap);
    out += m_characterRest[std::size_t(m_lines.code(row))];
}

qsizetype DetailRows::length(qsizetype row)
{
    if (m_details.kind(row, m_lines) != EventDetails::Kind::Character) {
        QString text;
        append(text, row);
        return text.size();
    }
    // "hh:mm:ss.zzz", a tab, the gap ("-" and) at least "0,000", the rest.
    qsizetype length = 12 + 1 + m_characterRest[std::size_t(m_lines.code(row))].size();
    if (row > 0) {
        qint64 gap = this->gap(row);
        length += (gap < 0 ? 1 : 0) + 4;
        gap = qAbs(gap) / 1000;
        do {
            ++length;
            gap /= 10;
        } while (gap > 0);
    }
    return length;
}

qint64 DetailRows::gap(qsizetype row)
{
    const qint64 before = time(row - 1);
    return time(row) - before;
}

qint64 DetailRows::time(qsizetype row)
{
    if (row != m_timeRow) {
        m_timeRow = row;
        m_time = m_details.time(row);
    }
    return m_time;
}
