#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <type_traits>

// One fact that the analysis of a read or the verdict on it found: a kind, where
// it has them a sub-kind, and its arguments. What each kind is (a fault, a
// warning, an addition) is one row of a table in finding.cpp; FindingText
// renders each finding in Russian.
struct Finding
{
    enum class Kind : quint8 {
        // How the line and the keyboard delivered the codes.
        Parity, // args: "7E1" or "7O1"
        RussianLayout, // position: the first code turned; args: as typed, as meant
        CapsLock,
        Utf8PerKey, // keyboard: UTF-8 bytes typed a key each; args: as received, as meant
        Utf8AsCp1251, // serial: Cyrillic came as Windows-1251, the symbol has UTF-8;
                      // args: the first differing bytes received and due, in hex
                      // ("CF F0 …", "D0 9F D1 80 …"), the symbol's text
        QuestionMarks, // letters not in ASCII came as "?"; args: as received, the symbol's
        KeysFromDevices, // keyboard: the keys came from several devices; args: each named

        // What the scanner sends around the data.
        IdentifierRight, // args: identifier, symbology
        IdentifierWrong, // sub: IdentifierWhy; args: received, due, received's
                         // symbology, due's symbology
        IdentifierMissing, // args: due identifier, its symbology (the host needs it)
        IdentifierAdded, // args: identifier, symbology (no identifier is due)
        LeadingGs, // a GS first: FNC1 in the first position
        Prefix, // args: the text before the data
        SuffixAdded, // args: ending name ("CR LF")
        SuffixMissing, // args: ending name
        SuffixOther, // args: received ending, due ending

        // Differences in the data.
        GsLost, // position; ai: the field it ends
        GsReplaced, // position; ai: the field it ends; sub: GsReplacement; args: what came
        Missing, // position; args: the text
        Extra, // position (0: at the start, the code's length: at the end); args: the text
        Changed, // position; args: due, received
        CaseInverted, // position; args: due, received
        LayoutTurned, // position; args: due, received
        MoreDifferences, // args: how many more
        DivergesFrom, // position; args: received length, due length
        Cut, // position: where the read stopped in the code; ai: the last field it
             // holds whole (empty: none); args: received length, due length
        OtherCode, // args: symbology (may be empty), the identifier that named it
                   // (empty: known by the data's shape), the content
        DoubleRead, // args: milliseconds since the read before
        JoinedRead, // position: where the second read starts; args: the second's text
        LikelyBoundary, // position: the code after the pause; args: the pause, the next largest

        // The read's state.
        MayContinue,

        // GS1 element strings and marking codes.
        TooShort, // ai; args: length, least, most
        TooLong, // ai; args: length, most
        NotDigits, // ai
        OutsideSet82, // ai; args: the characters named
        CheckDigitRight, // ai
        CheckDigitWrong, // ai; args: the digit due
        Date, // ai; args: "dd.mm.yyyy"
        DateDayZero, // ai; args: days of the month, "mm.yyyy"
        DateNoMonth, // ai; args: month
        DateNoDay, // ai; args: "mm.yyyy", day
        ContentCheck, // ai; position: in the value; sub: Gs1::LintError, the fault as
                      // GS1's linters name it; args: the linter ("iso3166"), the
                      // part of the value, what it called for
        Association, // ai; sub: Gs1::AssociationFault::Kind (Missing: a field it
                     // requires is not there; Excluded: it may not stand with the
                     // other; Repeated: the other has the same AI, another value);
                     // args: the other's AI, the dictionary's requirement ("01,02")
        HourTooLarge, // ai
        MinuteTooLarge, // ai
        UnknownAi, // position; args: the text there
        FieldLimit, // args: fields parsed, characters left
        TwoGs, // position
        SeparatorText, // position; args: the text
        NoGsAfterField, // ai; args: its length, what follows
        FieldTooLong, // ai: a GS lost, where the field ends unknown
        AmbiguousBoundary, // ai; args: the possible splits as element strings, one
                           // after the digits of GS's Alt code starting with them and a tab
        WithNext, // ai: may hold the next field (see AmbiguousBoundary)
        GsAfterFixed, // ai: allowed
        Gs1WithoutFnc1, // args: identifier, symbology
        DigitalLink, // position: in the URI; ai; sub: Gs1::DigitalLinkFault::Kind;
                     // args: the text there, the primary key's AI, its qualifiers as
                     // the dictionary lists them ("22,10,21|235")
        UriLayout, // position: the first character turned; args: the characters as they
                   // came, as meant ("Ж..", "://"), each once
        EciDesignator, // position: in the read's data; args: the designator ("\000026")
        StructuredAppendPart, // the symbol is one of several: fields it requires may be in others
        MarkingLength, // args: length, due length (with a GS lost or replaced)
        MarkingIdentificationOnly,
        MarkingCut, // ai: the field cut; args: its length, due length
        MarkingFieldLength, // ai: a field of another length; args: its length, due length
        DigitsCheckRight, // args: the kind of number ("EAN-13")
        DigitsCheckWrong, // args: the kind of number, the digit due
        ItfCheckDigitStripped, // args: the digit it would be
    };
    // The last of the kinds: a new one comes before it, or becomes it.
    static constexpr Kind LastKind = Kind::ItfCheckDigitStripped;

    // Why a wrong identifier matters to the host.
    enum class IdentifierWhy : quint8 {
        Gs1Lost, // the host cannot tell GS1 data
        Gs1Added, // the host takes the data for GS1
        Symbology, // another symbology named
        CheckRemoved, // the scanner left the check character out
        Modifier, // another modifier
    };
    // What came where a GS belongs.
    enum class GsReplacement : quint8 { Character, Text, AltDigits };

    // What a finding is to the read: a fault; a warning that leaves the data
    // right (no identifier where the host needs one); what the scanner adds
    // around the data (an identifier, a prefix, an ending); a remark said without
    // being wrong (a right check digit, a date, a GS after a fixed field).
    enum class Role : quint8 { Fault, Warning, Addition, Remark };

    // The sub-kind, for the kinds that have one: a value of the enumeration the
    // kind names above, or none.
    class Sub
    {
    public:
        constexpr Sub() = default;
        template<typename E>
            requires std::is_enum_v<E>
        constexpr Sub(E value) // implicit: written as the enumerator alone
            : m_value(int(value))
        {
        }
        template<typename E>
        constexpr E as() const
        {
            return E(m_value);
        }
        constexpr bool isSet() const { return m_value >= 0; }
        friend bool operator==(Sub, Sub) = default;

    private:
        int m_value = -1;
    };

    Kind kind;
    // From 0; -1 for none. In the analysis of a read, where in the read's data; in
    // the verdict's differences, where in the code's content.
    qsizetype position = -1;
    QString ai; // the field's identifier, where the finding belongs to one
    QStringList args;
    Sub sub = {};

    Role role() const;
    bool isFault() const { return role() == Role::Fault; }
    bool isWarning() const { return role() == Role::Warning; }
    bool isAddition() const { return role() == Role::Addition; }
    // A GS1 rule the data break whatever the scanner did: a field's length,
    // characters, check digit, date or content, an unknown AI, the associations,
    // a GS1 Digital Link's form, GS1 data under an identifier that says none.
    bool breaksGs1Rule() const;
    // A short name of the kind, for counting reads by what went wrong or warns:
    // "потерян GS", "нет идентификатора"; empty for additions and remarks.
    QString shortName() const;

    friend bool operator==(const Finding &, const Finding &) = default;
};
