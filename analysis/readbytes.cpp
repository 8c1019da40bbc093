#include "analysis/readbytes.h"

#include "text/notation.h"

#include <bit>

namespace {

bool evenParityBit(quint8 code)
{
    return std::popcount(unsigned(code & 0x7F)) % 2 == 1;
}

bool textLike7Bit(quint8 code)
{
    const quint8 low = code & 0x7F;
    return low >= 0x20 || low == 9 || low == 10 || low == 13 || low == 29 || low == 30 || low == 4;
}

} // namespace

namespace ReadBytes {

// Six bytes of random data fit one of the two patterns once in 32 reads; text
// that is really 8-bit (Windows-1251 letters) rarely keeps to one for long.
ReadParity parityOf(const QByteArray &codes)
{
    if (codes.size() < 6)
        return ReadParity::None;
    bool even = true;
    bool odd = true;
    bool high = false;
    for (const char c : codes) {
        const quint8 code = quint8(c);
        const bool bit7 = code & 0x80;
        high = high || bit7;
        even = even && bit7 == evenParityBit(code);
        odd = odd && bit7 != evenParityBit(code);
        if ((!even && !odd) || !textLike7Bit(code))
            return ReadParity::None;
    }
    if (!high)
        return ReadParity::None;
    return even ? ReadParity::Even : ReadParity::Odd;
}

QByteArray sevenBit(QByteArray codes)
{
    for (char &c : codes)
        c = char(c & 0x7F);
    return codes;
}

ReadEnding endingOf(QByteArrayView codes, qsizetype &length)
{
    length = 0;
    if (codes.endsWith("\r\n")) {
        length = 2;
        return ReadEnding::CrLf;
    }
    if (codes.isEmpty())
        return ReadEnding::None;
    length = 1;
    switch (codes.back()) {
    case '\r':
        return ReadEnding::Cr;
    case '\n':
        return ReadEnding::Lf;
    case '\t':
        return ReadEnding::Tab;
    default:
        length = 0;
        return ReadEnding::None;
    }
}

QString parityName(ReadParity parity)
{
    switch (parity) {
    case ReadParity::Even:
        return QStringLiteral("7E1");
    case ReadParity::Odd:
        return QStringLiteral("7O1");
    case ReadParity::None:
        break;
    }
    return {};
}

QString endingName(ReadEnding ending)
{
    switch (ending) {
    case ReadEnding::Cr:
        return Notation::controlName('\r');
    case ReadEnding::CrLf:
        return Notation::controlName('\r') + u' ' + Notation::controlName('\n');
    case ReadEnding::Lf:
        return Notation::controlName('\n');
    case ReadEnding::Tab:
        return Notation::controlName('\t');
    case ReadEnding::None:
        break;
    }
    return QStringLiteral("нет");
}

} // namespace ReadBytes
