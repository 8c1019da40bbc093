#pragma once

#include "gs1/gs1lint.h"

// What the linters of gs1lint.cpp share with the date and coupon readers
// beside it (gs1dates.cpp, gs1coupons.cpp); not for use outside the gs1
// component.
namespace Gs1::LintParts {

inline bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

inline int digitAt(QStringView s, qsizetype i)
{
    return s[i].unicode() - u'0';
}

// The number the digits s[from, from + count) make; -1 when one is no digit.
int number(QStringView s, qsizetype from, qsizetype count);

// The faults one linter finds, each added with its place.
struct Faults
{
    Linter linter;
    QList<LintFault> list;
    void add(LintError error, qsizetype offset, qsizetype length, int argument = 0);
};

// A date of 6 or 8 digits at 0; day 00 means the month's end where dayZero.
void checkDate(Faults &faults, QStringView s, int yearDigits, bool dayZero);
// Two digits at from, at most max (an hour, a minute, a second).
void checkRange(Faults &faults, QStringView s, qsizetype from, int max, LintError error);

// The North American coupon codes: AI 8110 and AI 8112.
void couponCode(Faults &faults, QStringView s);
void couponPositiveOffer(Faults &faults, QStringView s);

} // namespace Gs1::LintParts
