#include "devices/rawkeymatcher.h"

#include "devices/keydevices.h"

RawKeyMatcher::RawKeyMatcher(quint32 toleranceMs)
    : m_tolerance(toleranceMs)
{
}

void RawKeyMatcher::raw(quint32 code, quint32 timeMs, quint16 device)
{
    m_presses[m_next] = { code, timeMs, device, false };
    m_next = (m_next + 1) % Kept;
}

quint16 RawKeyMatcher::take(quint32 code, quint32 timeMs)
{
    for (std::size_t i = 0; i < Kept; ++i) {
        Press &press = m_presses[(m_next + i) % Kept];
        // Moments are milliseconds that wrap around after 49 days.
        const quint32 apart = qMin(quint32(press.time - timeMs), quint32(timeMs - press.time));
        if (!press.taken && press.code == code && apart <= m_tolerance) {
            press.taken = true;
            return press.device;
        }
    }
    return KeyDevices::Unknown;
}
