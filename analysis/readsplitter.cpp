#include "analysis/readsplitter.h"

// Why these pauses:
// - Serial: a scanner sends a read's bytes back to back. Even at 1200 baud a
//   byte takes 8.3 ms, and a USB serial adapter holds received bytes at most its
//   latency timer (16 ms by default on the common FTDI chips) before passing
//   them on; 50 ms of silence is several byte times past all of that, while
//   reads of a scanner without a suffix come apart by the time it takes to aim
//   (100 ms and more). Most serial scanners end a read with CR anyway.
// - Keyboard: scanners type a key every 5 to 60 ms; 150 ms leaves room for the
//   desktop's own jitter in delivering keys, and no one aims at the next code
//   that fast. A person rarely types two keys less than 60 ms apart, and pauses
//   longer than 150 ms between keys: a read typed at that pace (its mean gap
//   above 60 ms, or a read of one key so far) ends only after 2 s of silence or
//   at Enter/Tab, so that a code typed by hand stays one read.
ReadSplitter::Step ReadSplitter::feed(quint8 code, qint64 micros, ReadMode mode)
{
    const bool modeChanged = m_count > 0 && mode != m_mode;
    const qint64 gap = m_last < 0 ? 0 : micros - m_last;
    const bool paused = m_count > 0 && gap > pauseLimit();
    m_mode = mode;

    Place place = Place::Inside;
    if (code == 10 && m_afterCr && !paused && !modeChanged) {
        // The LF of a CR LF: the read already ended at the CR.
        m_afterCr = false;
        m_last = micros;
        ++m_count;
        return { Place::Trailing, true };
    }
    if (m_count == 0 || m_ended || modeChanged) {
        place = Place::First;
    } else if (paused) {
        place = Place::AfterPause;
    }
    if (place != Place::Inside) {
        m_first = micros;
        m_count = 0;
    }
    ++m_count;
    m_last = micros;
    m_ended = code == 13 || code == 10 || code == 9;
    m_afterCr = code == 13;
    return { place, m_ended };
}

qint64 ReadSplitter::pauseLimit() const
{
    if (m_mode == ReadMode::Serial)
        return serialPauseMicros;
    const bool scannerPace
        = m_count >= 2 && (m_last - m_first) / (m_count - 1) <= scannerPaceMicros;
    return scannerPace ? keyboardScannerPauseMicros : keyboardPersonPauseMicros;
}
