#include "readtext.h"

#include <QStringDecoder>

#include <array>

namespace {

constexpr std::array<const char *, 32> controlNames { "NUL", "SOH", "STX", "ETX", "EOT", "ENQ",
    "ACK", "BEL", "BS", "TAB", "LF", "VT", "FF", "CR", "SO", "SI", "DLE", "DC1", "DC2", "DC3",
    "DC4", "NAK", "SYN", "ETB", "CAN", "EM", "SUB", "ESC", "FS", "GS", "RS", "US" };

// Decoded once: Qt's Windows-1251 decoder (ICU) is the reference, not a table of
// our own.
const std::array<QChar, 256> &cp1251Table()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> result {};
        QStringDecoder decoder("windows-1251");
        for (int code = 0; code < 256; ++code) {
            const char byte = char(code);
            const QString text = decoder.decode(QByteArrayView(&byte, 1));
            if (text.size() == 1 && text.front() != QChar::ReplacementCharacter)
                result[code] = text.front();
        }
        return result;
    }();
    return table;
}

} // namespace

namespace ReadText {

QChar fromCp1251(quint8 code)
{
    return cp1251Table()[code];
}

int toCp1251(QChar ch)
{
    if (ch.unicode() < 0x80)
        return ch.unicode();
    const auto &table = cp1251Table();
    for (int code = 0x80; code < 256; ++code) {
        if (table[code] == ch)
            return code;
    }
    return -1;
}

QString decode(QByteArrayView codes)
{
    QString text;
    text.reserve(codes.size());
    for (const char c : codes) {
        const QChar ch = fromCp1251(quint8(c));
        text += ch.isNull() ? QChar(QChar::ReplacementCharacter) : ch;
    }
    return text;
}

QString controlName(quint8 code)
{
    if (code < controlNames.size())
        return QString::fromLatin1(controlNames[code]);
    switch (code) {
    case 0x20:
        return QStringLiteral("SP");
    case 0x7F:
        return QStringLiteral("DEL");
    case 0x98:
        return QStringLiteral("0x98");
    case 0xA0:
        return QStringLiteral("NBSP");
    case 0xAD:
        return QStringLiteral("SHY");
    default:
        return {};
    }
}

QString visible(QByteArrayView codes)
{
    QString text;
    text.reserve(codes.size() + 16);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const quint8 code = quint8(codes[i]);
        const bool innerSpace = code == 0x20 && i > 0 && i + 1 < codes.size();
        const QString name = innerSpace ? QString() : controlName(code);
        if (name.isEmpty())
            text += fromCp1251(code);
        else
            text += u'«' + name + u'»';
    }
    return text;
}

QString hex(QByteArrayView codes, int perLine)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(codes.size() * 3);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (i > 0)
            text += (perLine > 0 && i % perLine == 0) ? u'\n' : u' ';
        const quint8 code = quint8(codes[i]);
        text += QLatin1Char(digits[code >> 4]);
        text += QLatin1Char(digits[code & 15]);
    }
    return text;
}

QString plural(qint64 n, const char *one, const char *few, const char *many)
{
    const qint64 tens = n % 100;
    const qint64 units = n % 10;
    const char *word = many;
    if (tens < 11 || tens > 14) {
        if (units == 1)
            word = one;
        else if (units >= 2 && units <= 4)
            word = few;
    }
    return QString::number(n) + u' ' + QString::fromUtf8(word);
}

QString millis(qint64 micros)
{
    const QString sign = micros < 0 ? QStringLiteral("-") : QString();
    const qint64 value = micros < 0 ? -micros : micros;
    return sign + QString::number(value / 1000) + u','
        + QStringLiteral("%1").arg(value % 1000, 3, 10, QLatin1Char('0')) + QStringLiteral(" мс");
}

QString decimal(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

} // namespace ReadText
