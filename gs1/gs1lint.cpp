#include "gs1/gs1lint.h"

#include <algorithm>
#include <iterator>

namespace Gs1 {
namespace {

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

int digitAt(QStringView s, qsizetype i)
{
    return s[i].unicode() - u'0';
}

// The number the digits s[from, from + count) make; -1 when one is no digit.
int number(QStringView s, qsizetype from, qsizetype count)
{
    if (from + count > s.size())
        return -1;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (!isDigit(s[i]))
            return -1;
        value = value * 10 + digitAt(s, i);
    }
    return value;
}

bool allDigits(QStringView s)
{
    return std::all_of(s.begin(), s.end(), isDigit);
}

struct Faults
{
    Linter linter;
    QList<LintFault> list;
    void add(LintError error, qsizetype offset, qsizetype length, int argument = 0)
    {
        LintFault fault;
        fault.linter = linter;
        fault.error = error;
        fault.offset = int(offset);
        fault.length = int(length);
        fault.argument = argument;
        list.append(fault);
    }
};

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int month, int year)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// A date of 6 or 8 digits at 0. With a two-digit year, GS1 General
// Specifications section 7.12 places it within 49 years back and 50 ahead; a
// leap year then is one divisible by 4 (2000 was one). Day 00 ("yymmd0") means
// the end of the month.
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
    const int fullYear = yearDigits == 2 ? 2000 + year : year;
    if ((day == 0 && !dayZero) || day > daysIn(month, fullYear))
        faults.add(LintError::BadDay, yearDigits + 2, 2);
}

void checkRange(Faults &faults, QStringView s, qsizetype from, int max, LintError error)
{
    const int value = number(s, from, 2);
    if (value < 0 || value > max) // the fault covers no more than the value has
        faults.add(error, std::min(from, s.size()), std::clamp<qsizetype>(s.size() - from, 0, 2));
}

// GS1 General Specifications, section 7.9.5: check character pairs for
// alphanumeric keys. Data characters weigh by their place in set 82, check
// characters come from set 32, weights are the primes from the right.
void csumAlpha(Faults &faults, QStringView s)
{
    static constexpr char16_t set82[] = u"!\"%&'()*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_"
                                        u"abcdefghijklmnopqrstuvwxyz";
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
        const char16_t *at = std::char_traits<char16_t>::find(set82, 82, s[i].unicode());
        if (!at || s[i].unicode() == 0) {
            faults.add(LintError::NotInSet82, i, 1);
            return;
        }
        sum += int(at - set82) * primes[dataLength - 1 - i];
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

bool oneOf(QStringView s, std::initializer_list<const char16_t *> values)
{
    return std::any_of(values.begin(), values.end(), [s](const char16_t *v) { return s == QStringView(v); });
}

// UN/ECE Recommendation 21 package type codes with GS1's additions, as GS1's
// PackageTypeCode code list gives them (GS1 EDI code lists), sorted.
constexpr const char *packageTypes[] = {
    "1A", "1B", "1D", "1F", "1G", "1W", "200", "201", "202", "203", "204", "205", "206", "210",
    "211", "212", "2C", "3A", "3H", "43", "44", "4A", "4B", "4C", "4D", "4F", "4G", "4H", "5H",
    "5L", "5M", "6H", "6P", "7A", "7B", "8", "8A", "8B", "8C", "9", "AA", "AB", "AC", "AD", "AF",
    "AG", "AH", "AI", "AJ", "AL", "AM", "AP", "APE", "AT", "AV", "B4", "BB", "BC", "BD", "BE",
    "BF", "BG", "BGE", "BH", "BI", "BJ", "BK", "BL", "BM", "BME", "BN", "BO", "BP", "BQ", "BR",
    "BRI", "BS", "BT", "BU", "BV", "BW", "BX", "BY", "BZ", "CA", "CB", "CBL", "CC", "CCE", "CD",
    "CE", "CF", "CG", "CH", "CI", "CJ", "CK", "CL", "CM", "CN", "CO", "CP", "CQ", "CR", "CS",
    "CT", "CU", "CV", "CW", "CX", "CY", "CZ", "DA", "DB", "DC", "DG", "DH", "DI", "DJ", "DK",
    "DL", "DM", "DN", "DP", "DPE", "DR", "DS", "DT", "DU", "DV", "DW", "DX", "DY", "E1", "E2",
    "E3", "EC", "ED", "EE", "EF", "EG", "EH", "EI", "EN", "FB", "FC", "FD", "FE", "FI", "FL",
    "FO", "FOB", "FP", "FPE", "FR", "FT", "FW", "FX", "GB", "GI", "GL", "GR", "GU", "GY", "GZ",
    "HA", "HB", "HC", "HG", "HN", "HR", "IA", "IB", "IC", "ID", "IE", "IF", "IG", "IH", "IK",
    "IL", "IN", "IZ", "JB", "JC", "JG", "JR", "JT", "JY", "KG", "KI", "LAB", "LE", "LG", "LT",
    "LU", "LV", "LZ", "MA", "MB", "MC", "ME", "MPE", "MR", "MS", "MT", "MW", "MX", "NA", "NE",
    "NF", "NG", "NS", "NT", "NU", "NV", "OA", "OB", "OC", "OD", "OE", "OF", "OK", "OPE", "OT",
    "OU", "P2", "PA", "PAE", "PB", "PC", "PD", "PE", "PF", "PG", "PH", "PI", "PJ", "PK", "PL",
    "PLP", "PN", "PO", "POP", "PP", "PPE", "PR", "PT", "PU", "PUE", "PV", "PX", "PY", "PZ", "QA",
    "QB", "QC", "QD", "QF", "QG", "QH", "QJ", "QK", "QL", "QM", "QN", "QP", "QQ", "QR", "QS",
    "RB1", "RB2", "RB3", "RCB", "RD", "RG", "RJ", "RK", "RL", "RO", "RT", "RZ", "S1", "SA", "SB",
    "SC", "SD", "SE", "SEC", "SH", "SI", "SK", "SL", "SM", "SO", "SP", "SS", "ST", "STL", "SU",
    "SV", "SW", "SX", "SY", "SZ", "T1", "TB", "TC", "TD", "TE", "TEV", "TG", "THE", "TI", "TK",
    "TL", "TN", "TO", "TR", "TRE", "TS", "TT", "TTE", "TU", "TV", "TW", "TWE", "TY", "TZ", "UC",
    "UN", "UUE", "VA", "VG", "VI", "VK", "VL", "VN", "VO", "VP", "VQ", "VR", "VS", "VY", "WA",
    "WB", "WC", "WD", "WF", "WG", "WH", "WJ", "WK", "WL", "WM", "WN", "WP", "WQ", "WR", "WRP",
    "WS", "WT", "WU", "WV", "WW", "WX", "WY", "WZ", "X11", "X12", "X15", "X16", "X17", "X18",
    "X19", "X20", "X3", "XA", "XB", "XC", "XD", "XF", "XG", "XH", "XJ", "XK", "YA", "YB", "YC",
    "YD", "YF", "YG", "YH", "YJ", "YK", "YL", "YM", "YN", "YP", "YQ", "YR", "YS", "YT", "YV",
    "YW", "YX", "YY", "YZ", "ZA", "ZB", "ZC", "ZD", "ZF", "ZG", "ZH", "ZJ", "ZK", "ZL", "ZM",
    "ZN", "ZP", "ZQ", "ZR", "ZS", "ZT", "ZU", "ZV", "ZW", "ZX", "ZY", "ZZ",
};

bool isPackageType(QStringView s)
{
    return std::binary_search(std::begin(packageTypes), std::end(packageTypes), s,
                              [](auto a, auto b) {
                                  if constexpr (std::is_same_v<decltype(a), QStringView>)
                                      return a.compare(QLatin1StringView(b)) < 0;
                                  else
                                      return QLatin1StringView(a).compare(b) < 0;
                              });
}

// The coupon codes read field by field; each field's fault ends the reading.
struct CouponReader
{
    Faults &faults;
    QStringView s;
    qsizetype p = 0;
    int purchase = 0; // 1–3 for the purchase requirement fields
    bool failed = false;

    bool fail(LintError error, CouponField field, qsizetype offset, qsizetype length)
    {
        faults.add(error, offset, length, int(field));
        if (purchase > 0)
            faults.list.last().wanted[0] = char('0' + purchase);
        failed = true;
        return false;
    }
    // One digit that must be among the allowed ones; its value in digit.
    bool digit(CouponField field, QStringView allowed, int &value)
    {
        if (failed)
            return false;
        if (p >= s.size())
            return fail(LintError::CouponFieldMissing, field, p, 0);
        if (!allowed.contains(s[p]))
            return fail(LintError::CouponFieldBadValue, field, p, 1);
        value = digitAt(s, p++);
        return true;
    }
    bool take(CouponField field, qsizetype count)
    {
        if (failed)
            return false;
        if (s.size() - p < count)
            return fail(LintError::CouponFieldTruncated, field, p, s.size() - p);
        p += count;
        return true;
    }
    bool date(CouponField field, qsizetype &at)
    {
        at = p;
        if (!take(field, 6))
            return false;
        Faults dateFaults { Linter::yymmdd, {} };
        checkDate(dateFaults, s.sliced(at, 6), 2, false);
        if (!dateFaults.list.isEmpty())
            return fail(LintError::CouponFieldBadValue, field, at, 6);
        return true;
    }
    bool optionalField(char16_t marker)
    {
        if (failed || p >= s.size() || s[p] != marker)
            return false;
        ++p;
        return true;
    }
    void excess()
    {
        if (!failed && p != s.size())
            faults.add(LintError::CouponExcessData, p, s.size() - p);
    }
};

// North American Coupon Application Guideline Using GS1 DataBar Expanded
// Symbols: the fields of AI 8110 in order, optional fields 1–6 and 9 by their
// leading digit.
void couponCode(Faults &faults, QStringView s)
{
    CouponReader r { faults, s };
    int v = 0;
    if (r.digit(CouponField::CompanyPrefixLength, u"0123456", v))
        r.take(CouponField::CompanyPrefix, v + 6);
    r.take(CouponField::OfferCode, 6);
    if (r.digit(CouponField::SaveValueLength, u"12345", v))
        r.take(CouponField::SaveValue, v);
    r.purchase = 1;
    if (r.digit(CouponField::PurchaseRequirementLength, u"12345", v))
        r.take(CouponField::PurchaseRequirement, v);
    r.digit(CouponField::PurchaseRequirementCode, u"012349", v);
    r.take(CouponField::PurchaseFamilyCode, 3);
    for (const char16_t marker : { u'1', u'2' }) {
        if (!r.optionalField(marker))
            continue;
        r.purchase = marker == u'1' ? 2 : 3;
        if (marker == u'1')
            r.digit(CouponField::AdditionalRulesCode, u"0123", v);
        if (r.digit(CouponField::PurchaseRequirementLength, u"12345", v))
            r.take(CouponField::PurchaseRequirement, v);
        r.digit(CouponField::PurchaseRequirementCode, u"012349", v);
        r.take(CouponField::PurchaseFamilyCode, 3);
        if (r.digit(CouponField::PurchaseCompanyPrefixLength, u"01234569", v) && v != 9)
            r.take(CouponField::PurchaseCompanyPrefix, v + 6);
    }
    r.purchase = 0;
    qsizetype expiry = -1;
    qsizetype start = -1;
    if (r.optionalField(u'3'))
        r.date(CouponField::ExpirationDate, expiry);
    if (r.optionalField(u'4') && r.date(CouponField::StartDate, start) && expiry >= 0
        && s.sliced(start, 6).compare(s.sliced(expiry, 6)) > 0) {
        r.fail(LintError::CouponExpiryBeforeStart, CouponField::StartDate, expiry, start + 6 - expiry);
    }
    if (r.optionalField(u'5') && r.digit(CouponField::SerialNumberLength, u"0123456789", v))
        r.take(CouponField::SerialNumber, v + 6);
    if (r.optionalField(u'6') && r.digit(CouponField::RetailerIdLength, u"1234567", v))
        r.take(CouponField::RetailerId, v + 6);
    if (r.optionalField(u'9')) {
        r.digit(CouponField::SaveValueCode, u"01256", v);
        r.digit(CouponField::SaveValueAppliesTo, u"012", v);
        r.digit(CouponField::StoreCouponFlag, u"0123456789", v);
        r.digit(CouponField::DontMultiplyFlag, u"01", v);
    }
    r.excess();
}

// GS1 AI (8112) Coupon Data Specification: format code, funder ID, offer code,
// serial number, nothing after.
void couponPositiveOffer(Faults &faults, QStringView s)
{
    CouponReader r { faults, s };
    int v = 0;
    r.digit(CouponField::FormatCode, u"01", v);
    if (r.digit(CouponField::FunderIdLength, u"0123456", v))
        r.take(CouponField::FunderId, v + 6);
    r.take(CouponField::OfferCode, 6);
    if (r.digit(CouponField::SerialNumberLength, u"0123456789", v))
        r.take(CouponField::SerialNumber, v + 6);
    r.excess();
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

void country(Faults &faults, QStringView s, bool allow999)
{
    if (!(allow999 && s == u"999") && !isCountryNumeric(s))
        faults.add(LintError::UnknownCountry, 0, s.size());
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
    switch (linter) {
    case Linter::none:
        break;
    case Linter::csum: {
        const int wanted = s.isEmpty() ? -1 : checkDigit(s.chopped(1));
        if (wanted < 0 || !isDigit(s.back())) {
            faults.add(LintError::NotDigit, 0, s.size());
        } else if (digitAt(s, s.size() - 1) != wanted) {
            faults.add(LintError::WrongCheckDigit, s.size() - 1, 1);
            faults.list.last().wanted[0] = char('0' + wanted);
        }
        break;
    }
    case Linter::csumalpha:
        csumAlpha(faults, s);
        break;
    case Linter::gcppos1:
        gcpAt(faults, s, 0);
        break;
    case Linter::gcppos2:
        gcpAt(faults, s, 1);
        break;
    case Linter::hasnondigit:
        if (allDigits(s))
            faults.add(LintError::NoNonDigit, 0, s.size());
        break;
    case Linter::hh:
        checkRange(faults, s, 0, 23, LintError::BadHour);
        break;
    case Linter::hhmi:
        checkRange(faults, s, 0, 23, LintError::BadHour);
        if (faults.list.isEmpty())
            checkRange(faults, s, 2, 59, LintError::BadMinute);
        break;
    case Linter::mi:
        checkRange(faults, s, 0, 59, LintError::BadMinute);
        break;
    case Linter::ss:
        checkRange(faults, s, 0, 59, LintError::BadSecond);
        break;
    case Linter::hyphen:
        if (!std::all_of(s.begin(), s.end(), [](QChar c) { return c == u'-'; }))
            faults.add(LintError::NotHyphen, 0, s.size());
        break;
    case Linter::iban:
        iban(faults, s);
        break;
    case Linter::importeridx:
        // GS1 General Specifications, EU 2018/574 facility and machine IDs: one
        // of "-", "_", a digit or a Latin letter.
        if (s.size() != 1)
            faults.add(LintError::ImporterIndexLength, 0, s.size());
        else if (!(s[0] == u'-' || s[0] == u'_' || (s[0].unicode() < 128 && s[0].isLetterOrNumber())))
            faults.add(LintError::BadImporterIndex, 0, 1);
        break;
    case Linter::iso3166:
        country(faults, s, false);
        break;
    case Linter::iso3166999:
        country(faults, s, true);
        break;
    case Linter::iso3166alpha2:
        if (!isCountryAlpha2(s))
            faults.add(LintError::UnknownCountry, 0, s.size());
        break;
    case Linter::iso4217:
        if (!isCurrencyNumeric(s))
            faults.add(LintError::UnknownCurrency, 0, s.size());
        break;
    case Linter::iso5218:
        // ISO/IEC 5218: 0 not known, 1 male, 2 female, 9 not applicable.
        if (!oneOf(s, { u"0", u"1", u"2", u"9" }))
            faults.add(LintError::BadBiologicalSex, 0, s.size());
        break;
    case Linter::latitude:
    case Linter::longitude: {
        // GS1 General Specifications, AI 4309: degrees plus 90 (180) in ten
        // millionths, ten digits.
        const qlonglong limit = linter == Linter::latitude ? 1800000000LL : 3600000000LL;
        // Ten digits at most are summed, so the value cannot overflow.
        const bool shaped = s.size() == 10 && allDigits(s);
        qlonglong value = 0;
        for (qsizetype i = 0; shaped && i < s.size(); ++i)
            value = value * 10 + (s[i].unicode() - u'0');
        if (!shaped || value > limit)
            faults.add(linter == Linter::latitude ? LintError::BadLatitude : LintError::BadLongitude, 0, s.size());
        break;
    }
    case Linter::mediatype: {
        // GS1 General Specifications, "AIDC media type values": 01–10 assigned
        // by ICCBBA, 80–99 for local use.
        const int v = s.size() == 2 ? number(s, 0, 2) : -1;
        if (!((v >= 1 && v <= 10) || (v >= 80 && v <= 99)))
            faults.add(LintError::UnknownMediaType, 0, s.size());
        break;
    }
    case Linter::nonzero:
        if (std::all_of(s.begin(), s.end(), [](QChar c) { return c == u'0'; }))
            faults.add(LintError::AllZero, 0, s.size());
        break;
    case Linter::zero:
        if (s != u"0")
            faults.add(LintError::NotZero, 0, s.size());
        break;
    case Linter::nozeroprefix:
        if (s.size() > 1 && s[0] == u'0')
            faults.add(LintError::ZeroPrefix, 0, 1);
        break;
    case Linter::packagetype:
        if (!isPackageType(s))
            faults.add(LintError::UnknownPackageType, 0, s.size());
        break;
    case Linter::pcenc:
        // RFC 3986, section 2.1: "%" and two hexadecimal digits.
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] != u'%')
                continue;
            const auto hex = [&](qsizetype k) {
                return k < s.size() && s[k].unicode() < 128 && isxdigit(s[k].unicode());
            };
            if (!hex(i + 1) || !hex(i + 2)) {
                faults.add(LintError::BadPercentSequence, i, std::min<qsizetype>(3, s.size() - i));
                break;
            }
            i += 2;
        }
        break;
    case Linter::pieceoftotal:
        pieceOfTotal(faults, s);
        break;
    case Linter::posinseqslash:
        positionInSequence(faults, s);
        break;
    case Linter::winding:
        // GS1 General Specifications, AI 8001: 0 face out, 1 face in, 9 undefined.
        if (!oneOf(s, { u"0", u"1", u"9" }))
            faults.add(LintError::BadWinding, 0, s.size());
        break;
    case Linter::yesno:
        if (!oneOf(s, { u"0", u"1" }))
            faults.add(LintError::NotYesNo, 0, s.size());
        break;
    case Linter::yymmd0:
    case Linter::yymmdd:
        if (s.size() != 6)
            faults.add(LintError::NotDigit, 0, s.size());
        else
            checkDate(faults, s, 2, linter == Linter::yymmd0);
        break;
    case Linter::yyyymmdd:
        if (s.size() != 8)
            faults.add(LintError::NotDigit, 0, s.size());
        else
            checkDate(faults, s, 4, false);
        break;
    case Linter::couponcode:
    case Linter::couponposoffer:
        if (!allDigits(s)) {
            const auto *at = std::find_if_not(s.begin(), s.end(), isDigit);
            faults.add(LintError::NotDigit, at - s.begin(), 1);
        } else if (linter == Linter::couponcode) {
            couponCode(faults, s);
        } else {
            couponPositiveOffer(faults, s);
        }
        break;
    }
    return faults.list;
}

QList<LintFault> checkValue(const AiEntry &entry, QStringView value)
{
    QList<LintFault> faults;
    const auto add = [&](LintError error, qsizetype offset, qsizetype length, int component, int argument) {
        LintFault fault;
        fault.error = error;
        fault.offset = int(offset);
        fault.length = int(length);
        fault.component = component;
        fault.argument = argument;
        faults.append(fault);
    };
    qsizetype at = 0;
    for (int c = 0; c < entry.componentCount; ++c) {
        const Component &component = entry.components[c];
        if (at >= value.size() && component.optional)
            break;
        const QStringView part = value.sliced(at, std::min<qsizetype>(component.maxLength, value.size() - at));
        if (part.size() < component.minLength) {
            add(LintError::TooShort, at, part.size(), c, component.minLength);
            return faults;
        }
        bool setOk = true;
        for (qsizetype i = 0; i < part.size() && setOk; ++i) {
            const char16_t ch = part[i].unicode();
            switch (component.set) {
            case Charset::Numeric:
                setOk = ch >= u'0' && ch <= u'9';
                if (!setOk)
                    add(LintError::NotDigit, at + i, 1, c, 0);
                break;
            case Charset::Set82:
                setOk = inSet82(ch);
                if (!setOk)
                    add(LintError::NotInSet82, at + i, 1, c, 0);
                break;
            case Charset::Set39:
                setOk = inSet39(ch);
                if (!setOk)
                    add(LintError::NotInSet39, at + i, 1, c, 0);
                break;
            case Charset::Set64:
                // "=" pads a base64url text to a whole number of 3-byte groups: at
                // most two, at the end only (GS1 General Specifications, 7.11).
                if (ch == u'=') {
                    const qsizetype pads = part.size() - i;
                    const bool padsOnly = std::all_of(part.begin() + i, part.end(), [](QChar x) { return x == u'='; });
                    setOk = padsOnly && pads <= 2 && part.size() % 3 == 0;
                    if (!setOk)
                        add(padsOnly ? LintError::BadPadding : LintError::NotInSet64, at + i, padsOnly ? pads : 1, c, 0);
                    i = part.size();
                } else {
                    setOk = inSet64(ch);
                    if (!setOk)
                        add(LintError::NotInSet64, at + i, 1, c, 0);
                }
                break;
            }
        }
        if (setOk) {
            for (const Linter linter : component.linters) {
                if (linter == Linter::none)
                    break;
                for (LintFault fault : lint(linter, part)) {
                    fault.offset += int(at);
                    fault.component = c;
                    faults.append(fault);
                }
            }
        }
        at += part.size();
    }
    if (at < value.size())
        add(LintError::TooLong, at, value.size() - at, entry.componentCount - 1, entry.maxLength());
    return faults;
}

} // namespace Gs1
