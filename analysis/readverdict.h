#pragma once

#include "analysis/readcompare.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A read as the log has it (serial: the bytes; keyboard: the Windows-1251 codes
// of the typed characters), with each code's moment on the session clock in
// microseconds, or no moments when unknown.
struct ArrivedRead
{
    QByteArray codes;
    QList<qint64> micros;
    ReadMode mode = ReadMode::Serial;
    // A keyboard read's: the devices its keys came from, named, each once.
    QStringList devices {};
};

// The verdict on one read of a known code.
struct ReadVerdict
{
    // The data matched byte for byte, what the scanner added around them aside.
    bool matched = false;
    // The read is of another code: findings name it with what the read itself
    // says (layout, Caps Lock, encoding, parity), and list no edits.
    bool otherCode = false;
    ReadMode mode = ReadMode::Serial; // how precise the read's moments are
    // What the scanner added first (identifier, prefix, ending), then each fault
    // and warning.
    QList<Finding> findings;
    QStringList devices {}; // of the read's keys, as it came with them

    // "Данные совпали байт в байт; сканер добавил …", then a line per fault, then
    // a line per warning.
    QString text() const;
    // A short name for each kind of fault, once, for counting reads by what went
    // wrong ("потерян GS"); empty for a read without faults.
    QStringList faultNames() const;
    // The same for warnings, which leave the data right ("нет идентификатора").
    QStringList warningNames() const;
};

// Judges a read against the code; `previous` is the read that came before it
// since the code was shown (a double read is named), or null.
ReadVerdict judgeRead(const ExpectedCode &expected, const ArrivedRead &read,
    const ArrivedRead *previous = nullptr);
