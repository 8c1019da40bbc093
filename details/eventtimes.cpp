#include "details/eventtimes.h"

#include "details/sessionclock.h"

#include <algorithm>

qint64 EventTimes::moment(quint64 stampMs)
{
    const qint64 now = SessionClock::now();
    qint64 at = now;
    if (stampMs != 0) {
        const qint64 stamped = qint64(stampMs % (quint64(1) << 52)) * 1000;
        if (!m_tied || stamped + m_offset > now || now - (stamped + m_offset) > MaxLagMicros) {
            m_offset = now - stamped;
            m_tied = true;
        }
        at = stamped + m_offset;
    }
    m_last = std::max(m_last, at);
    return m_last;
}
