#pragma once

#include "codes/finding.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One field of a GS1 element string: "(01) 04600439931256". A field of a code
// without identifiers (a tobacco pack's) has an empty ai.
struct Gs1Element
{
    QString ai;
    QString value;
    QString name; // the identifier's title, in Russian
    QList<Finding> notes; // check digit, date, faults of this field
    bool fault = false; // a note says something is wrong
    bool wrongLength = false; // among the faults: too short or too long
};

// A GS1 element string split into its fields.
struct Gs1Parse
{
    QList<Gs1Element> elements;
    QList<Finding> faults; // of the whole string (a missing or replaced GS, an unknown identifier)
    QList<Finding> remarks; // allowed but worth saying (a GS after a fixed-length field)
    bool complete = false; // every character belongs to a field
    bool clean() const;
};

namespace Gs1Parser {

// Splits data (the read without its symbology identifier and ending; GS as
// U+001D) into fields: a field of predefined length ends by its length, others
// at a GS or at the end. Each field is judged: its length and characters by the
// identifier's format, its check digit, its date. Where a GS seems lost, the
// faults say so and show the split that the lengths give.
Gs1Parse parse(QStringView data);
// Fields given apart, as a GS1 Digital Link URI holds them (ai, value): each
// judged as parse() judges a field, then the associations over them all.
Gs1Parse parseFields(const QList<std::pair<QString, QString>> &fields);
// One field judged by its identifier's format, check digit and date; an
// identifier not in the table gives a field with a null name.
Gs1Element element(QStringView ai, QStringView value);
// The length of a text standing for a GS ("<GS>", "{GS}", "^]" ...) at pos, or 0.
qsizetype separatorTextAt(QStringView data, qsizetype pos);
// The length of the digits of GS's Alt code ("029", "0029") at pos, or 0: where
// the Alt code did not become a character, its digits came instead.
qsizetype altCodeDigitsAt(QStringView data, qsizetype pos);
// The fields as GS1's human-readable interpretation writes them:
// "(01)09506000134352(10)ABC1".
QString bracketed(const QList<Gs1Element> &elements);
// "(01) 04600439931256 — GTIN — глобальный номер товара; контрольная цифра верна".
QString describe(const Gs1Element &element);
// The GS1 check digit (mod 10, weights 3 and 1 from the right) that the digits
// before the last one call for.
int checkDigit(QStringView digitsWithoutCheck);

} // namespace Gs1Parser
