#include "gs1symbology.h"

#include <algorithm>
#include <iterator>

namespace Gs1 {
namespace {

using D = SymbologyData;
constexpr bool eci = true;
constexpr bool sa = true;

// ISO/IEC 15424:2008 (data carrier identifiers, "]" + code + modifier), the
// modifiers as each symbology's standard gives them: Code 39 ISO/IEC 16388,
// Code 128 ISO/IEC 15417, EAN/UPC ISO/IEC 15420, Codabar and ITF ISO/IEC 15424
// annex, ITF ISO/IEC 16390, PDF417 ISO/IEC 15438, QR Code ISO/IEC 18004 (table
// of symbology identifier options), Data Matrix ISO/IEC 16022 (section 10.4),
// Aztec ISO/IEC 24778 (annex on symbology identifiers: +1 FNC1 first, +2 FNC1
// second, +3 ECI, +6 structured append, "C" a rune), MaxiCode ISO/IEC 16023,
// GS1 DataBar ISO/IEC 24724; GS1 DotCode and the GS1 carriers as the GS1
// General Specifications (section 5.1.2) list them. Sorted by code, then
// modifier.
constexpr SymbologyIdentifier table[] = {
    { 'A', '0', "Code 39" },
    { 'A', '1', "Code 39, check character validated and transmitted" },
    { 'A', '3', "Code 39, check character validated and stripped" },
    { 'A', '4', "Code 39 Full ASCII" },
    { 'A', '5', "Code 39 Full ASCII, check character validated and transmitted" },
    { 'A', '7', "Code 39 Full ASCII, check character validated and stripped" },
    { 'C', '0', "Code 128" },
    { 'C', '1', "GS1-128", D::ElementStrings },
    { 'C', '2', "Code 128, FNC1 in the second position", D::Industry },
    { 'C', '4', "Code 128, ISBT 128 concatenation" },
    { 'E', '0', "EAN-13, UPC-A or UPC-E", D::Gtin },
    { 'E', '1', "EAN/UPC two-digit add-on", D::Gtin },
    { 'E', '2', "EAN/UPC five-digit add-on", D::Gtin },
    { 'E', '3', "EAN-13, UPC-A or UPC-E with add-on", D::Gtin },
    { 'E', '4', "EAN-8", D::Gtin },
    { 'F', '0', "Codabar" },
    { 'F', '1', "ABC Codabar" },
    { 'F', '2', "Codabar, check character validated and transmitted" },
    { 'F', '4', "Codabar, check character validated and stripped" },
    { 'G', '0', "Code 93" },
    { 'I', '0', "ITF" },
    { 'I', '1', "ITF, check digit validated and transmitted" },
    { 'I', '3', "ITF, check digit validated and stripped" },
    { 'J', '0', "DotCode" },
    { 'J', '1', "GS1 DotCode", D::ElementStrings },
    { 'L', '0', "PDF417, original 1994 specification" },
    { 'L', '1', "PDF417 or MicroPDF417 with ECI", D::Plain, eci },
    { 'L', '2', "PDF417 or MicroPDF417, basic channel" },
    { 'Q', '0', "QR Code model 1" },
    { 'Q', '1', "QR Code" },
    { 'Q', '2', "QR Code with ECI", D::Plain, eci },
    { 'Q', '3', "GS1 QR Code", D::ElementStrings },
    { 'Q', '4', "GS1 QR Code with ECI", D::ElementStrings, eci },
    { 'Q', '5', "QR Code, FNC1 in the second position", D::Industry },
    { 'Q', '6', "QR Code with ECI, FNC1 in the second position", D::Industry, eci },
    { 'U', '0', "MaxiCode, mode 4, 5 or 6" },
    { 'U', '1', "MaxiCode, mode 2 or 3" },
    { 'U', '2', "MaxiCode with ECI, mode 4, 5 or 6", D::Plain, eci },
    { 'U', '3', "MaxiCode with ECI, mode 2 or 3", D::Plain, eci },
    { 'd', '0', "Data Matrix ECC 000-140" },
    { 'd', '1', "Data Matrix" },
    { 'd', '2', "GS1 DataMatrix", D::ElementStrings },
    { 'd', '3', "Data Matrix, FNC1 in the second position", D::Industry },
    { 'd', '4', "Data Matrix with ECI", D::Plain, eci },
    { 'd', '5', "GS1 DataMatrix with ECI", D::ElementStrings, eci },
    { 'd', '6', "Data Matrix with ECI, FNC1 in the second position", D::Industry, eci },
    { 'e', '0', "GS1 DataBar or GS1 Composite", D::ElementStrings },
    { 'z', '0', "Aztec Code" },
    { 'z', '1', "GS1 Aztec Code", D::ElementStrings },
    { 'z', '2', "Aztec Code, FNC1 in the second position", D::Industry },
    { 'z', '3', "Aztec Code with ECI", D::Plain, eci },
    { 'z', '4', "GS1 Aztec Code with ECI", D::ElementStrings, eci },
    { 'z', '5', "Aztec Code with ECI, FNC1 in the second position", D::Industry, eci },
    { 'z', '6', "Aztec Code, structured append", D::Plain, false, sa },
    { 'z', '7', "GS1 Aztec Code, structured append", D::ElementStrings, false, sa },
    { 'z', '8', "Aztec Code, structured append, FNC1 in the second position", D::Industry, false, sa },
    { 'z', '9', "Aztec Code with ECI, structured append", D::Plain, eci, sa },
    { 'z', 'A', "GS1 Aztec Code with ECI, structured append", D::ElementStrings, eci, sa },
    { 'z', 'B', "Aztec Code with ECI, structured append, FNC1 in the second position", D::Industry, eci, sa },
    { 'z', 'C', "Aztec rune" },
};

constexpr bool before(const SymbologyIdentifier &a, const SymbologyIdentifier &b)
{
    return a.code != b.code ? a.code < b.code : a.modifier < b.modifier;
}
static_assert(std::is_sorted(std::begin(table), std::end(table), before));

} // namespace

const SymbologyIdentifier *findSymbologyIdentifier(QStringView s)
{
    if (s.size() != 3 || s[0] != u']' || s[1].unicode() > 127 || s[2].unicode() > 127)
        return nullptr;
    const SymbologyIdentifier key { char(s[1].unicode()), char(s[2].unicode()) };
    const auto *it = std::lower_bound(std::begin(table), std::end(table), key, before);
    return it != std::end(table) && it->code == key.code && it->modifier == key.modifier ? it : nullptr;
}

const SymbologyIdentifier *symbologyIdentifiersBegin()
{
    return std::begin(table);
}

const SymbologyIdentifier *symbologyIdentifiersEnd()
{
    return std::end(table);
}

} // namespace Gs1
