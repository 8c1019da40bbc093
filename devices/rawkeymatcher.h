#pragma once

#include <QtGlobal>

#include <array>

// Ties each key the window gets to the device that pressed it. The window system
// reports every key press twice: once raw, with the device it came from, to
// whoever asked for raw events, and once as the key event the window gets, with
// the same key code and the same moment. A key takes the earliest raw press not
// yet taken with its code and moment; one with none (a raw event that never
// came, or was pushed out) is not tied to any device, never to a likely one.
// A raw press the window never gets (a key typed into another program) is pushed
// out in time. Only the last presses are kept: a key costs the same however long
// the program runs.
class RawKeyMatcher
{
public:
    // tolerance: how far apart the two moments of one press may be, in ms.
    explicit RawKeyMatcher(quint32 toleranceMs = 0);

    void raw(quint32 code, quint32 timeMs, quint16 device);
    // The device of the key with this code and moment, or KeyDevices::Unknown.
    quint16 take(quint32 code, quint32 timeMs);

private:
    struct Press
    {
        quint32 code = 0;
        quint32 time = 0;
        quint16 device = 0;
        bool taken = true;
    };
    static constexpr std::size_t Kept = 64;
    std::array<Press, Kept> m_presses {};
    std::size_t m_next = 0; // the oldest, overwritten next
    quint32 m_tolerance;
};
