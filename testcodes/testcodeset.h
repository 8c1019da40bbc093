#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The symbologies the test codes use; symbol.cpp knows how libzint makes each.
enum class Symbology {
    Ean13,
    Code128,
    Gs1_128,
    Gs1DataMatrix,
    DataMatrix,
    QrCode,
    Code39,
    Itf14,
    Pdf417,
};

// One code whose content is known, chosen to reveal one class of fault in how a
// scanner delivers what it read.
struct TestCode
{
    QString name;
    Symbology symbology;
    // What libzint is given. For GS1 symbols the element string with its
    // application identifiers in square brackets; empty means `content` itself.
    QByteArray encoderInput;
    // What a scanner sends for the code, without any prefix or suffix: for GS1
    // symbols the element string with GS (29) after a variable-length field that
    // another follows, and no leading FNC1.
    QByteArray content;
    // The ISO/IEC 15424 symbology identifier a scanner sends first when told to.
    QByteArray symbologyId;
    QString reveals;
};

// The codes in the order the window shows them.
const QList<TestCode> &testCodeSet();
