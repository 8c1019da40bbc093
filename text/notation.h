#pragma once

#include <QString>
#include <QTime>
#include <QtGlobal>

// How the tool writes codes and times, each in one way: a code that shows no
// glyph by its ASCII name, a byte as "0x1D", a character as "U+00E4", a
// duration to the precision its clock has, the time of day.
namespace Notation {

// A code that shows no glyph of its own: its ASCII abbreviation and what it
// means, in Russian; null pointers for a code that shows itself. The name of a
// tab is "HT", as ASCII names it.
struct CodeName
{
    const char *abbreviation;
    const char *meaning;
};
CodeName codeName(quint8 code);
// "GS", "CR", "HT", "NUL", "SP", "DEL", "NBSP", "SHY"; empty for a code that
// shows its glyph.
QString controlName(quint8 code);
// "0x1D".
QString hexByte(quint8 code);
// "U+00E4".
QString codePoint(char32_t ch);

// How precise a clock's moments are: key events carry whole milliseconds, the
// serial port's reads microseconds.
enum class Stamps : quint8 { Millis, Micros };
// A duration as a person reads it: from a second on in seconds with one decimal
// ("17,7 с"), below in milliseconds to the precision of the stamps ("10 мс",
// "0,250 мс").
QString duration(qint64 micros, Stamps stamps = Stamps::Micros);
// A duration in milliseconds without its unit, to the precision of the stamps:
// "12,345", "12", added to out (a copy of the log writes one a line).
void appendMillis(QString &out, qint64 micros, Stamps stamps = Stamps::Micros);
QString millis(qint64 micros, Stamps stamps = Stamps::Micros);
// "12:00:01.234", or without the milliseconds "12:00:01".
QString timeOfDay(QTime time, bool withMillis = true);
// A date as the operator writes it, "31.12.2025", or its month alone, "12.2025";
// the numbers as they are, a day or month that no calendar has included.
QString date(int day, int month, int year);
QString monthOfYear(int month, int year);

} // namespace Notation
