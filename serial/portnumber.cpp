#include "serial/portnumber.h"

#include "errors/runtimeerror.h"
#include "text/wholenumber.h"

namespace {

QString wholeNumberWanted()
{
    return QStringLiteral("Номер порта должен быть целым числом от 1 до 255.");
}

} // namespace

quint8 portNumberFromText(const QString &text)
{
    const std::optional<qint64> number = wholeNumber(QStringView(text).trimmed(), 255);
    if (!number)
        throw RuntimeError(RuntimeError::TypeMismatch, wholeNumberWanted());
    if (*number > 255)
        throw RuntimeError(RuntimeError::Overflow, wholeNumberWanted());
    return quint8(*number);
}
