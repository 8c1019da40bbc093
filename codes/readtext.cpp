#include "codes/readtext.h"

#include "text/codepages.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

using ReadText::CodeName;

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

} // namespace

namespace ReadText {

QString decode(QByteArrayView codes)
{
    QString text;
    text.reserve(codes.size());
    for (const char c : codes) {
        const QChar ch = CodePages::fromCp1251(quint8(c));
        text += ch.isNull() ? QChar(QChar::ReplacementCharacter) : ch;
    }
    return text;
}

CodeName codeName(quint8 code)
{
    return code < controlNames.size() ? controlNames[code] : otherName(code);
}

QString controlName(quint8 code)
{
    if (const char *abbreviation = codeName(code).abbreviation)
        return QString::fromLatin1(abbreviation);
    return code == 0x98 ? QStringLiteral("0x98") : QString();
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
            text += CodePages::fromCp1251(code);
        else
            text += u'«' + name + u'»';
    }
    return text;
}

QString visibleText(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const int code = CodePages::toCp1251(ch);
        const QString name = code >= 0 && code != 0x20 ? controlName(quint8(code)) : QString();
        if (name.isEmpty())
            result += ch;
        else
            result += u'«' + name + u'»';
    }
    return result;
}

QString utf8Text(QByteArrayView codes)
{
    if (std::all_of(codes.cbegin(), codes.cend(), [](char c) { return quint8(c) < 0x80; }))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(codes);
    return decoder.hasError() ? QString() : text;
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

void appendMillis(QString &out, qint64 micros)
{
    if (micros < 0)
        out += u'-';
    micros = qAbs(micros);
    out += QString::number(micros / 1000);
    out += u',';
    const auto rest = int(micros % 1000);
    out += QChar(u'0' + rest / 100);
    out += QChar(u'0' + rest / 10 % 10);
    out += QChar(u'0' + rest % 10);
}

QString millis(qint64 micros)
{
    QString text;
    appendMillis(text, micros);
    return text + QStringLiteral(" мс");
}

QString decimal(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

} // namespace ReadText
