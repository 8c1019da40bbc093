#include "details/eventdetails.h"

#include "analysis/readmode.h"
#include "details/linedetails.h"
#include "details/sessionclock.h"
#include "logstore/eventlines.h"
#include "text/notation.h"

#include <algorithm>

namespace {

// A key line's moments are those of key events, the others' of the port's reads.
Notation::Stamps stampsOf(EventDetails::Kind kind)
{
    return stampsOf(kind == EventDetails::Kind::Key ? ReadMode::Keyboard : ReadMode::Serial);
}

// Room for one more, taken as push_back would take it, before anything changes.
template<typename List> void roomForOne(List &list)
{
    if (list.size() == list.capacity())
        list.reserve(std::max<std::size_t>(16, 2 * list.capacity()));
}

} // namespace

void EventDetails::addCharacterLine(quint8 code, qint64 micros)
{
    m_times.append(micros);
    m_scan.addByte(code, micros);
}

void EventDetails::addKeyLine(qint64 micros, const KeyOrigin &origin)
{
    // Room first, so that running out of memory leaves every list as it was.
    roomForOne(m_keyRows);
    roomForOne(m_keyOrigins);
    m_times.append(micros);
    m_keyRows.push_back(m_times.size() - 1);
    m_keyOrigins.push_back(origin);
}

void EventDetails::addScanLine(qint64 micros, QStringView text)
{
    m_scan.setText(text);
    roomForOne(m_scans);
    m_times.append(micros);
    m_scans.push_back({ m_times.size() - 1, m_scan, m_reads.takeFirstReturn() });
    m_scan = {};
}

void EventDetails::clear()
{
    m_times.clear();
    m_keyRows = {};
    m_keyOrigins = {};
    m_scans = {};
    m_scan = {};
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
    if (kind == Kind::Scan)
        return -1;
    if (kind != Kind::Key)
        return row - 1;
    const auto found = std::lower_bound(m_keyRows.begin(), m_keyRows.end(), row);
    return found == m_keyRows.begin() ? -1 : *(found - 1);
}

ScanSummary EventDetails::scanSummary(qsizetype row) const
{
    const ScanRecord *scan = scanRecord(row);
    return scan ? scan->summary : ScanSummary();
}

QStringList EventDetails::explanation(qsizetype row, const EventLines &lines) const
{
    if (const ScanRecord *scan = scanRecord(row))
        return scan->summary.explanation();
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
    if (from >= 0) {
        text.append((lineKind == Kind::Key ? QStringLiteral("После предыдущей клавиши: ")
                                           : QStringLiteral("После предыдущей строки: "))
            + Notation::duration(m_times.at(row) - m_times.at(from), stampsOf(lineKind)));
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
        from >= 0 ? Notation::millis(m_times.at(row) - m_times.at(from), stampsOf(lineKind)) : QString(),
        lines.at(row),
        lineKind == Kind::Scan || code < 0 ? QString() : Notation::hexByte(quint8(code)),
        explanation(row, lines).join(QStringLiteral("; ")) };
}
