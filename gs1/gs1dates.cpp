// The one rule for GS1 dates and times: the century of a two-digit year, the
// days of a month, and the linters' checks of dates, hours, minutes, seconds.
#include "gs1/gs1lintparts.h"

#include <QDate>

#include <algorithm>

namespace Gs1 {

int fullYear(int twoDigits)
{
    // GS1 General Specifications, section 7.12: the year lies from 49 years
    // back to 50 years ahead of this one.
    const int thisYear = QDate::currentDate().year();
    int year = thisYear - thisYear % 100 + twoDigits;
    if (year - thisYear > 50)
        year -= 100;
    else if (thisYear - year > 49)
        year += 100;
    return year;
}

int daysInMonth(int month, int year)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

namespace LintParts {

int number(QStringView s, qsizetype from, qsizetype count)
{
    if (from < 0 || from + count > s.size())
        return -1;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (!isDigit(s[i]))
            return -1;
        value = value * 10 + digitAt(s, i);
    }
    return value;
}

void Faults::add(LintError error, qsizetype offset, qsizetype length, int argument)
{
    LintFault fault;
    fault.linter = linter;
    fault.error = error;
    fault.offset = int(offset);
    fault.length = int(length);
    fault.argument = argument;
    list.append(fault);
}

void checkDate(Faults &faults, QStringView s, int yearDigits, bool dayZero)
{
    const int year = number(s, 0, yearDigits);
    const int month = number(s, yearDigits, 2);
    const int day = number(s, yearDigits + 2, 2);
    if (year < 0 || month < 0 || day < 0) {
        faults.add(LintError::NotDigit, 0, s.size());
        return;
    }
    if (month < 1 || month > 12) {
        faults.add(LintError::BadMonth, yearDigits, 2);
        return;
    }
    const int full = yearDigits == 2 ? fullYear(year) : year;
    if ((day == 0 && !dayZero) || day > daysInMonth(month, full))
        faults.add(LintError::BadDay, yearDigits + 2, 2);
}

void checkRange(Faults &faults, QStringView s, qsizetype from, int max, LintError error)
{
    const int value = number(s, from, 2);
    if (value < 0 || value > max) // the fault covers no more than the value has
        faults.add(error, std::min(from, s.size()), std::clamp<qsizetype>(s.size() - from, 0, 2));
}

} // namespace LintParts
} // namespace Gs1
