#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// How the analysis writes codes and numbers: every code shown (named when it
// shows no glyph of its own), Russian plurals, decimal commas.
namespace ReadText {

// GS, the group separator: it ends a variable-length GS1 field.
inline constexpr QChar groupSeparator(0x1D);

// The codes as Windows-1251 text, each code one character (0x98 as U+FFFD).
QString decode(QByteArrayView codes);

// The name a code that shows no glyph goes by (Notation::controlName), or its
// hex value for one Windows-1251 leaves unassigned ("0x98"); empty for a code
// that shows its glyph.
QString nameOf(quint8 code);
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
// A number with one decimal and a decimal comma: "7200,5".
QString decimal(double value, int decimals = 1);

} // namespace ReadText
