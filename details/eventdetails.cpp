#include "eventdetails.h"

#include "eventlines.h"
#include "linedetails.h"
#include "sessionclock.h"

#include <algorithm>

void EventDetails::markKeyLine(const KeyOrigin &origin)
{
    m_keyRows.push_back(m_times.size() - 1);
    try {
        m_keyOrigins.push_back(origin);
    } catch (...) {
        m_keyRows.pop_back();
        throw;
    }
}

void EventDetails::markScanLine()
{
    m_scans.push_back({ m_times.size() - 1, m_pendingReturnRow, m_pendingReturnTime });
    m_pendingReturnRow = -1;
    m_pendingReturnTime = -1;
}

void EventDetails::noteCarriageReturn(qint64 micros)
{
    m_pendingReturnRow = m_times.size();
    m_pendingReturnTime = micros;
}

void EventDetails::clear()
{
    m_times.clear();
    m_keyRows = {};
    m_keyOrigins = {};
    m_scans = {};
    m_pendingReturnRow = -1;
    m_pendingReturnTime = -1;
    m_reads.clear();
}

qsizetype EventDetails::keyIndex(qsizetype row) const
{
    const auto found = std::lower_bound(m_keyRows.begin(), m_keyRows.end(), row);
    return found != m_keyRows.end() && *found == row ? qsizetype(found - m_keyRows.begin()) : -1;
}

const EventDetails::ScanRecord *EventDetails::scanRecord(qsizetype row) const
{
    const auto found = std::lower_bound(m_scans.begin(), m_scans.end(), row,
        [](const ScanRecord &scan, qsizetype wanted) { return scan.row < wanted; });
    return found != m_scans.end() && found->row == row ? &*found : nullptr;
}

EventDetails::Kind EventDetails::kind(qsizetype row, const EventLines &lines) const
{
    if (scanRecord(row))
        return Kind::Scan;
    if (keyIndex(row) >= 0)
        return Kind::Key;
    return lines.code(row) >= 0 ? Kind::Character : Kind::Other;
}

qsizetype EventDetails::gapFrom(qsizetype row, Kind kind) const
{
    if (kind != Kind::Key)
        return row - 1;
    const auto found = std::lower_bound(m_keyRows.begin(), m_keyRows.end(), row);
    return found == m_keyRows.begin() ? -1 : *(found - 1);
}

ScanSummary EventDetails::summarize(const ScanRecord &scan, const EventLines &lines) const
{
    // The scan's own bytes: the character lines since the previous scan line.
    const qsizetype first = &scan == &m_scans.front() ? 0 : (&scan - 1)->row + 1;
    auto key = std::lower_bound(m_keyRows.begin(), m_keyRows.end(), first);
    ScanSummary summary;
    for (qsizetype row = first; row < scan.row; ++row) {
        if (row == scan.carriageReturnRow)
            summary.addCarriageReturn(scan.carriageReturnTime);
        if (key != m_keyRows.end() && *key == row) {
            ++key;
            continue;
        }
        const int code = lines.code(row);
        if (code >= 0)
            summary.addByte(quint8(code), m_times.at(row));
    }
    if (scan.carriageReturnRow == scan.row)
        summary.addCarriageReturn(scan.carriageReturnTime);
    return summary;
}

ScanSummary EventDetails::scanSummary(qsizetype row, const EventLines &lines) const
{
    const ScanRecord *scan = scanRecord(row);
    return scan ? summarize(*scan, lines) : ScanSummary();
}

QStringList EventDetails::explanation(qsizetype row, const EventLines &lines) const
{
    if (const ScanRecord *scan = scanRecord(row))
        return summarize(*scan, lines).explanation(lines.at(row));
    const int code = lines.code(row);
    const qsizetype key = keyIndex(row);
    if (key >= 0)
        return LineDetails::keyExplanation(
            quint8(code), describeKeyOrigin(m_keyOrigins[std::size_t(key)]));
    if (code >= 0)
        return LineDetails::characterExplanation(quint8(code));
    return {};
}

QString EventDetails::describe(qsizetype row, const EventLines &lines) const
{
    if (row < 0 || row >= m_times.size())
        return {};
    const Kind lineKind = kind(row, lines);
    QStringList text = explanation(row, lines);
    const QString time = SessionClock::timeOfDay(m_times.at(row));
    text.append(lineKind == Kind::Character
            ? QStringLiteral("Время: %1 (одно на все байты, принятые портом за один раз)").arg(time)
            : QStringLiteral("Время: ") + time);
    const qsizetype from = gapFrom(row, lineKind);
    if (from >= 0 && lineKind != Kind::Scan) {
        text.append((lineKind == Kind::Key ? QStringLiteral("После предыдущей клавиши: %1 мс")
                                           : QStringLiteral("После предыдущей строки: %1 мс"))
                        .arg(LineDetails::milliseconds(m_times.at(row) - m_times.at(from))));
    }
    text.append(readExplanation(row, lineKind, lines));
    return text.join(u'\n');
}

QStringList EventDetails::fields(qsizetype row, const EventLines &lines) const
{
    const Kind lineKind = kind(row, lines);
    const qsizetype from = gapFrom(row, lineKind);
    const int code = lines.code(row);
    return { SessionClock::timeOfDay(m_times.at(row)),
        from >= 0 ? LineDetails::milliseconds(m_times.at(row) - m_times.at(from)) : QString(),
        lines.at(row),
        lineKind == Kind::Scan || code < 0 ? QString() : LineDetails::hex(quint8(code)),
        explanation(row, lines).join(QStringLiteral("; ")) };
}
