#include "linedetails.h"

#include "hexdigit.h"

#include <QStringDecoder>

#include <array>

namespace {

struct ControlName
{
    const char *abbreviation;
    const char *name;
};

// The control characters by their names in Russian; separators and EOT also say
// what they mean inside GS1 and ISO/IEC 15434 data, where scanners send them.
constexpr std::array<ControlName, 32> controlNames { {
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
ControlName otherName(quint8 code)
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

ControlName nameOf(quint8 code)
{
    return code < controlNames.size() ? controlNames[code] : otherName(code);
}

// Every code's character in Windows-1251, decoded once; a null character where
// the code page assigns none (0x98).
const std::array<QChar, 256> &windows1251()
{
    static const std::array<QChar, 256> characters = [] {
        std::array<QChar, 256> decoded {};
        QStringDecoder decoder("windows-1251");
        for (int code = 0; code < 256; ++code) {
            const char byte = char(code);
            const QString text = decoder.decode(QByteArrayView(&byte, 1));
            const QChar ch = text.size() == 1 ? text.front() : QChar();
            decoded[std::size_t(code)]
                = ch.isPrint() && ch != QChar::ReplacementCharacter ? ch : QChar();
        }
        return decoded;
    }();
    return characters;
}

QString tsvField(const QString &field)
{
    if (!field.contains(u'\t') && !field.contains(u'"') && !field.contains(u'\n')
        && !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

namespace LineDetails {

QString abbreviation(quint8 code)
{
    const char *abbreviation = nameOf(code).abbreviation;
    return abbreviation ? QString::fromLatin1(abbreviation) : QString();
}

QString hex(quint8 code)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(code, 2, 16, QChar(u'0')).toUpper();
}

QString describeCode(quint8 code)
{
    const QString number = QString::number(code) + QStringLiteral(" (") + hex(code) + u')';
    const ControlName name = nameOf(code);
    if (name.abbreviation)
        return number + QStringLiteral(", ") + QLatin1String(name.abbreviation)
            + QStringLiteral(", ") + QString::fromUtf8(name.name);
    const QChar ch = windows1251()[code];
    if (ch.isNull())
        return number + QStringLiteral(", в Windows-1251 не назначен");
    return number + QStringLiteral(", «") + ch + u'»';
}

QString shortName(quint8 code)
{
    const QString abbreviated = abbreviation(code);
    if (!abbreviated.isEmpty())
        return abbreviated;
    const QChar ch = windows1251()[code];
    return ch.isNull() ? hex(code) : QStringLiteral("«") + ch + u'»';
}

QString milliseconds(qint64 micros)
{
    const QString sign = micros < 0 ? QStringLiteral("-") : QString();
    micros = qAbs(micros);
    return sign + QString::number(micros / 1000) + u','
        + QStringLiteral("%1").arg(micros % 1000, 3, 10, QChar(u'0'));
}

QStringList characterExplanation(quint8 code)
{
    const bool digit = isHexDigitCode(code);
    return { QStringLiteral("Байт из порта: ") + describeCode(code),
        digit ? QStringLiteral("Шестнадцатеричная цифра: добавлена к скану")
              : QStringLiteral("Не шестнадцатеричная цифра: в скан не входит") };
}

QStringList keyExplanation(quint8 code, const QString &origin)
{
    if (!origin.isEmpty())
        return origin.split(u'\n');
    return { QStringLiteral("Символ: ") + describeCode(code) };
}

QString tsvRow(const QStringList &fields)
{
    QString row;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += u'\t';
        row += tsvField(fields.at(i));
    }
    return row;
}

QString tsvHeader()
{
    return tsvRow({ QStringLiteral("Время"),
        QStringLiteral("Пауза, мс (от предыдущей строки, у клавиши — от предыдущей клавиши)"),
        QStringLiteral("Строка"), QStringLiteral("Код (hex)"), QStringLiteral("Пояснение") });
}

} // namespace LineDetails
