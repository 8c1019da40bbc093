// The dispatch of the dictionary's linters, each a function of its own, and the
// check of a whole value against its AI's components. Dates and times are in
// gs1dates.cpp, the coupon readers in gs1coupons.cpp.
#include "gs1/gs1lint.h"

#include "gs1/gs1lintparts.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace Gs1 {
namespace {

using namespace LintParts;

// GS1 General Specifications, section 7.9.5: check character pairs for
// alphanumeric keys. Data characters weigh by their place in set 82, check
// characters come from set 32, weights are the primes from the right.
void csumAlpha(Faults &faults, QStringView s)
{
    static constexpr char set32[] = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
    if (s.size() < 2) {
        faults.add(LintError::TooShortForCheckPair, 0, s.size());
        return;
    }
    const qsizetype dataLength = s.size() - 2;
    // Primes enough for the longest AI data (90 characters).
    static constexpr int primes[] = {
        2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61, 67, 71, 73, 79,
        83, 89, 97, 101, 103, 107, 109, 113, 127, 131, 137, 139, 149, 151, 157, 163, 167, 173,
        179, 181, 191, 193, 197, 199, 211, 223, 227, 229, 233, 239, 241, 251, 257, 263, 269,
        271, 277, 281, 283, 293, 307, 311, 313, 317, 331, 337, 347, 349, 353, 359, 367, 373,
        379, 383, 389, 397, 401, 409, 419, 421, 431, 433, 439, 443, 449, 457, 461, 463, 467,
        479, 487, 491, 499, 503, 509,
    };
    if (dataLength > qsizetype(std::size(primes))) {
        faults.add(LintError::TooLong, 0, s.size(), int(std::size(primes)) + 2);
        return;
    }
    int sum = 0;
    for (qsizetype i = 0; i < dataLength; ++i) {
        const int place = set82Index(s[i].unicode());
        if (place < 0) {
            faults.add(LintError::NotInSet82, i, 1);
            return;
        }
        sum += place * primes[dataLength - 1 - i];
    }
    sum %= 1021;
    for (qsizetype i = dataLength; i < s.size(); ++i) {
        if (s[i].unicode() > 127 || !std::char_traits<char>::find(set32, 32, char(s[i].unicode()))) {
            faults.add(LintError::NotInSet32, i, 1);
            return;
        }
    }
    const char first = set32[sum >> 5];
    const char second = set32[sum & 31];
    if (s[dataLength] != QLatin1Char(first) || s[dataLength + 1] != QLatin1Char(second)) {
        faults.add(LintError::WrongCheckPair, dataLength, 2);
        faults.list.last().wanted[0] = first;
        faults.list.last().wanted[1] = second;
    }
}

void csum(Faults &faults, QStringView s)
{
    const int wanted = s.isEmpty() ? -1 : checkDigit(s.chopped(1));
    if (wanted < 0 || !isDigit(s.back())) {
        faults.add(LintError::NotDigit, 0, s.size());
    } else if (digitAt(s, s.size() - 1) != wanted) {
        faults.add(LintError::WrongCheckDigit, s.size() - 1, 1);
        faults.list.last().wanted[0] = char('0' + wanted);
    }
}

void gcpAt(Faults &faults, QStringView s, qsizetype from)
{
    // Without a GS1 Company Prefix list, the shortest prefix (4 digits) must
    // be there.
    constexpr qsizetype shortest = 4;
    if (s.size() < from + shortest) {
        faults.add(LintError::TooShortForCompanyPrefix, std::min(from, s.size()), std::max<qsizetype>(0, s.size() - from));
        return;
    }
    for (qsizetype i = from; i < from + shortest; ++i) {
        if (!isDigit(s[i])) {
            faults.add(LintError::NoCompanyPrefix, i, 1);
            return;
        }
    }
}

void gcppos1(Faults &faults, QStringView s)
{
    gcpAt(faults, s, 0);
}

void gcppos2(Faults &faults, QStringView s)
{
    gcpAt(faults, s, 1);
}

void hasNonDigit(Faults &faults, QStringView s)
{
    if (s.isEmpty() || allDigits(s))
        faults.add(LintError::NoNonDigit, 0, s.size());
}

void hour(Faults &faults, QStringView s)
{
    checkRange(faults, s, 0, 23, LintError::BadHour);
}

void hourMinute(Faults &faults, QStringView s)
{
    checkRange(faults, s, 0, 23, LintError::BadHour);
    if (faults.list.isEmpty())
        checkRange(faults, s, 2, 59, LintError::BadMinute);
}

void minute(Faults &faults, QStringView s)
{
    checkRange(faults, s, 0, 59, LintError::BadMinute);
}

void second(Faults &faults, QStringView s)
{
    checkRange(faults, s, 0, 59, LintError::BadSecond);
}

void hyphen(Faults &faults, QStringView s)
{
    if (!std::all_of(s.begin(), s.end(), [](QChar c) { return c == u'-'; }))
        faults.add(LintError::NotHyphen, 0, s.size());
}

// ISO 13616-1: two letters of an ISO 3166 country, two check digits, the
// account in digits and capital letters; mod 97 of the rearranged number is 1.
void iban(Faults &faults, QStringView s)
{
    if (s.size() < 5) {
        faults.add(LintError::IbanTooShort, 0, s.size());
        return;
    }
    if (!isCountryAlpha2(s.first(2))) {
        faults.add(LintError::IbanBadCountry, 0, 2);
        return;
    }
    if (s.size() > 34) {
        faults.add(LintError::IbanTooLong, 0, s.size());
        return;
    }
    int mod = 0;
    for (qsizetype k = 4; k < s.size() + 4; ++k) {
        const qsizetype i = k < s.size() ? k : k - s.size();
        const char16_t c = s[i].unicode();
        if (c >= u'0' && c <= u'9') {
            mod = (mod * 10 + (c - u'0')) % 97;
        } else if (c >= u'A' && c <= u'Z') {
            mod = (mod * 100 + (c - u'A' + 10)) % 97;
        } else {
            faults.add(LintError::IbanBadCharacter, i, 1);
            return;
        }
    }
    if (mod != 1)
        faults.add(LintError::WrongIbanCheck, 2, 2);
}

void importerIndex(Faults &faults, QStringView s)
{
    // GS1 General Specifications, EU 2018/574 facility and machine IDs: one
    // of "-", "_", a digit or a Latin letter.
    if (s.size() != 1)
        faults.add(LintError::ImporterIndexLength, 0, s.size());
    else if (!(s[0] == u'-' || s[0] == u'_' || (s[0].unicode() < 128 && s[0].isLetterOrNumber())))
        faults.add(LintError::BadImporterIndex, 0, 1);
}

void country(Faults &faults, QStringView s)
{
    if (!isCountryNumeric(s))
        faults.add(LintError::UnknownCountry, 0, s.size());
}

void countryOr999(Faults &faults, QStringView s)
{
    if (s != u"999")
        country(faults, s);
}

void countryAlpha2(Faults &faults, QStringView s)
{
    if (!isCountryAlpha2(s))
        faults.add(LintError::UnknownCountry, 0, s.size());
}

void currency(Faults &faults, QStringView s)
{
    if (!isCurrencyNumeric(s))
        faults.add(LintError::UnknownCurrency, 0, s.size());
}

bool oneOf(QStringView s, std::initializer_list<const char16_t *> values)
{
    return std::any_of(values.begin(), values.end(), [s](const char16_t *v) { return s == QStringView(v); });
}

void biologicalSex(Faults &faults, QStringView s)
{
    // ISO/IEC 5218: 0 not known, 1 male, 2 female, 9 not applicable.
    if (!oneOf(s, { u"0", u"1", u"2", u"9" }))
        faults.add(LintError::BadBiologicalSex, 0, s.size());
}

// GS1 General Specifications, AI 4309: degrees plus 90 (180) in ten
// millionths, ten digits.
void coordinate(Faults &faults, QStringView s, qlonglong limit, LintError error)
{
    // Ten digits at most are summed, so the value cannot overflow.
    const bool shaped = s.size() == 10 && allDigits(s);
    qlonglong value = 0;
    for (qsizetype i = 0; shaped && i < s.size(); ++i)
        value = value * 10 + digitAt(s, i);
    if (!shaped || value > limit)
        faults.add(error, 0, s.size());
}

void latitude(Faults &faults, QStringView s)
{
    coordinate(faults, s, 1800000000LL, LintError::BadLatitude);
}

void longitude(Faults &faults, QStringView s)
{
    coordinate(faults, s, 3600000000LL, LintError::BadLongitude);
}

void mediaType(Faults &faults, QStringView s)
{
    // GS1 General Specifications, "AIDC media type values": 01–10 assigned
    // by ICCBBA, 80–99 for local use.
    const int v = s.size() == 2 ? number(s, 0, 2) : -1;
    if (!((v >= 1 && v <= 10) || (v >= 80 && v <= 99)))
        faults.add(LintError::UnknownMediaType, 0, s.size());
}

void nonZero(Faults &faults, QStringView s)
{
    if (std::all_of(s.begin(), s.end(), [](QChar c) { return c == u'0'; }))
        faults.add(LintError::AllZero, 0, s.size());
}

void zero(Faults &faults, QStringView s)
{
    if (s != u"0")
        faults.add(LintError::NotZero, 0, s.size());
}

void noZeroPrefix(Faults &faults, QStringView s)
{
    if (s.size() > 1 && s[0] == u'0')
        faults.add(LintError::ZeroPrefix, 0, 1);
}

void packageType(Faults &faults, QStringView s)
{
    if (!isPackageType(s))
        faults.add(LintError::UnknownPackageType, 0, s.size());
}

void percentEncoded(Faults &faults, QStringView s)
{
    // RFC 3986, section 2.1: "%" and two hexadecimal digits.
    const auto hex = [s](qsizetype k) { return k < s.size() && s[k].unicode() < 128 && isxdigit(s[k].unicode()); };
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'%')
            continue;
        if (!hex(i + 1) || !hex(i + 2)) {
            faults.add(LintError::BadPercentSequence, i, std::min<qsizetype>(3, s.size() - i));
            return;
        }
        i += 2;
    }
}

void positionInSequence(Faults &faults, QStringView s)
{
    const qsizetype slash = s.indexOf(u'/');
    const QStringView position = slash < 0 ? s : s.first(slash);
    const QStringView end = slash < 0 ? QStringView() : s.sliced(slash + 1);
    if (slash <= 0 || end.isEmpty() || !allDigits(position) || !allDigits(end)) {
        faults.add(LintError::PositionMalformed, 0, s.size());
    } else if (position[0] == u'0') {
        faults.add(LintError::ZeroPrefix, 0, position.size());
    } else if (end[0] == u'0') {
        faults.add(LintError::ZeroPrefix, slash + 1, end.size());
    } else if (position.size() > end.size() || (position.size() == end.size() && position.compare(end) > 0)) {
        faults.add(LintError::PositionExceedsEnd, 0, s.size());
    }
}

void pieceOfTotal(Faults &faults, QStringView s)
{
    if (s.isEmpty() || s.size() % 2 != 0) {
        faults.add(LintError::PieceOfTotalLength, 0, s.size());
        return;
    }
    const qsizetype half = s.size() / 2;
    const QStringView piece = s.first(half);
    const QStringView total = s.sliced(half);
    const auto zero = [](QStringView v) { return std::all_of(v.begin(), v.end(), [](QChar c) { return c == u'0'; }); };
    if (zero(piece))
        faults.add(LintError::ZeroPiece, 0, half);
    else if (zero(total))
        faults.add(LintError::ZeroTotal, half, half);
    else if (piece.compare(total) > 0)
        faults.add(LintError::PieceExceedsTotal, 0, s.size());
}

void winding(Faults &faults, QStringView s)
{
    // GS1 General Specifications, AI 8001: 0 face out, 1 face in, 9 undefined.
    if (!oneOf(s, { u"0", u"1", u"9" }))
        faults.add(LintError::BadWinding, 0, s.size());
}

void yesNo(Faults &faults, QStringView s)
{
    if (!oneOf(s, { u"0", u"1" }))
        faults.add(LintError::NotYesNo, 0, s.size());
}

void date(Faults &faults, QStringView s, qsizetype size, int yearDigits, bool dayZero)
{
    if (s.size() != size)
        faults.add(LintError::NotDigit, 0, s.size());
    else
        checkDate(faults, s, yearDigits, dayZero);
}

void dateOrMonthEnd(Faults &faults, QStringView s)
{
    date(faults, s, 6, 2, true);
}

void shortDate(Faults &faults, QStringView s)
{
    date(faults, s, 6, 2, false);
}

void longDate(Faults &faults, QStringView s)
{
    date(faults, s, 8, 4, false);
}

// The coupon readers take digits only.
void coupon(Faults &faults, QStringView s, void (*read)(Faults &, QStringView))
{
    if (const auto *at = std::find_if_not(s.begin(), s.end(), isDigit); at != s.end())
        faults.add(LintError::NotDigit, at - s.begin(), 1);
    else
        read(faults, s);
}

void couponCodeDigits(Faults &faults, QStringView s)
{
    coupon(faults, s, couponCode);
}

void couponPositiveOfferDigits(Faults &faults, QStringView s)
{
    coupon(faults, s, couponPositiveOffer);
}

void noLinter(Faults &, QStringView) { }

// Each linter's function, in the order of Linter.
using LinterFunction = void (*)(Faults &, QStringView);
constexpr LinterFunction linters[] = {
    noLinter, csum, csumAlpha, gcppos1, gcppos2, hasNonDigit, hour, hourMinute, hyphen, iban,
    importerIndex, country, countryOr999, countryAlpha2, currency, biologicalSex, latitude,
    longitude, mediaType, minute, nonZero, noZeroPrefix, packageType, percentEncoded,
    pieceOfTotal, positionInSequence, second, winding, yesNo, dateOrMonthEnd, shortDate,
    longDate, zero, couponCodeDigits, couponPositiveOfferDigits,
};
static_assert(std::size(linters) == std::size_t(Linter::couponposoffer) + 1);

// The first character of a component's data outside its set, as a fault; "="
// pads a base64url text to a whole number of 3-byte groups: at most two, at the
// end only (GS1 General Specifications, 7.11).
std::optional<LintFault> characterFault(Charset set, QStringView part)
{
    const auto fault = [](LintError error, qsizetype offset, qsizetype length) {
        LintFault f;
        f.error = error;
        f.offset = int(offset);
        f.length = int(length);
        return f;
    };
    for (qsizetype i = 0; i < part.size(); ++i) {
        const char16_t ch = part[i].unicode();
        switch (set) {
        case Charset::Numeric:
            if (ch < u'0' || ch > u'9')
                return fault(LintError::NotDigit, i, 1);
            break;
        case Charset::Set82:
            if (!inSet82(ch))
                return fault(LintError::NotInSet82, i, 1);
            break;
        case Charset::Set39:
            if (!inSet39(ch))
                return fault(LintError::NotInSet39, i, 1);
            break;
        case Charset::Set64:
            if (ch == u'=') {
                const qsizetype pads = part.size() - i;
                const bool padsOnly = std::all_of(part.begin() + i, part.end(), [](QChar x) { return x == u'='; });
                if (padsOnly && pads <= 2 && part.size() % 3 == 0)
                    return std::nullopt;
                return fault(padsOnly ? LintError::BadPadding : LintError::NotInSet64, i, padsOnly ? pads : 1);
            }
            if (!inSet64(ch))
                return fault(LintError::NotInSet64, i, 1);
            break;
        }
    }
    return std::nullopt;
}

} // namespace

const char *errorName(LintError error)
{
    static constexpr const char *names[] = {
#define GS1_LINT_ERROR_NAME(name) #name,
        GS1_LINT_ERRORS(GS1_LINT_ERROR_NAME)
#undef GS1_LINT_ERROR_NAME
    };
    return names[std::size_t(error)];
}

int checkDigit(QStringView digits)
{
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (!isDigit(digits[i]))
            return -1;
        // From the right: the digit next to the check digit weighs 3.
        sum += digitAt(digits, i) * ((digits.size() - i) % 2 == 1 ? 3 : 1);
    }
    return (10 - sum % 10) % 10;
}

QList<LintFault> lint(Linter linter, QStringView s)
{
    Faults faults { linter, {} };
    linters[std::size_t(linter)](faults, s);
    return faults.list;
}

QList<LintFault> checkValue(const AiEntry &entry, QStringView value, unsigned *linted)
{
    QList<LintFault> faults;
    const auto add = [&faults](LintFault fault, qsizetype at, int component) {
        fault.offset += int(at);
        fault.component = component;
        faults.append(fault);
    };
    if (linted)
        *linted = 0;
    qsizetype at = 0;
    for (int c = 0; c < entry.componentCount; ++c) {
        const Component &component = entry.components[c];
        if (at >= value.size() && component.optional)
            break;
        const QStringView part = value.sliced(at, std::min<qsizetype>(component.maxLength, value.size() - at));
        if (part.size() < component.minLength) {
            LintFault fault;
            fault.error = LintError::TooShort;
            fault.length = int(part.size());
            fault.argument = component.minLength;
            add(fault, at, c);
            return faults;
        }
        if (const std::optional<LintFault> fault = characterFault(component.set, part)) {
            add(*fault, at, c);
        } else {
            for (const Linter linter : component.linters) {
                if (linter == Linter::none)
                    break;
                for (const LintFault &f : lint(linter, part))
                    add(f, at, c);
            }
            if (linted)
                *linted |= 1U << c;
        }
        at += part.size();
    }
    if (at < value.size()) {
        LintFault fault;
        fault.error = LintError::TooLong;
        fault.length = int(value.size() - at);
        fault.argument = entry.maxLength();
        add(fault, at, entry.componentCount - 1);
    }
    return faults;
}

} // namespace Gs1
