#include "linesettings.h"

#include "quoted.h"
#include "runtimeerror.h"
#include "wholenumber.h"

#include <limits>

namespace {

[[noreturn]] void refuse(const QString &why)
{
    throw RuntimeError(
        RuntimeError::InvalidSettings, QStringLiteral("Настройки порта не приняты: ") + why + u'.');
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

QSerialPort::Parity parity(QStringView part)
{
    if (part.size() == 1) {
        switch (part.front().toUpper().unicode()) {
        case u'N':
            return QSerialPort::NoParity;
        case u'E':
            return QSerialPort::EvenParity;
        case u'O':
            return QSerialPort::OddParity;
        case u'M':
            return QSerialPort::MarkParity;
        case u'S':
            return QSerialPort::SpaceParity;
        }
    }
    refuse(QStringLiteral("чётность %1 должна быть одной из букв N, E, O, M, S")
               .arg(quoted(part.toString())));
}

QSerialPort::DataBits dataBits(QStringView part)
{
    const std::optional<qint64> value = wholeNumber(part, 8);
    if (!value || *value < 5 || *value > 8)
        refuse(QStringLiteral("биты данных %1 должны быть числом от 5 до 8")
                   .arg(quoted(part.toString())));
    return QSerialPort::DataBits(*value);
}

QSerialPort::StopBits stopBits(QStringView part)
{
    if (part == u"1")
        return QSerialPort::OneStop;
    if (part == u"1.5")
        return QSerialPort::OneAndHalfStop;
    if (part == u"2")
        return QSerialPort::TwoStop;
    refuse(
        QStringLiteral("стоповые биты %1 должны быть 1, 1.5 или 2").arg(quoted(part.toString())));
}

} // namespace

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
