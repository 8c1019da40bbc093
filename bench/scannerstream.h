#pragma once

#include <QByteArray>

#include <cstdint>

// What a scanner left running sends, at a pace no real one reaches: reads of tens
// of bytes, mostly hex digits with any other byte value among them, each ended by
// a carriage return, now and then followed by a line feed or a second carriage
// return; between reads, kilobytes of every other byte value. The digits stay
// sparse on purpose: at full speed a commit only comes every 100 ms, and the
// scan box gathers every digit in between. The same seed always gives the same
// bytes, so a check can replay exactly what was written.
class ScannerStream
{
public:
    explicit ScannerStream(std::uint64_t seed)
        : m_state(seed)
    {
    }

    // Appends whole reads until at least that many bytes were appended.
    void appendReads(QByteArray &out, qsizetype atLeast);

    // Bytes of other values between two reads, on average.
    static constexpr qsizetype NoiseBetweenReads = 16384;

private:
    std::uint64_t next();
    std::uint32_t below(std::uint32_t bound);

    std::uint64_t m_state;
};
