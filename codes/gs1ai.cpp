#include "codes/gs1ai.h"

#include "gs1/gs1dictionary.h"

// The identifiers are those of GS1's Barcode Syntax Dictionary, made into a table
// at build time (gs1/): identifiers not there are reported as unknown, never
// guessed at. 91–99 are each company's internal data; the national product
// marking uses 91, 92 and 93 (see markingcode.cpp).
namespace Gs1Ais {

Gs1Ai find(QStringView text)
{
    const Gs1::AiEntry *entry = Gs1::match(text);
    if (!entry)
        return {};
    Gs1Ai ai { entry->family, entry->format, entry->russianName ? entry->russianName : entry->title };
    // The first components up to and including one with a GS1 check digit.
    int length = 0;
    for (int i = 0; i < entry->componentCount && ai.checkDigits == 0; ++i) {
        const Gs1::Component &c = entry->components[i];
        for (const Gs1::Linter linter : c.linters) {
            if (linter == Gs1::Linter::csum) {
                ai.checkFrom = length;
                ai.checkDigits = length + c.maxLength;
            }
        }
        length += c.maxLength;
    }
    const Gs1::Linter first = entry->components[0].linters[0];
    ai.date = first == Gs1::Linter::yymmdd || first == Gs1::Linter::yymmd0;
    return ai;
}

int predefinedLength(QStringView text)
{
    // GS1 General Specifications, the table of element strings with predefined
    // length (Figure 5.10.1-2 in older releases), by the first two digits of the
    // identifier: identifier and data together. Such a field needs no GS after
    // it; every other field does, unless it ends the data. The table holds for
    // identifiers GS1 has yet to assign as well.
    const auto digit = [](QChar ch) { return ch >= u'0' && ch <= u'9'; };
    if (text.size() < 2 || !digit(text[0]) || !digit(text[1]))
        return 0;
    const int prefix = (text[0].unicode() - u'0') * 10 + (text[1].unicode() - u'0');
    switch (prefix) {
    case 0:
        return 20;
    case 1:
    case 2:
    case 3:
        return 16;
    case 4:
        return 18;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
        return 8;
    case 20:
        return 4;
    case 31:
    case 32:
    case 33:
    case 34:
    case 35:
    case 36:
        return 10;
    case 41:
        return 16;
    default:
        return 0;
    }
}

bool inSet82(QChar ch)
{
    return Gs1::inSet82(ch.unicode());
}

bool inSet39(QChar ch)
{
    return Gs1::inSet39(ch.unicode());
}

} // namespace Gs1Ais
