#pragma once

#include "analysis/readmode.h"
#include "analysis/readsplitter.h"

#include <QtGlobal>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

// Where the log's reads begin and end: what the scanner sent for one code. Reads
// are found as lines arrive, from their codes and moments, at the same small
// cost whatever the log's length, and each costs one record of 16 bytes, found
// by a binary search. The port's bytes and the keys make reads of their own, even
// where their lines interleave (a port left open in keyboard mode).
class ReadLog
{
public:
    struct Read
    {
        ReadMode mode = ReadMode::Serial;
        qsizetype first = -1; // its first line and its last; lines of the other
        qsizetype last = -1; // mode and scan lines between them are not its own
        // The carriage return that ended a read of the port, which the log shows
        // no line for: how long after the first line's moment it came; -1: none.
        qint64 returnAfterMicros = -1;
        // Ended: a later code began another read, or the pause since its last
        // code is longer than a scanner leaves inside a read.
        bool complete = false;
    };

    // A line of a read's mode was added: a byte from the port or a key's character,
    // that came at micros and was handled at handledMicros (a key may have waited
    // behind a busy window's thread; -1: at once).
    void addLine(qsizetype row, quint8 code, qint64 micros, ReadMode mode, qint64 handledMicros = -1);
    // A carriage return from the port, which is not logged.
    void addPortReturn(qint64 micros);
    void clear();

    // The read that holds a line of that mode, as it stands at the moment now.
    std::optional<Read> readAt(qsizetype row, ReadMode mode, qint64 now) const;
    // Where the port's first read that a carriage return ended since the last
    // call stands (-1: none); a scan line takes it as it is committed.
    qsizetype takeFirstReturn() { return std::exchange(m_firstReturn, -1); }
    // The port's reads that a carriage return ended, from the one takeFirstReturn()
    // gave to the last that ended before a line, in order: the reads a scan line
    // commits, as they stand at the moment now. They all came within the commit's
    // wait, whatever the log's length.
    std::vector<Read> portReadsEndedIn(qsizetype firstReturn, qsizetype end, qint64 now) const;
    // Reads that ended since the last call, the port's first; the caller asks
    // again after pauseToEnd() at the latest while a read may still end.
    std::vector<Read> takeEnded(qint64 now);
    // How long after now a read ends if nothing more comes; -1 when none will.
    qint64 pauseToEnd(qint64 now) const;

private:
    struct Record
    {
        qsizetype first;
        quint32 span; // last - first
        quint32 returnDelta; // after the first line's moment; NoReturn: none
    };
    static constexpr quint32 NoReturn = 0xFFFFFFFF;

    struct Track
    {
        ReadSplitter splitter;
        // Ascending; a deque, so that a flood's millions of reads never move
        // the ones already kept.
        std::deque<Record> ended;
        std::size_t reported = 0; // ended reads handed out by takeEnded
        // The read under way (first -1: none): its lines and their moments.
        qsizetype first = -1;
        qsizetype last = -1;
        qint64 firstMicros = -1;
        qint64 lastMicros = -1;
        // When the last line was handled. A pause ends a read only once that long
        // has passed since then: after a stall, keys that came meanwhile may still
        // wait in the queue, and must not find their read ended.
        qint64 lastHandled = -1;
        // The last ended read ended with a carriage return at that moment: the
        // LF of a CR LF may still join it.
        bool lfMayJoin = false;
        qint64 endedMicros = -1;
    };

    // The read under way ends; returnMicros: its carriage return's moment, or -1.
    static void close(Track &track, qint64 returnMicros);
    static bool backComplete(const Track &track, qint64 now);
    static Read toRead(const Track &track, std::size_t index, ReadMode mode, qint64 now);
    Track &track(ReadMode mode) { return mode == ReadMode::Serial ? m_serial : m_keys; }
    const Track &track(ReadMode mode) const { return mode == ReadMode::Serial ? m_serial : m_keys; }

    Track m_serial;
    Track m_keys;
    qsizetype m_firstReturn = -1;
};
