#pragma once

#include "gs1/gs1dictionary.h"

// The tables gen_gs1tables.py writes (gs1tables.cpp in the build tree).
namespace Gs1::Tables {

extern const AiEntry ais[];
extern const int aiCount;
extern const char countryNumeric[][4];
extern const int countryNumericCount;
extern const char countryAlpha2[][3];
extern const int countryAlpha2Count;
extern const char currencyNumeric[][4];
extern const int currencyNumericCount;

} // namespace Gs1::Tables
