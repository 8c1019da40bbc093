#pragma once

#include "analysis/readmode.h"

#include <QtGlobal>

// Finds where reads begin and end as codes arrive, one code at a time, at the
// same small cost whatever came before: a read ends at CR, CR LF, LF or TAB
// (in keyboard mode the Enter and Tab keys give 13 and 9), or at a pause longer
// than a scanner leaves inside a read.
class ReadSplitter
{
public:
    // Where a code stands among the reads.
    enum class Place : quint8 {
        Inside, // continues the current read
        First, // begins a read: the first code, or the previous read ended with its ending
        AfterPause, // begins a read because of the pause before it: the previous read
                    // ended at the previous code, which is known only now
        Trailing, // the LF of a CR LF: belongs to the read that ended at the CR
    };
    struct Step
    {
        Place place;
        bool ends; // the read ends at this code (its ending character)
    };

    // The pause after which a read counts as ended; scanner-paced reads on
    // the keyboard and serial reads use the short pause, reads typed at a
    // person's pace the long one.
    static constexpr qint64 serialPauseMicros = 50'000;
    static constexpr qint64 keyboardScannerPauseMicros = 150'000;
    static constexpr qint64 keyboardPersonPauseMicros = 2'000'000;
    static constexpr qint64 scannerPaceMicros = 60'000;

    // micros: the code's moment on a steady clock. A change of mode begins a read.
    Step feed(quint8 code, qint64 micros, ReadMode mode);
    // The pause that would end the current read now (for a read whose last
    // code came a while ago: ended once now - lastMicros() exceeds it).
    qint64 pauseLimit() const;
    qint64 lastMicros() const { return m_last; }
    // Forget everything (the log was cleared).
    void reset() { *this = ReadSplitter(); }

private:
    qint64 m_first = -1; // moment of the current read's first code
    qint64 m_last = -1; // moment of the previous code
    qint64 m_count = 0; // codes in the current read: a flood without an ending passes 2^31
    ReadMode m_mode = ReadMode::Serial;
    bool m_ended = true; // the current read has ended with its ending character
    bool m_afterCr = false; // that ending was a CR (an LF may still join it)
};
