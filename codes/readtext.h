#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// How the analysis writes codes, numbers and durations: every code shown (named
// when it shows no glyph of its own), Russian plurals, decimal commas.
namespace ReadText {

// GS, the group separator: it ends a variable-length GS1 field.
inline constexpr QChar groupSeparator(0x1D);

// The codes as Windows-1251 text, each code one character (0x98 as U+FFFD).
QString decode(QByteArrayView codes);

// A code that shows no glyph of its own: its ASCII abbreviation and what it
// means, in Russian; null pointers for a character that shows itself.
struct CodeName
{
    const char *abbreviation;
    const char *meaning;
};
CodeName codeName(quint8 code);
// "GS", "CR", "NUL", "SP" ... for a code that shows no glyph (controls, space,
// DEL, NBSP, SHY, the unassigned 0x98); empty for a printable character.
QString controlName(quint8 code);
// Every code of the read as text, a code without a glyph by its name in «»:
// "]d2010460…«GS»91EE06«CR»". A space shows as itself except at either end.
QString visible(QByteArrayView codes);
// The text with every character that shows no glyph named in «» as visible()
// names it; a space shows as itself.
QString visibleText(QStringView text);
// The codes as UTF-8 text when they are some and not plain ASCII; null otherwise.
QString utf8Text(QByteArrayView codes);
// "5D 64 32": with perLine > 0, a line break after every perLine codes.
QString hex(QByteArrayView codes, int perLine = 0);

// "1 символ", "2 символа", "5 символов".
QString plural(qint64 n, const char *one, const char *few, const char *many);
// A duration in milliseconds to the microsecond with a decimal comma: "12,345 мс".
QString millis(qint64 micros);
// The same number without its unit, "12,345", added to out (no string of its
// own: a copy of the log writes one a line).
void appendMillis(QString &out, qint64 micros);
// A number with one decimal and a decimal comma: "7200,5".
QString decimal(double value, int decimals = 1);

} // namespace ReadText
