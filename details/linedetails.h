#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the log tells about a line when the operator asks (tooltip, accessible
// description, "Копировать с подробностями"): what a code means and how the
// details are written out.
namespace LineDetails {

// The short name of a code that shows no character of its own ("GS", "CR",
// "NBSP"); empty for a printable character and for 0x98, which Windows-1251 leaves
// unassigned.
QString abbreviation(quint8 code);
// "0x1D".
QString hex(quint8 code);
// The code in decimal and hex with the character it stands for in Windows-1251,
// or its name: "65 (0x41), «A»", "29 (0x1D), GS, разделитель групп; ...".
QString describeCode(quint8 code);
// The abbreviation, else the character in «», else the hex value.
QString shortName(quint8 code);
// A duration in milliseconds to the microsecond, with a decimal comma: "12,345".
QString milliseconds(qint64 micros);

// What a character line from the port says beyond its time.
QStringList characterExplanation(quint8 code);
// What a key line says beyond its time: origin, the line explained by
// describeKeyOrigin(), or where nothing is known of it, the character of the code.
QStringList keyExplanation(quint8 code, const QString &origin);

// One row of tab-separated text: a field holding a tab, a quote or a line break
// is quoted as spreadsheets read it (in double quotes, its quotes doubled), so
// that every row keeps its five fields.
QString tsvRow(const QStringList &fields);
QString tsvHeader();

} // namespace LineDetails
