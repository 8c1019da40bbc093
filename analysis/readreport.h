#pragma once

#include "readanalysis.h"
#include "symbologyids.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes the tooltip and the full text of a read's analysis.
namespace ReadReport {

// What the analysis found that only the texts need.
struct Extra
{
    SymbologyId symbology;
    QString sevenBitText; // the read decoded as 7-bit text, when parity bits were found
    QString englishLayoutHint; // Cyrillic keys as the US layout types them, when not sure
    int markingLength = 0;
    int markingSeparators = 0;
    bool markingIdentificationOnly = false;
    bool gs1 = false;
    QStringList gs1Remarks;
    QString digitsCheck;
    QString utf8Text; // the bytes as UTF-8 text, when they are some
};

// "как EAN-13: контрольная цифра верна" for a read of 8, 12, 13 or 14 digits.
QString digitsCheck(const QString &data);
// Fills r.tooltip and r.fullText.
void write(const QByteArray &codes, ReadAnalysis &r, const Extra &extra);

} // namespace ReadReport
