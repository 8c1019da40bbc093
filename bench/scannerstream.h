#pragma once

#include <QByteArray>

#include <cstdint>

// What a scanner sends, at a pace no real one reaches: reads of tens of bytes,
// mostly hex digits with any other byte value among them, each ended by a carriage
// return, now and then followed by a line feed or a second carriage return; and
// between reads, `noise` bytes of every other value on average. A soak keeps the
// digits sparse with noise: at full speed a commit only comes every 100 ms, and
// the scan box gathers every digit in between. The same seed always gives the
// same bytes, so a check can replay exactly what was written. A scanner set to end
// its reads with nothing sends no carriage return at all: its digits only ever pile
// up in the scan box.
class ScannerStream
{
public:
    enum class Ending { CarriageReturn, None };

    explicit ScannerStream(
        std::uint64_t seed, qsizetype noise = 0, Ending ending = Ending::CarriageReturn)
        : m_state(seed)
        , m_noise(noise)
        , m_ending(ending)
    {
    }

    // Appends whole reads until at least that many bytes were appended.
    void appendReads(QByteArray &out, qsizetype atLeast);

private:
    std::uint64_t next();
    std::uint32_t below(std::uint32_t bound);

    std::uint64_t m_state;
    qsizetype m_noise;
    Ending m_ending;
};
