#include "gs1/gs1dictionary.h"

#include "gs1/gs1tables.h"

#include <algorithm>
#include <cstring>

namespace {

// Compares a fixed code ("643", "3103") with text, as strcmp would.
template<std::size_t N>
int compare(const char (&code)[N], QStringView text)
{
    const qsizetype length = qsizetype(std::strlen(code));
    for (qsizetype i = 0; i < length && i < text.size(); ++i) {
        const char16_t a = char16_t(static_cast<unsigned char>(code[i]));
        const char16_t b = text[i].unicode();
        if (a != b)
            return a < b ? -1 : 1;
    }
    return length == text.size() ? 0 : length < text.size() ? -1 : 1;
}

template<std::size_t N>
bool contains(const char (*codes)[N], int count, QStringView text)
{
    const auto *end = codes + count;
    const auto *it = std::lower_bound(codes, end, text,
                                      [](const char(&code)[N], QStringView t) { return compare(code, t) < 0; });
    return it != end && compare(*it, text) == 0;
}

} // namespace

namespace Gs1 {

const char *linterName(Linter linter)
{
    static constexpr const char *names[] = {
        "", "csum", "csumalpha", "gcppos1", "gcppos2", "hasnondigit", "hh", "hhmi", "hyphen",
        "iban", "importeridx", "iso3166", "iso3166999", "iso3166alpha2", "iso4217", "iso5218",
        "latitude", "longitude", "mediatype", "mi", "nonzero", "nozeroprefix", "packagetype",
        "pcenc", "pieceoftotal", "posinseqslash", "ss", "winding", "yesno", "yymmd0", "yymmdd",
        "yyyymmdd", "zero", "couponcode", "couponposoffer",
    };
    static_assert(std::size(names) == std::size_t(Linter::couponposoffer) + 1);
    return names[std::size_t(linter)];
}

int AiEntry::minLength() const
{
    int length = 0;
    for (int i = 0; i < componentCount; ++i)
        length += components[i].optional ? 0 : components[i].minLength;
    return length;
}

int AiEntry::maxLength() const
{
    int length = 0;
    for (int i = 0; i < componentCount; ++i)
        length += components[i].maxLength;
    return length;
}

const AiEntry *begin()
{
    return Tables::ais;
}

const AiEntry *end()
{
    return Tables::ais + Tables::aiCount;
}

const AiEntry *find(QStringView ai)
{
    const AiEntry *it = std::lower_bound(begin(), end(), ai, [](const AiEntry &entry, QStringView t) {
        return compare(entry.ai, t) < 0;
    });
    return it != end() && compare(it->ai, ai) == 0 ? it : nullptr;
}

const AiEntry *match(QStringView data)
{
    for (qsizetype length = 2; length <= 4 && length <= data.size(); ++length) {
        if (const AiEntry *entry = find(data.first(length)))
            return entry;
    }
    return nullptr;
}

bool matchesPattern(QStringView ai, QLatin1StringView pattern)
{
    if (ai.size() != pattern.size())
        return false;
    for (qsizetype i = 0; i < ai.size(); ++i) {
        const char16_t c = ai[i].unicode();
        if (pattern[i] == QLatin1Char('n') ? (c < u'0' || c > u'9') : c != pattern[i].unicode())
            return false;
    }
    return true;
}

bool inSet82(char16_t ch)
{
    // GS1 General Specifications, section 7.11, figure 7.11-1.
    static constexpr char16_t set82[] = u"!\"%&'()*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_"
                                        u"abcdefghijklmnopqrstuvwxyz";
    static_assert(std::size(set82) == 83);
    return ch != 0 && std::char_traits<char16_t>::find(set82, 82, ch) != nullptr;
}

bool inSet39(char16_t ch)
{
    // GS1 General Specifications, section 7.11, figure 7.11-2.
    return ch == u'#' || ch == u'-' || ch == u'/' || (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'Z');
}

bool inSet64(char16_t ch)
{
    // GS1 General Specifications, section 7.11, figure 7.11-3 (RFC 4648's
    // base64url alphabet); "=" only as padding at the end, see the linter.
    return ch == u'-' || ch == u'_' || (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'Z')
        || (ch >= u'a' && ch <= u'z');
}

bool isCountryNumeric(QStringView code)
{
    return contains(Tables::countryNumeric, Tables::countryNumericCount, code);
}

bool isCountryAlpha2(QStringView code)
{
    return contains(Tables::countryAlpha2, Tables::countryAlpha2Count, code);
}

bool isCurrencyNumeric(QStringView code)
{
    return contains(Tables::currencyNumeric, Tables::currencyNumericCount, code);
}

} // namespace Gs1
