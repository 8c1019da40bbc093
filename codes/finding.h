#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One fact that the analysis of a read or the verdict on it found: a kind with
// its arguments. FindingText renders each in Russian, in one place; the code
// that finds a fact never writes its sentence.
struct Finding
{
    enum class Kind : quint8 {
        // How the line and the keyboard delivered the codes.
        Parity, // args: "7E1" or "7O1"
        RussianLayout, // position: the first code turned; args: as typed, as meant
        CapsLock,
        Utf8PerKey, // keyboard: UTF-8 bytes typed a key each; args: as received, as meant
        Utf8AsCp1251, // serial: Cyrillic came as Windows-1251, the symbol has UTF-8;
                      // args: as received, the symbol's text
        QuestionMarks, // letters not in ASCII came as "?"; args: as received, the symbol's
        KeysFromDevices, // keyboard: the keys came from several devices; args: each named

        // What the scanner sends around the data.
        IdentifierRight, // args: identifier, symbology
        IdentifierWrong, // args: received, due, received's symbology, due's symbology,
                         // why it matters ("gs1-lost", "gs1-added", "symbology",
                         // "check-removed", "modifier")
        IdentifierMissing, // args: due identifier, its symbology (the host needs it)
        IdentifierAdded, // args: identifier, symbology (no identifier is due)
        LeadingGs, // a GS first: FNC1 in the first position
        Prefix, // args: the text before the data
        SuffixAdded, // args: ending name ("CR LF")
        SuffixMissing, // args: ending name
        SuffixOther, // args: received ending, due ending

        // Differences in the data.
        GsLost, // position; ai: the field it ends
        GsReplaced, // position; ai: the field it ends; args: how ("character", "text",
                    // "alt-digits"), what came
        Missing, // position; args: the text
        Extra, // position (0: at the start, the code's length: at the end); args: the text
        Changed, // position; args: due, received
        CaseInverted, // position; args: due, received
        LayoutTurned, // position; args: due, received
        MoreDifferences, // args: how many more
        DivergesFrom, // position; args: received length, due length
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
        ContentCheck, // ai; position: in the value; args: the fault's name as GS1's
                      // linters are checked ("UnknownCountry"), the linter
                      // ("iso3166"), the part of the value, what it called for
        Association, // ai; args: "missing" (a field it requires is not there),
                     // "excluded" (it may not stand with the other), "repeated" (the
                     // other has the same AI, another value); the other's AI; the
                     // dictionary's requirement ("01,02")
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
        DigitalLink, // position: in the URI; ai; args: what is wrong ("QualifierOutOfOrder",
                     // "NotQualifier", "UnknownAi", "NotAttribute", "BadPercentEncoding",
                     // "EmptyValue", "Repeated", "NoPrimaryKey"), the text there, the
                     // primary key's AI, its qualifiers as the dictionary lists them
                     // ("22,10,21|235")
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

    Kind kind;
    // From 0; -1 for none. In the analysis of a read, where in the read's data; in
    // the verdict's differences, where in the code's content.
    qsizetype position = -1;
    QString ai; // the field's identifier, where the finding belongs to one
    QStringList args;

    // False for what is said without being wrong (a right check digit, a date, an
    // identifier that is due, a GS after a field of fixed length), and for a
    // warning that leaves the data right (no identifier where the host needs one).
    bool isFault() const;
    // What the scanner adds around the data: an identifier, a prefix, an ending.
    bool isAddition() const;
    // A GS1 rule the data break whatever the scanner did: a field's length,
    // characters, check digit, date or content, an unknown AI, the associations,
    // a GS1 Digital Link's form, GS1 data under an identifier that says none.
    bool breaksGs1Rule() const;

    friend bool operator==(const Finding &, const Finding &) = default;
};
