#include "codes/finding.h"

#include <array>

namespace {

using Kind = Finding::Kind;
using Role = Finding::Role;

// What a finding of each kind is: its role, whether it breaks a GS1 rule, and
// the short name the reads of a code are counted by (none for what is not
// counted). In a verdict the faults of the code's content are named by the rule
// they break, or as data changed.
struct KindRow
{
    Kind kind;
    Role role;
    bool gs1Rule;
    const char *shortName;
};

constexpr const char *layout = "раскладка";
constexpr const char *letterCase = "регистр букв";
constexpr const char *encoding = "кодировка";
constexpr const char *ending = "окончание";
constexpr const char *joined = "слитые чтения";
constexpr const char *gs1Rule = "нарушено правило GS1";
constexpr const char *data = "искажены данные";

constexpr KindRow kindRows[] = {
    { Kind::Parity, Role::Fault, false, "бит чётности" },
    { Kind::RussianLayout, Role::Fault, false, layout },
    { Kind::CapsLock, Role::Fault, false, letterCase },
    { Kind::Utf8PerKey, Role::Fault, false, encoding },
    { Kind::Utf8AsCp1251, Role::Fault, false, encoding },
    { Kind::QuestionMarks, Role::Fault, false, encoding },
    { Kind::KeysFromDevices, Role::Fault, false, "два устройства" },
    { Kind::IdentifierRight, Role::Addition, false, nullptr },
    { Kind::IdentifierWrong, Role::Fault, false, "не тот идентификатор" },
    { Kind::IdentifierMissing, Role::Warning, false, "нет идентификатора" },
    { Kind::IdentifierAdded, Role::Addition, false, nullptr },
    { Kind::LeadingGs, Role::Addition, false, nullptr },
    { Kind::Prefix, Role::Addition, false, nullptr },
    { Kind::SuffixAdded, Role::Addition, false, nullptr },
    { Kind::SuffixMissing, Role::Fault, false, ending },
    { Kind::SuffixOther, Role::Fault, false, ending },
    { Kind::GsLost, Role::Fault, false, "потерян GS" },
    { Kind::GsReplaced, Role::Fault, false, "заменён GS" },
    { Kind::Missing, Role::Fault, false, data },
    { Kind::Extra, Role::Fault, false, data },
    { Kind::Changed, Role::Fault, false, data },
    { Kind::CaseInverted, Role::Fault, false, letterCase },
    { Kind::LayoutTurned, Role::Fault, false, layout },
    { Kind::MoreDifferences, Role::Fault, false, data },
    { Kind::DivergesFrom, Role::Fault, false, data },
    { Kind::Cut, Role::Fault, false, "обрезано" },
    { Kind::OtherCode, Role::Fault, false, "другой код" },
    { Kind::DoubleRead, Role::Fault, false, "двойное чтение" },
    { Kind::JoinedRead, Role::Fault, false, joined },
    { Kind::LikelyBoundary, Role::Fault, false, joined },
    { Kind::MayContinue, Role::Fault, false, data },
    { Kind::TooShort, Role::Fault, true, gs1Rule },
    { Kind::TooLong, Role::Fault, true, gs1Rule },
    { Kind::NotDigits, Role::Fault, true, gs1Rule },
    { Kind::OutsideSet82, Role::Fault, true, gs1Rule },
    { Kind::CheckDigitRight, Role::Remark, false, nullptr },
    { Kind::CheckDigitWrong, Role::Fault, true, gs1Rule },
    { Kind::Date, Role::Remark, false, nullptr },
    { Kind::DateDayZero, Role::Remark, false, nullptr },
    { Kind::DateNoMonth, Role::Fault, true, gs1Rule },
    { Kind::DateNoDay, Role::Fault, true, gs1Rule },
    { Kind::ContentCheck, Role::Fault, true, gs1Rule },
    { Kind::Association, Role::Fault, true, gs1Rule },
    { Kind::HourTooLarge, Role::Fault, true, gs1Rule },
    { Kind::MinuteTooLarge, Role::Fault, true, gs1Rule },
    { Kind::UnknownAi, Role::Fault, true, gs1Rule },
    { Kind::FieldLimit, Role::Fault, false, data },
    { Kind::TwoGs, Role::Fault, false, data },
    { Kind::SeparatorText, Role::Fault, false, data },
    { Kind::NoGsAfterField, Role::Fault, false, data },
    { Kind::FieldTooLong, Role::Fault, false, data },
    { Kind::AmbiguousBoundary, Role::Fault, false, data },
    { Kind::WithNext, Role::Remark, false, nullptr },
    { Kind::GsAfterFixed, Role::Remark, false, nullptr },
    { Kind::Gs1WithoutFnc1, Role::Fault, true, gs1Rule },
    { Kind::DigitalLink, Role::Fault, true, gs1Rule },
    { Kind::UriLayout, Role::Fault, false, layout },
    { Kind::EciDesignator, Role::Remark, false, nullptr },
    { Kind::StructuredAppendPart, Role::Remark, false, nullptr },
    { Kind::MarkingLength, Role::Fault, false, data },
    { Kind::MarkingIdentificationOnly, Role::Fault, false, data },
    { Kind::MarkingCut, Role::Fault, false, data },
    { Kind::MarkingFieldLength, Role::Fault, false, data },
    { Kind::DigitsCheckRight, Role::Remark, false, nullptr },
    { Kind::DigitsCheckWrong, Role::Fault, true, gs1Rule },
    { Kind::ItfCheckDigitStripped, Role::Remark, false, nullptr },
};

// A row for every kind, in the kinds' order.
constexpr bool inOrder()
{
    for (std::size_t i = 0; i < std::size(kindRows); ++i) {
        if (std::size_t(kindRows[i].kind) != i)
            return false;
    }
    return std::size(kindRows) == std::size_t(Finding::LastKind) + 1;
}
static_assert(inOrder(), "one row per kind, in the order of Finding::Kind");

const KindRow &rowOf(Kind kind)
{
    return kindRows[std::size_t(kind)];
}

} // namespace

Finding::Role Finding::role() const
{
    return rowOf(kind).role;
}

bool Finding::breaksGs1Rule() const
{
    return rowOf(kind).gs1Rule;
}

QString Finding::shortName() const
{
    const char *name = rowOf(kind).shortName;
    return name ? QString::fromUtf8(name) : QString();
}
