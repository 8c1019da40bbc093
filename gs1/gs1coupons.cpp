// The North American coupon codes, read field by field as their guidelines
// lay them out: AI 8110 ("North American Coupon Application Guideline Using GS1
// DataBar Expanded Symbols") and AI 8112
// ("GS1 AI (8112) Coupon Data Specification").
#include "gs1/gs1lintparts.h"

namespace Gs1::LintParts {
namespace {

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

} // namespace

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

} // namespace Gs1::LintParts
