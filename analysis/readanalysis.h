#pragma once

#include "analysis/readmode.h"
#include "codes/gs1parser.h"
#include "codes/symbologyids.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// How a read ended.
enum class ReadEnding : quint8 { None, Cr, CrLf, Lf, Tab };

// What the bytes of a serial read say about the scanner's line settings.
enum class ReadParity : quint8 {
    None,
    Even, // 7 data bits with even parity (7E1) received as 8N1
    Odd, // 7 data bits with odd parity (7O1) received as 8N1
};

// The timing of a read's codes.
struct ReadTiming
{
    bool known = false; // a moment for every code was given
    qint64 durationMicros = 0; // first code to last
    qint64 smallestGapMicros = 0;
    qint64 medianGapMicros = 0;
    qint64 largestGapMicros = 0;
    double codesPerSecond = 0; // 0 when the read took no measurable time
};

// What the analysis found in one read, with the texts that tell it.
struct ReadAnalysis
{
    ReadMode mode = ReadMode::Serial;
    qsizetype length = 0; // codes in the read, its ending included
    ReadEnding ending = ReadEnding::None;
    ReadParity parity = ReadParity::None;
    ReadTiming timing;
    // The AIM symbology identifier that leads the read as the scanner meant it
    // ("]d2"), empty when none does; the characters it arrived as ("ъв2").
    QString symbologyId;
    QString symbologyArrivedAs;
    bool russianLayout = false; // the keys were typed under the Russian layout
    bool capsLock = false; // the keys' letters came with their case inverted
    // The read's data as the scanner meant it: parity bits dropped, the
    // keyboard layout and Caps Lock undone, without identifier and ending.
    QString data;
    QString marking; // the national marking-code shape it has, empty if none
    QList<Gs1Element> elements; // its GS1 fields (or the marking code's parts)
    QList<Finding> faults; // every fault found, once; the fields' own are among them
    QString tooltip; // a few short lines for the read's last log line
    QString fullText; // everything, for the analysis window: plain text
};

// What the data of a read hold, judged on the one path there is for them: a
// national marking code, digits alone (EAN/UPC, ITF-14), GS1 element strings,
// or a GS1 Digital Link URI whose element strings are judged as any others.
struct ReadContent
{
    QString marking; // the marking-code shape, empty if none
    QList<Gs1Element> elements; // GS1 fields, the marking code's parts
    QList<Finding> faults; // every fault found, once; the fields' own among them
    QList<Finding> remarks; // allowed but worth saying (a GS after a fixed field, an ECI)
    std::optional<Finding> digitsCheck;
    bool gs1 = false; // GS1 element strings, also those of a GS1 Digital Link URI
    bool digitalLink = false; // a GS1 Digital Link URI
    int markingLength = 0;
    int markingSeparators = 0;
    bool markingIdentificationOnly = false;
};
// Judges data (a read without identifier and ending, as the scanner meant it)
// under the identifier that led it (a null id for none): GS1 data without an
// identifier that says so are taken as GS1 by their shape; after one that says
// they are not GS1, only with a GS or a check digit that holds, and then that
// identifier is a fault.
ReadContent judgeContent(const QString &data, const SymbologyId &id);

// What 8, 12, 13 or 14 digits alone are and whether their check digit holds:
// EAN-8, UPC-A, EAN-13, GTIN-14; ITF-14 where an ITF identifier ("]I1") led
// them, also as 13 digits whose check digit the scanner did not send. Nothing
// for other data.
std::optional<Finding> digitsCheck(const QString &data, const QString &symbologyId);

// What the keys of a keyboard read tell of the keyboard's state: of the letters
// typed by a key (not an Alt code or an input method), how many came in the case
// that Shift would not give them, as with Caps Lock on.
struct ReadKeys
{
    qsizetype letters = 0;
    qsizetype caseAgainstShift = 0;
};

// Analyses one read: codes are its character codes 0-255 (serial: the bytes as
// received; keyboard: the Windows-1251 codes of the typed characters), its
// ending included; micros each code's moment on a steady clock, or empty when
// unknown. Costs time linear in the read's length; nothing here keeps state.
// keys, for a keyboard read, what its keys' Shift state said (Caps Lock found
// from it whether or not an identifier leads the read).
ReadAnalysis analyzeRead(
    const QByteArray &codes, const QList<qint64> &micros, ReadMode mode, ReadKeys keys = {});

// One read of a scan line that joins several: its digits, those typed by the
// operator into the scan box apart, and when its CR came (as the caller writes
// times, e.g. "12:00:01,234"; empty when it had none).
struct ScanLineRead
{
    QString portDigits;
    QString typedDigits;
    QString carriageReturnTime;
};
// "2 чтения в одной строке", then a line per read. Empty for fewer than two reads
// and no typed digits.
QStringList describeScanLineReads(const QList<ScanLineRead> &reads);
