#include "details/readlog.h"

#include <algorithm>
#include <limits>

using Place = ReadSplitter::Place;

namespace {
// A read longer than this is no scanner's one code; it is cut so that its
// record keeps its small size.
constexpr qsizetype MaxSpan = std::numeric_limits<quint32>::max() - 1;
constexpr qint64 MaxMicros = std::numeric_limits<qint32>::max();
} // namespace

void ReadLog::addLine(qsizetype row, quint8 code, qint64 micros, ReadMode mode, qint64 handledMicros)
{
    Track &t = track(mode);
    const ReadSplitter::Step step = t.splitter.feed(code, micros, mode);
    if (step.place == Place::Trailing && t.first < 0 && t.lfMayJoin && !t.ended.empty()) {
        Record &back = t.ended.back();
        back.span = quint32(std::min(row - back.first, MaxSpan));
        t.lfMayJoin = false;
        t.endedMicros = micros;
        return;
    }
    if (t.first >= 0
        && (step.place != Place::Inside || row - t.first >= MaxSpan
            || micros - t.firstMicros >= MaxMicros))
        close(t, -1);
    if (t.first < 0) {
        t.first = row;
        t.firstMicros = micros;
    }
    t.last = row;
    t.lastMicros = micros;
    t.lastHandled = std::max(micros, handledMicros);
    if (step.ends) {
        close(t, -1);
        t.lfMayJoin = code == 13;
    }
}

void ReadLog::addPortReturn(qint64 micros)
{
    Track &t = m_serial;
    const ReadSplitter::Step step = t.splitter.feed(13, micros, ReadMode::Serial);
    if (t.first >= 0 && step.place != Place::Inside)
        close(t, -1); // the pause before it ended the read; this one holds no line
    if (t.first < 0) {
        // A carriage return alone: a read with nothing to show.
        t.lfMayJoin = false;
        return;
    }
    close(t, micros);
    t.lfMayJoin = true;
    if (m_firstReturn < 0)
        m_firstReturn = qsizetype(t.ended.size()) - 1;
}

void ReadLog::close(Track &t, qint64 returnMicros)
{
    const qint64 delta = returnMicros < 0 ? NoReturn : std::min(returnMicros - t.firstMicros, qint64(NoReturn - 1));
    t.ended.push_back({ t.first, quint32(t.last - t.first), quint32(delta) });
    t.endedMicros = returnMicros < 0 ? t.lastMicros : returnMicros;
    t.lfMayJoin = false;
    t.first = -1;
}

void ReadLog::clear()
{
    *this = ReadLog();
}

bool ReadLog::backComplete(const Track &t, qint64 now)
{
    return !t.lfMayJoin || t.first >= 0 || now - t.endedMicros > ReadSplitter::serialPauseMicros;
}

ReadLog::Read ReadLog::toRead(const Track &t, std::size_t index, ReadMode mode, qint64 now)
{
    const Record &r = t.ended[index];
    Read read;
    read.mode = mode;
    read.first = r.first;
    read.last = r.first + qsizetype(r.span);
    read.returnAfterMicros = r.returnDelta == NoReturn ? -1 : qint64(r.returnDelta);
    read.complete = index + 1 < t.ended.size() || backComplete(t, now);
    return read;
}

std::optional<ReadLog::Read> ReadLog::readAt(qsizetype row, ReadMode mode, qint64 now) const
{
    const Track &t = track(mode);
    if (t.first >= 0 && row >= t.first && row <= t.last)
        return Read { mode, t.first, t.last, -1, now - t.lastHandled > t.splitter.pauseLimit() };
    const auto after = std::upper_bound(t.ended.begin(), t.ended.end(), row,
        [](qsizetype wanted, const Record &r) { return wanted < r.first; });
    if (after == t.ended.begin())
        return std::nullopt;
    const std::size_t index = std::size_t(after - t.ended.begin()) - 1;
    if (row > t.ended[index].first + qsizetype(t.ended[index].span))
        return std::nullopt;
    return toRead(t, index, mode, now);
}

std::vector<ReadLog::Read> ReadLog::portReadsEndedIn(qsizetype firstReturn, qsizetype end, qint64 now) const
{
    const Track &t = m_serial;
    std::vector<Read> reads;
    if (firstReturn < 0)
        return reads;
    for (auto index = std::size_t(firstReturn);
         index < t.ended.size() && t.ended[index].first + qsizetype(t.ended[index].span) < end; ++index) {
        if (t.ended[index].returnDelta != NoReturn)
            reads.push_back(toRead(t, index, ReadMode::Serial, now));
    }
    return reads;
}

std::vector<ReadLog::Read> ReadLog::takeEnded(qint64 now)
{
    std::vector<Read> reads;
    for (ReadMode mode : { ReadMode::Serial, ReadMode::Keyboard }) {
        Track &t = track(mode);
        if (t.first >= 0 && now - t.lastHandled > t.splitter.pauseLimit())
            close(t, -1);
        std::size_t end = t.ended.size();
        if (end > t.reported && !backComplete(t, now))
            --end;
        for (; t.reported < end; ++t.reported)
            reads.push_back(toRead(t, t.reported, mode, now));
    }
    return reads;
}

qint64 ReadLog::pauseToEnd(qint64 now) const
{
    qint64 soonest = -1;
    const auto consider = [&](qint64 at) {
        const qint64 wait = std::max<qint64>(0, at - now);
        soonest = soonest < 0 ? wait : std::min(soonest, wait);
    };
    for (const Track *t : { &m_serial, &m_keys }) {
        if (t->first >= 0)
            consider(t->lastHandled + t->splitter.pauseLimit() + 1);
        else if (t->lfMayJoin && t->reported < t->ended.size())
            consider(t->endedMicros + ReadSplitter::serialPauseMicros + 1);
    }
    return soonest;
}
