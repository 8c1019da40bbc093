#pragma once

#include "analysis/readanalysis.h"

#include <QByteArray>

// What the raw codes of a read tell before any decoding.
namespace ReadBytes {

// 7E1 or 7O1 seen as 8N1: over six bytes or more, every byte's bit 7 is the
// parity bit of its low seven bits, one byte at least has it set, and the low
// seven bits read as text.
ReadParity parityOf(const QByteArray &codes);
// "7E1", "7O1"; empty for none.
QString parityName(ReadParity parity);
// The codes with bit 7 dropped.
QByteArray sevenBit(QByteArray codes);
// The read's ending and how many codes it takes.
ReadEnding endingOf(QByteArrayView codes, qsizetype &length);
// "CR LF", "HT", "нет".
QString endingName(ReadEnding ending);

} // namespace ReadBytes
