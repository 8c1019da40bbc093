#pragma once

#include "codes/gs1parser.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A read that has the shape of a national product marking code.
struct MarkingMatch
{
    QString shape; // the shape, in Russian, with its lengths
    QList<Gs1Element> parts; // its fields, each judged
    QList<Finding> faults; // a GS lost or replaced, the length; a verification code cut
    int expectedLength = 0; // characters of the code as it should arrive (GS counted)
    int separators = 0; // GS in the code as it should arrive
    bool identificationOnly = false; // only the identification code came (01 + 21)
};

namespace MarkingCode {

// The marking-code shape that data (the read without its symbology identifier
// and ending; GS as U+001D) has, tolerating a GS that is missing, replaced by
// another character, by the digits of its Alt code or by text such as "<GS>".
std::optional<MarkingMatch> match(QStringView data);

} // namespace MarkingCode
