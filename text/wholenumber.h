#pragma once

#include <QStringView>

#include <optional>

// The one reading of a whole number that an operator types (a port number, a
// speed, data bits): ASCII digits only, so a sign, a blank inside, a fraction or
// another script's digits make it no number. Empty when the text is no such
// number. A number past max reads as max + 1 however many digits follow, so that
// the caller tells "too big" from "no number" without overflowing (max stays
// well below a tenth of qint64's range).
inline std::optional<qint64> wholeNumber(QStringView text, qint64 max)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        if (value <= max)
            value = value * 10 + (ch.unicode() - u'0');
        if (value > max)
            value = max + 1;
    }
    return value;
}
