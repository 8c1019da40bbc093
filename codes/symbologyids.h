#pragma once

#include <QString>

#include <cstdint>

// What a symbology identifier's modifier says the data are.
enum class SymbologyData : std::uint8_t {
    Plain,
    ElementStrings, // GS1: FNC1 in the first position, AIs and their values
    Gtin, // EAN/UPC: the digits of a GTIN (or an add-on), no AIs
    Industry, // FNC1 in the second position: data of an AIM-registered application
};

// The symbology identifiers of ISO/IEC 15424 ("]d2", "]C1" ...) that a scanner
// may send ahead of a read: what carried the data and how to take it.
struct SymbologyId
{
    const char *id = nullptr; // "]d2"; null when not known
    const char *name = nullptr; // the symbology, in Russian
    const char *meaning = nullptr; // what it means for the program that receives the read
    SymbologyData data = SymbologyData::Plain;
    bool eci = false; // ECI designators ("\000026") may stand in the data
    bool structuredAppend = false; // the data of one symbol of several

    // The data are GS1 element strings (FNC1 in the first position).
    constexpr bool gs1() const { return data == SymbologyData::ElementStrings; }
};

namespace SymbologyIds {

// The identifier of these three characters, or one with a null id.
SymbologyId find(QStringView threeCharacters);
// Every identifier known, sorted.
const SymbologyId *begin();
const SymbologyId *end();

// The identifier that leads a read, also as the Russian layout or Caps Lock
// turned its keys ("ъв2" typed for "]d2"); a null id when none does.
struct Leading
{
    SymbologyId id;
    QString meant; // "]d2"
    bool russian = false;
    bool caps = false;
};
Leading leading(const QString &text, bool keyboard);
// The symbology's name without what its modifier says: "Code 39", "ITF".
QString family(const SymbologyId &id);

// Data after an identifier with ECI (ISO/IEC 15424, section on the transmission
// of ECI): each designator "\nnnnnn" taken out and each doubled backslash
// halved. `designators` gets each designator taken out, as it came.
QString withoutEci(QStringView data, QStringList *designators = nullptr);

} // namespace SymbologyIds
