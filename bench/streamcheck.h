#pragma once

#include "scannerstream.h"

#include <QByteArray>
#include <QString>

// Replays the bytes a scanner wrote and holds the event log's lines against them,
// line by line, in order:
// - a character line is the next byte that is not a carriage return, and every
//   such byte has its line;
// - a scan line holds exactly the hex digits of the character lines since the
//   scan line before it (the log shows where each commit fell);
// - every commit was armed by a carriage return after the commit before it, and
//   no carriage return is left without a commit after it.
// Only the timing is unknown: a carriage return right at a commit's place in the
// log may have arrived just before or just after the tick, and counts for
// whichever commit needs it.
class StreamCheck
{
public:
    // The stream as it was before the first byte was written, and how many went out.
    StreamCheck(const ScannerStream &stream, qint64 length);

    void line(const QString &text);
    // After the last line; the scan box must hold the digits not yet committed.
    void finish(const QString &scanBox);

    // What the lines held; bytes of the stream that no line accounts for are missing.
    qint64 characterLines = 0, scanLines = 0, carriageReturns = 0, missing = 0, faults = 0;
    qint64 scanCharacters = 0; // total length of the scan lines' texts
    QString firstFault;

private:
    int peek();
    void take() { ++m_at; }
    // Takes the carriage returns ahead, up to the next other byte.
    void takeCarriageReturns();
    void fault(const QString &what);

    ScannerStream m_stream;
    QByteArray m_bytes;
    qsizetype m_at = 0;
    qint64 m_left; // not yet in m_bytes

    qint64 m_row = 0;
    QString m_digits; // since the last commit
    qint64 m_armedBefore = 0; // carriage returns surely before the next commit
    qint64 m_armedHere = 0; // right at the current place: before or after a tick
    bool m_lastWasScan = false;
};
