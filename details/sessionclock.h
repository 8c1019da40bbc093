#pragma once

#include <QString>
#include <QtGlobal>

// The clock that dates log lines: microseconds on the system's steady clock since
// the program first asked for the time, anchored once to the wall clock. Setting
// the system's clock during a session therefore never makes a gap negative; the
// time of day shown is the anchor's plus the steady time elapsed.
class SessionClock
{
public:
    using Source = qint64 (*)();

    // Microseconds since the anchor.
    static qint64 now();
    // The time of day of a moment, "hh:mm:ss.zzz" in local time.
    static QString timeOfDay(qint64 micros);
    // The same for moments in order, appended: "hh:mm:ss" is formatted once a
    // second, which then holds it, not once a moment.
    struct Second
    {
        qint64 number = -1;
        QString text;
    };
    static void appendTimeOfDay(QString &out, qint64 micros, Second &second);

    // A clock of the caller's own instead of the steady one (nullptr: the steady
    // clock again), so that tests can control every moment.
    static void setSource(Source source);
};
