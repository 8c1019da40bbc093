#include "serial/linesettings.h"

#include "errors/runtimeerror.h"
#include "text/quoted.h"
#include "text/wholenumber.h"

#include <limits>

namespace {

[[noreturn]] void refuse(const QString &why)
{
    throw settingsRefused(why);
}

qint32 speed(QStringView part)
{
    if (part.isEmpty())
        refuse(QStringLiteral("скорость не указана"));
    constexpr qint64 max = std::numeric_limits<qint32>::max();
    const std::optional<qint64> value = wholeNumber(part, max);
    if (!value || *value <= 0 || *value > max)
        refuse(QStringLiteral("скорость %1 должна быть целым положительным числом")
                   .arg(quoted(part.toString())));
    return qint32(*value);
}

SerialPort::Parity parity(QStringView part)
{
    if (part.size() == 1) {
        switch (part.front().toUpper().unicode()) {
        case u'N':
            return SerialPort::NoParity;
        case u'E':
            return SerialPort::EvenParity;
        case u'O':
            return SerialPort::OddParity;
        case u'M':
            return SerialPort::MarkParity;
        case u'S':
            return SerialPort::SpaceParity;
        }
    }
    refuse(QStringLiteral("чётность %1 должна быть одной из букв N, E, O, M, S")
               .arg(quoted(part.toString())));
}

SerialPort::DataBits dataBits(QStringView part)
{
    const std::optional<qint64> value = wholeNumber(part, 8);
    if (!value || *value < 5 || *value > 8)
        refuse(QStringLiteral("биты данных %1 должны быть числом от 5 до 8")
                   .arg(quoted(part.toString())));
    return SerialPort::DataBits(*value);
}

SerialPort::StopBits stopBits(QStringView part)
{
    if (part == u"1")
        return SerialPort::OneStop;
    if (part == u"1.5")
        return SerialPort::OneAndHalfStop;
    if (part == u"2")
        return SerialPort::TwoStop;
    refuse(
        QStringLiteral("стоповые биты %1 должны быть 1, 1.5 или 2").arg(quoted(part.toString())));
}

} // namespace

RuntimeError settingsRefused(const QString &why)
{
    return RuntimeError(
        RuntimeError::InvalidSettings, QStringLiteral("Настройки порта не приняты: ") + why + u'.');
}

LineSettings parseSettings(const QString &text)
{
    // Counted first: a long pasted text must cost one pass, not a list of parts.
    if (text.count(u',') != 3)
        refuse(QStringLiteral("нужны четыре части через запятую: скорость, чётность, биты данных "
                              "и стоповые биты, а получено %1")
                   .arg(quoted(text, 40)));
    const auto parts = QStringView(text).split(u',');
    LineSettings settings;
    settings.baudRate = speed(parts.at(0).trimmed());
    settings.parity = parity(parts.at(1).trimmed());
    settings.dataBits = dataBits(parts.at(2).trimmed());
    settings.stopBits = stopBits(parts.at(3).trimmed());
    return settings;
}
