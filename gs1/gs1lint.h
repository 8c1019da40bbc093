#pragma once

#include "gs1/gs1dictionary.h"

#include <QList>
#include <QStringView>

// The content checks GS1's Barcode Syntax Dictionary names for each component
// of an AI's data ("linters"), and the check of a whole value against its AI's
// entry. Each fault is a fact with its place in the value, never a sentence.
namespace Gs1 {

// The faults, each with its name for logs and tests (LintError::WrongCheckDigit,
// "WrongCheckDigit").
#define GS1_LINT_ERRORS(X) \
    /* The AI's format: argument is the length wanted (min for too short, max for too long). */ \
    X(TooShort) X(TooLong) X(NotDigit) X(NotInSet82) X(NotInSet39) X(NotInSet64) X(BadPadding) \
    /* Check characters (csum, csumalpha); wanted holds what the data called for. */ \
    X(WrongCheckDigit) X(TooShortForCheckPair) X(NotInSet32) X(WrongCheckPair) \
    /* GS1 Company Prefix positions (gcppos1, gcppos2): at least 4 digits. */ \
    X(TooShortForCompanyPrefix) X(NoCompanyPrefix) \
    /* hasnondigit */ X(NoNonDigit) \
    /* Dates and times. */ \
    X(BadMonth) X(BadDay) X(BadHour) X(BadMinute) X(BadSecond) \
    /* Codes from lists. */ \
    X(UnknownCountry) X(UnknownCurrency) X(UnknownMediaType) X(UnknownPackageType) X(BadBiologicalSex) \
    /* IBAN (ISO 13616). */ \
    X(IbanTooShort) X(IbanTooLong) X(IbanBadCharacter) X(IbanBadCountry) X(WrongIbanCheck) \
    X(BadLatitude) X(BadLongitude) \
    X(NotYesNo) X(NotHyphen) X(NotZero) X(AllZero) X(ZeroPrefix) X(BadWinding) \
    X(ImporterIndexLength) X(BadImporterIndex) \
    X(BadPercentSequence) \
    /* pieceoftotal */ X(PieceOfTotalLength) X(ZeroPiece) X(ZeroTotal) X(PieceExceedsTotal) \
    /* posinseqslash */ X(PositionMalformed) X(PositionExceedsEnd) \
    /* Coupons (couponcode, couponposoffer): argument is the CouponField. */ \
    X(CouponFieldMissing) X(CouponFieldBadValue) X(CouponFieldTruncated) X(CouponExcessData) \
    X(CouponExpiryBeforeStart)

enum class LintError : std::uint8_t {
#define GS1_LINT_ERROR_ENUM(name) name,
    GS1_LINT_ERRORS(GS1_LINT_ERROR_ENUM)
#undef GS1_LINT_ERROR_ENUM
};
const char *errorName(LintError error);

// The fields of the North American coupon codes (AI 8110, "North American
// Coupon Application Guideline Using GS1 DataBar Expanded Symbols"; AI 8112,
// "GS1 AI (8112) Coupon Data Specification").
enum class CouponField : std::uint8_t {
    CompanyPrefixLength, CompanyPrefix, OfferCode, SaveValueLength, SaveValue,
    PurchaseRequirementLength, PurchaseRequirement, PurchaseRequirementCode, PurchaseFamilyCode,
    AdditionalRulesCode, PurchaseCompanyPrefixLength, PurchaseCompanyPrefix,
    ExpirationDate, StartDate, SerialNumberLength, SerialNumber,
    RetailerIdLength, RetailerId, SaveValueCode, SaveValueAppliesTo, StoreCouponFlag,
    DontMultiplyFlag, FormatCode, FunderIdLength, FunderId,
};

struct LintFault
{
    Linter linter = Linter::none; // none: the AI's format (length, character set)
    LintError error = LintError::TooShort;
    int offset = 0; // within the value checked
    int length = 0; // of the faulty part
    int component = 0; // which component of the AI's data
    int argument = 0; // a length wanted, a CouponField, or the n-th purchase (1–3)
    // The check digit or check pair the data called for; for a coupon field of
    // a purchase requirement, that purchase's number ('1'–'3').
    char wanted[3] = {};
    friend bool operator==(const LintFault &, const LintFault &) = default;
};

// The GS1 check digit (mod 10, weights 3 and 1 from the right) that these
// digits call for; -1 when one is no digit.
int checkDigit(QStringView digitsWithoutCheck);

// One linter on one component's data; offsets within that data.
QList<LintFault> lint(Linter linter, QStringView data);
// A value against its AI's entry: each component's length and character set,
// then its linters; offsets within the value.
QList<LintFault> checkValue(const AiEntry &entry, QStringView value);

} // namespace Gs1
