#include "scannerstream.h"

#include "hexdigit.h"

#include <array>

namespace {

// Every byte value but the hex digits and the carriage return, for what comes
// between reads; indexed by a random byte, so a few values come twice as often.
constexpr std::array<char, 256> NoiseBytes = [] {
    std::array<char, 256> allowed {};
    int count = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (!isHexDigitCode(char16_t(byte)) && byte != '\r')
            allowed[std::size_t(count++)] = char(byte);
    }
    std::array<char, 256> table {};
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = allowed[std::size_t(i % count)];
    return table;
}();

} // namespace

std::uint64_t ScannerStream::next()
{
    // splitmix64: fast, and the same on every platform and library.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint32_t ScannerStream::below(std::uint32_t bound)
{
    return std::uint32_t((next() >> 32) * bound >> 32);
}

void ScannerStream::appendReads(QByteArray &out, qsizetype atLeast)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    const qsizetype target = out.size() + atLeast;
    while (out.size() < target) {
        // Between reads, bytes without digits or carriage returns: they cost the
        // log a line each but leave the scan box alone.
        const qsizetype noise = m_noise ? m_noise / 2 + below(std::uint32_t(m_noise)) : 0;
        for (qsizetype i = 0; i < noise; i += 8) {
            std::uint64_t random = next();
            for (qsizetype j = i; j < i + 8 && j < noise; ++j, random >>= 8)
                out += NoiseBytes[random & 0xFF];
        }
        // A read of tens of bytes, mostly digits.
        const std::uint32_t length = 8 + below(53);
        for (std::uint32_t i = 0; i < length; ++i) {
            if (below(10) < 7) {
                out += Digits[below(16)];
            } else {
                // Any byte but the carriage return that ends the read: lower-case
                // letters, 0x00, line feeds, 0xFF, and digits by chance.
                const auto byte = char(below(255));
                out += byte >= '\r' ? char(byte + 1) : byte;
            }
        }
        if (m_ending == Ending::None)
            continue;
        out += '\r';
        switch (below(10)) {
        case 0:
            out += '\n';
            break;
        case 1:
            out += '\r';
            break;
        }
    }
}
