#pragma once

#include "codes/finding.h"
#include "text/notation.h"

#include <QList>
#include <QString>
#include <QStringView>

// The one place that writes findings in Russian, with one rule each for naming a
// character, a control code and an excerpt of a read.
namespace FindingText {

// The finding as a sentence: "потерян GS после поля (21) (позиция 32)". Its
// durations are written to the precision of the stamps the read's codes had.
QString sentence(const Finding &finding, Notation::Stamps stamps = Notation::Stamps::Micros);
// An excerpt of a read as the findings quote it: «Ab-12» with a control code by
// its name inside («ab«GS»cd»), a text of control codes alone by their names
// without quotes (GS, CR LF); cut after `most` characters with "…".
QString excerpt(QStringView text, qsizetype most = 24);
// A character with its code: «~» (0x7E), «ё» (0xB8); U+… for one outside
// Windows-1251.
QString character(QChar ch);

} // namespace FindingText
