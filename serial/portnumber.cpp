#include "portnumber.h"

#include "runtimeerror.h"

namespace {

QString wholeNumberWanted()
{
    return QStringLiteral("Номер порта должен быть целым числом от 1 до 255.");
}

} // namespace

quint8 portNumberFromText(const QString &text)
{
    const QStringView digits = QStringView(text).trimmed();
    if (digits.isEmpty())
        throw RuntimeError(RuntimeError::TypeMismatch, wholeNumberWanted());
    int value = 0;
    bool tooBig = false;
    for (const QChar ch : digits) {
        // ASCII digits only: a sign, a fraction or another script's digits make it
        // no port number.
        if (ch < u'0' || ch > u'9')
            throw RuntimeError(RuntimeError::TypeMismatch, wholeNumberWanted());
        if (!tooBig)
            value = value * 10 + (ch.unicode() - u'0');
        tooBig = tooBig || value > 255;
    }
    if (tooBig)
        throw RuntimeError(RuntimeError::Overflow, wholeNumberWanted());
    return quint8(value);
}
