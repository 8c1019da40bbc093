#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <iterator>

// GS1's Barcode Syntax Dictionary (data/gs1-syntax-dictionary.txt, Apache 2.0)
// as a table made at build time by gen_gs1tables.py: every application
// identifier GS1 defines, each AI of a range written out. A new release of the
// dictionary is that one file replaced.
namespace Gs1 {

// The character set of a component: "N" digits, "X" GS1 AI encodable character
// set 82, "Y" set 39, "Z" set 64 (file-safe base64).
enum class Charset : std::uint8_t { Numeric, Set82, Set39, Set64 };

// The dictionary's content checks, each named as the dictionary names it.
// NOLINTBEGIN(readability-identifier-naming)
enum class Linter : std::uint8_t {
    none,
    csum, csumalpha, gcppos1, gcppos2, hasnondigit, hh, hhmi, hyphen, iban, importeridx,
    iso3166, iso3166999, iso3166alpha2, iso4217, iso5218, latitude, longitude, mediatype, mi,
    nonzero, nozeroprefix, packagetype, pcenc, pieceoftotal, posinseqslash, ss, winding, yesno,
    yymmd0, yymmdd, yyyymmdd, zero, couponcode, couponposoffer,
};
// NOLINTEND(readability-identifier-naming)
// The linter's name as the dictionary writes it ("csum"); "" for none.
const char *linterName(Linter linter);

// One component of an AI's data: "N13,csum,gcppos1", "[X..17]".
struct Component
{
    Charset set = Charset::Numeric;
    std::uint8_t minLength = 0;
    std::uint8_t maxLength = 0;
    bool optional = false;
    Linter linters[3] = {}; // Linter::none ends the list
};

struct AiEntry
{
    char ai[5] = {}; // "3103"
    const char *family = ""; // "310n" for each AI of the range 3100-3105, else the AI
    const char *format = ""; // as the GS1 General Specifications write it: "N13+X..17"
    bool predefinedLength = false; // flag "*": no GS after it
    bool dlAttribute = false; // flag "?": may be a GS1 Digital Link query attribute
    std::uint8_t componentCount = 0;
    Component components[5] = {};
    // The attributes as the dictionary writes them: req groups separated by
    // blanks ("01,02 8020" for two req= keys), ex patterns by commas, the Digital
    // Link qualifier sequences ("22,10,21|235"; "" for a key without qualifiers;
    // null for no primary key). Patterns use "n" for any digit ("31nn").
    const char *req = "";
    const char *ex = "";
    const char *dlpkey = nullptr;
    const char *title = ""; // GS1's English title ("BATCH/LOT")
    const char *russianName = nullptr; // for the AIs a technician meets daily

    QLatin1StringView code() const { return QLatin1StringView(ai); }
    int minLength() const;
    int maxLength() const;
};

// The entry of exactly this AI, or null.
const AiEntry *find(QStringView ai);
// The entry of the AI that the element string starts with (no AI is a prefix of
// another), or null.
const AiEntry *match(QStringView data);
// Every entry, sorted by AI.
const AiEntry *begin();
const AiEntry *end();
// True when the AI matches a dictionary pattern ("310n", "35nn", "01").
bool matchesPattern(QStringView ai, QLatin1StringView pattern);

// The length of AI and data together when the element string that data starts
// with has a predefined length (no GS after it): by the dictionary's flag for
// its AI, else by GS1's table for AIs yet to be assigned; 0 otherwise.
int predefinedLength(QStringView data);

// True for a text of digits only, and not empty.
bool allDigits(QStringView text);
// Character sets (GS1 General Specifications, section 7.11, figures 7.11-1 to
// 7.11-3). A character's place in set 82 weighs it in a check character pair;
// -1 for one outside the set.
int set82Index(char16_t ch);
bool inSet82(char16_t ch);
bool inSet39(char16_t ch);
bool inSet64(char16_t ch);
// ISO 3166-1 numeric ("643") and alpha-2 ("RU"), ISO 4217 numeric ("643") codes
// from Debian's iso-codes data.
bool isCountryNumeric(QStringView code);
bool isCountryAlpha2(QStringView code);
bool isCurrencyNumeric(QStringView code);
// UN/ECE Recommendation 21 package type codes as GS1 lists them ("BX").
bool isPackageType(QStringView code);

} // namespace Gs1
