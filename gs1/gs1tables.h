#pragma once

#include "gs1/gs1dictionary.h"

// The tables gen_gs1tables.py writes (gs1tables.cpp in the build tree).
namespace Gs1::Tables {

extern const AiEntry ais[];
extern const int aiCount;
// GS1's predefined lengths (AI and data together) for the first two digits of
// AIs the dictionary has yet to hold.
struct UnassignedPrefix
{
    char prefix[3];
    int length;
};
extern const UnassignedPrefix unassignedPrefixes[];
extern const int unassignedPrefixCount;
extern const char countryNumeric[][4];
extern const int countryNumericCount;
extern const char countryAlpha2[][3];
extern const int countryAlpha2Count;
extern const char currencyNumeric[][4];
extern const int currencyNumericCount;
extern const char packageType[][4];
extern const int packageTypeCount;

} // namespace Gs1::Tables
