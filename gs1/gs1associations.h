#pragma once

#include "gs1/gs1dictionary.h"

#include <QList>
#include <QStringView>

// The associations GS1's Barcode Syntax Dictionary states between AIs ("req=",
// "ex="), and one AI given twice with different values, over all the element
// strings of a read (or of every carrier on an item).
namespace Gs1 {

struct AiValue
{
    QStringView ai;
    QStringView value;
};

struct AssociationFault
{
    enum class Kind : std::uint8_t {
        Missing, // element's AI requires one of requirement's groups, none is there
        Excluded, // element's AI must not stand with other's (matched by pattern)
        Repeated, // element repeats other's AI with another value
    };
    Kind kind = Kind::Missing;
    int element = 0; // index in the list given
    int other = -1; // the other element, -1 for Missing
    // Missing: the req= alternatives as the dictionary writes them ("01,02,8006");
    // Excluded: the ex= pattern that matched ("310n").
    QLatin1StringView requirement;
    friend bool operator==(const AssociationFault &, const AssociationFault &) = default;
};

// AIs the dictionary does not know take part as present AIs only.
QList<AssociationFault> checkAssociations(const QList<AiValue> &elements);

} // namespace Gs1
