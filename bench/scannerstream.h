#pragma once

#include "text/hexdigit.h"

#include <QByteArray>

#include <cstdint>

// What a scanner sends, faster than any real one: reads of 8 to 60 bytes, mostly
// hex digits among bytes of any other value, each ended by CR (now and then CR LF
// or CR CR), or by nothing; between reads, `noise` bytes on average without digits
// or CR (so that over a soak's minutes the scan box stays short). The same seed
// gives the same bytes, so that a check can replay what was written.
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
    void appendReads(QByteArray &out, qsizetype atLeast)
    {
        const qsizetype target = out.size() + atLeast;
        while (out.size() < target) {
            const qsizetype noise = m_noise ? m_noise / 2 + below(std::uint32_t(m_noise)) : 0;
            for (qsizetype i = 0; i < noise; i += 8) {
                std::uint64_t random = next();
                for (qsizetype j = i; j < i + 8 && j < noise; ++j, random >>= 8)
                    out += noiseByte(random & 0xFF);
            }
            for (std::uint32_t i = 0, length = 8 + below(53); i < length; ++i) {
                if (below(10) < 7) {
                    out += "0123456789ABCDEF"[below(16)];
                    continue;
                }
                // Any byte but the carriage return that ends the read: lower-case
                // letters, 0x00, line feeds, 0xFF, and digits by chance.
                const auto byte = char(below(255));
                out += byte >= '\r' ? char(byte + 1) : byte;
            }
            if (m_ending == Ending::CarriageReturn) {
                const std::uint32_t after = below(10);
                out += after == 0 ? "\r\n" : after == 1 ? "\r\r" : "\r";
            }
        }
    }

private:
    // splitmix64: fast, and the same on every platform and library.
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A byte that is neither a hex digit nor a carriage return: those moved up by 128.
    static char noiseByte(std::uint64_t byte)
    {
        return char(isHexDigitCode(char16_t(byte)) || byte == '\r' ? byte ^ 0x80 : byte);
    }
    std::uint32_t below(std::uint32_t bound) { return std::uint32_t((next() >> 32) * bound >> 32); }

    std::uint64_t m_state;
    qsizetype m_noise;
    Ending m_ending;
};
