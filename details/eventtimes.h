#pragma once

#include <QtGlobal>

// The moments of events that the window system stamped with a clock of its own
// (X and Wayland: milliseconds from an origin of the server's; Windows: since the
// system started, carried past the 32-bit wrap by WindowsKeys), as moments of
// SessionClock. A key's moment is when the key
// came, not when the window's thread got round to it: a stall of that thread
// (a large commit, a slice of a copy) changes no gap between keys and no read.
//
// The two clocks are tied by the smallest lag seen: each stamp is taken to have
// been handled at once until a later one shows it was not, so a moment is never
// later than the moment it was handled at, and never earlier than the previous
// one. A stamp that would lag by more than MaxLagMicros is not believed (another
// clock, a server restarted, a wrap) and the tie is made again from it.
class EventTimes
{
public:
    static constexpr qint64 MaxLagMicros = 10'000'000;

    // The moment of an event stamped at stampMs; an unstamped event (0, as sent
    // by the program itself or an input method) came now.
    qint64 moment(quint64 stampMs);
    void reset() { *this = EventTimes(); }

private:
    bool m_tied = false;
    qint64 m_offset = 0; // session micros minus stamp micros
    qint64 m_last = 0;
};
