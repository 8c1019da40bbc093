#pragma once

#include "analysis/readmode.h"
#include "codes/finding.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The code a read is judged against: a test code's or one the operator entered.
struct ExpectedCode
{
    QByteArray content; // as the symbol holds it: Cyrillic in UTF-8, GS as 29
    QByteArray symbologyId; // the identifier due ("]E0"); empty when any will do
};

// A read compared with the code it should be.
struct ReadComparison
{
    // The data matched byte for byte, once what the scanner added is set aside.
    bool dataMatched = false;
    // What the scanner added around the data: an identifier (right, wrong,
    // missing where the host needs one), a leading GS, a prefix, an ending.
    QList<Finding> frame;
    // Each difference in the data, and how the keys or the line turned them.
    QList<Finding> faults;
    // How many characters of the code and the read's data are the same, in order,
    // of how many they hold together: 1 for the same, near 0 for another code.
    double likeness = 1;
    QString data; // the read's data as compared: identifier and ending off, keys undone
    QString want; // the code's content as compared, in the encoding the read came in
    // Those data are the code's content, once the keys, the line's encoding and
    // parity and what the scanner added are undone.
    bool sameContent = false;
    QString tail; // what came after the whole code, when the read held it first
    qsizetype tailAt = -1;
    QString identifier; // the identifier that led the read, as meant ("]d2")
};

// Compares a read (serial: the bytes; keyboard: the Windows-1251 codes of the
// typed characters) with the code. In keyboard mode the characters are compared:
// Cyrillic typed as its own letters matches its UTF-8 in the symbol, since the
// log keeps each typed letter's Windows-1251 code.
//
// Cheap steps first (parity, identifier, encoding, layout, Caps Lock, ending),
// then an edit script of what is left; where the differing middle parts are too
// long for that (their lengths multiplied past a million), the first difference
// only.
ReadComparison compareReads(const ExpectedCode &expected, const QByteArray &received, ReadMode mode);
