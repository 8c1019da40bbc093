#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the log tells about a line when the operator asks (tooltip, accessible
// description, "Копировать с подробностями"): what a code means and how the
// details are written out.
namespace LineDetails {

// The code in decimal and hex with the character it stands for in Windows-1251,
// or its name: "65 (0x41), «A»", "29 (0x1D), GS, разделитель групп; ...".
QString describeCode(quint8 code);

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
