#include "text/notation.h"

#include <array>

namespace {

using Notation::CodeName;

// The control characters by their names in Russian; separators and EOT also say
// what they mean inside GS1 and ISO/IEC 15434 data, where scanners send them.
constexpr std::array<CodeName, 32> controlNames { {
    { "NUL", "пустой символ" },
    { "SOH", "начало заголовка" },
    { "STX", "начало текста" },
    { "ETX", "конец текста" },
    { "EOT", "конец передачи; в данных ISO/IEC 15434 — конец сообщения" },
    { "ENQ", "запрос" },
    { "ACK", "подтверждение" },
    { "BEL", "звонок" },
    { "BS", "возврат на шаг" },
    { "HT", "горизонтальная табуляция" },
    { "LF", "перевод строки" },
    { "VT", "вертикальная табуляция" },
    { "FF", "перевод страницы" },
    { "CR", "возврат каретки" },
    { "SO", "переход к дополнительному набору" },
    { "SI", "возврат к основному набору" },
    { "DLE", "экранирование канала данных" },
    { "DC1", "управление устройством 1 (XON)" },
    { "DC2", "управление устройством 2" },
    { "DC3", "управление устройством 3 (XOFF)" },
    { "DC4", "управление устройством 4" },
    { "NAK", "отрицательное подтверждение" },
    { "SYN", "синхронизация" },
    { "ETB", "конец блока передачи" },
    { "CAN", "отмена" },
    { "EM", "конец носителя" },
    { "SUB", "замена символа" },
    { "ESC", "начало управляющей последовательности" },
    { "FS", "разделитель файлов" },
    { "GS",
        "разделитель групп; в данных GS1 — конец поля переменной длины, в ISO/IEC 15434 — "
        "разделитель элементов данных" },
    { "RS",
        "разделитель записей; в данных ISO/IEC 15434 (и GS1 в них) — конец заголовка "
        "сообщения и каждого формата" },
    { "US", "разделитель элементов" },
} };

// Codes above the control characters that show no glyph of their own.
CodeName otherName(quint8 code)
{
    switch (code) {
    case 0x20:
        return { "SP", "пробел" };
    case 0x7F:
        return { "DEL", "удаление" };
    case 0xA0:
        return { "NBSP", "неразрывный пробел" };
    case 0xAD:
        return { "SHY", "мягкий перенос" };
    default:
        return { nullptr, nullptr };
    }
}

QString upperHex(quint32 value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

void appendDigits(QString &out, int value, int digits)
{
    for (int unit = digits == 3 ? 100 : digits == 2 ? 10 : 1; unit > 0; unit /= 10)
        out += QChar(u'0' + value / unit % 10);
}

} // namespace

namespace Notation {

CodeName codeName(quint8 code)
{
    return code < controlNames.size() ? controlNames[code] : otherName(code);
}

QString controlName(quint8 code)
{
    const char *abbreviation = codeName(code).abbreviation;
    return abbreviation ? QString::fromLatin1(abbreviation) : QString();
}

QString hexByte(quint8 code)
{
    return QStringLiteral("0x") + upperHex(code, 2);
}

QString codePoint(char32_t ch)
{
    return QStringLiteral("U+") + upperHex(ch, 4);
}

void appendMillis(QString &out, qint64 micros, Stamps stamps)
{
    if (micros < 0)
        out += u'-';
    micros = qAbs(micros);
    if (stamps == Stamps::Millis) {
        out += QString::number((micros + 500) / 1000);
        return;
    }
    out += QString::number(micros / 1000);
    out += u',';
    appendDigits(out, int(micros % 1000), 3);
}

QString millis(qint64 micros, Stamps stamps)
{
    QString text;
    appendMillis(text, micros, stamps);
    return text;
}

QString duration(qint64 micros, Stamps stamps)
{
    // Seconds to a tenth, rounded half away from zero.
    if (qAbs(micros) >= 1'000'000) {
        const qint64 tenths = (qAbs(micros) + 50'000) / 100'000;
        return (micros < 0 ? QStringLiteral("-") : QString()) + QString::number(tenths / 10) + u','
            + QChar(u'0' + int(tenths % 10)) + QStringLiteral(" с");
    }
    return millis(micros, stamps) + QStringLiteral(" мс");
}

QString timeOfDay(QTime time, bool withMillis)
{
    return time.toString(withMillis ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
}

QString monthOfYear(int month, int year)
{
    return QStringLiteral("%1.%2").arg(month, 2, 10, QLatin1Char('0')).arg(year);
}

QString date(int day, int month, int year)
{
    return QStringLiteral("%1.").arg(day, 2, 10, QLatin1Char('0')) + monthOfYear(month, year);
}

} // namespace Notation
