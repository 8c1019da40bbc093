#pragma once

#include "analysis/readanalysis.h"
#include "codes/symbologyids.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Writes the tooltip and the full text of a read's analysis.
namespace ReadReport {

// What the analysis found that only the texts need.
struct Extra
{
    SymbologyId symbology;
    QString sevenBitText; // the read decoded as 7-bit text, when parity bits were found
    QString englishLayoutHint; // Cyrillic keys as the US layout types them, when not sure
    ReadContent content;
    QString utf8Text; // the bytes as UTF-8 text, when they are some
};

// Fills r.tooltip and r.fullText.
void write(const QByteArray &codes, ReadAnalysis &r, const Extra &extra);

} // namespace ReadReport
