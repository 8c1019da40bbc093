#pragma once

#include <QStringView>

#include <cstdint>

// Symbology identifiers ("]d2") as ISO/IEC 15424 frames them and each
// symbology's standard defines its modifier: what carried the data, and whether
// the data are GS1 element strings, carry ECI designators, or come from a
// symbol of a structured append.
namespace Gs1 {

enum class SymbologyData : std::uint8_t {
    Plain,
    ElementStrings, // GS1: FNC1 in the first position, AIs and their values
    Gtin, // EAN/UPC: the digits of a GTIN (or an add-on), no AIs
    Industry, // FNC1 in the second position: data of an AIM-registered application
};

struct SymbologyIdentifier
{
    char code = 0; // "d" of "]d2"
    char modifier = 0; // "2"
    const char *symbology = nullptr; // "Data Matrix" (English, as the standards name it)
    SymbologyData data = SymbologyData::Plain;
    bool eci = false; // ECI designators ("\000026") may appear in the data
    bool structuredAppend = false; // one symbol of several
};

// The identifier these three characters make, or null.
const SymbologyIdentifier *findSymbologyIdentifier(QStringView threeCharacters);
// Every identifier in the table.
const SymbologyIdentifier *symbologyIdentifiersBegin();
const SymbologyIdentifier *symbologyIdentifiersEnd();

} // namespace Gs1
