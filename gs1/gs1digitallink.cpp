#include "gs1/gs1digitallink.h"

#include "gs1/gs1dictionary.h"

#include <algorithm>
#include <optional>

namespace Gs1 {
namespace {

using Kind = DigitalLinkFault::Kind;

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? u - u'0'
        : u >= u'A' && u <= u'F'  ? u - u'A' + 10
        : u >= u'a' && u <= u'f'  ? u - u'a' + 10
                                  : -1;
}

struct Segment
{
    QStringView text;
    int offset = 0;
};

// RFC 3986, section 2.1; a decoded byte stands for the Latin-1 character of its
// value (GS1 data is ASCII; anything else fails the value's character set). In
// the query, "+" stands for a space (HTML's form encoding, as GS1 Digital Link
// reads it).
QString percentDecoded(const Segment &segment, bool plusIsSpace, QList<DigitalLinkFault> &faults)
{
    QString out;
    out.reserve(segment.text.size());
    for (qsizetype i = 0; i < segment.text.size(); ++i) {
        const QChar c = segment.text[i];
        if (c != u'%') {
            out.append(plusIsSpace && c == u'+' ? QChar(u' ') : c);
            continue;
        }
        const int high = i + 1 < segment.text.size() ? hexValue(segment.text[i + 1]) : -1;
        const int low = i + 2 < segment.text.size() ? hexValue(segment.text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            faults.append({ Kind::BadPercentEncoding, int(segment.offset + i),
                            int(std::min<qsizetype>(3, segment.text.size() - i)), {} });
            out.append(c);
            continue;
        }
        out.append(QChar(char16_t(high * 16 + low)));
        i += 2;
    }
    return out;
}

QList<Segment> split(QStringView text, int offset, QChar separator)
{
    QList<Segment> parts;
    qsizetype from = 0;
    while (true) {
        const qsizetype to = text.indexOf(separator, from);
        parts.append({ text.sliced(from, (to < 0 ? text.size() : to) - from), int(offset + from) });
        if (to < 0)
            return parts;
        from = to + 1;
    }
}

// Where the parts of an http or https URI are (RFC 3986, section 3); -1 for
// what it lacks.
struct UriParts
{
    qsizetype hostStart = -1;
    qsizetype hostEnd = -1;
    qsizetype pathStart = -1;
    qsizetype pathEnd = -1;
    qsizetype queryStart = -1; // after the "?"
    qsizetype queryEnd = -1;
};

std::optional<UriParts> locate(QStringView text, DigitalLink &link)
{
    const qsizetype schemeEnd = text.indexOf(u"://");
    const QStringView scheme = schemeEnd < 0 ? QStringView() : text.first(schemeEnd);
    if (scheme.compare(u"http", Qt::CaseInsensitive) != 0 && scheme.compare(u"https", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    UriParts p;
    p.hostStart = schemeEnd + 3;
    p.pathStart = text.indexOf(u'/', p.hostStart);
    const qsizetype question = text.indexOf(u'?', p.hostStart);
    if (question >= 0 && (p.pathStart < 0 || question < p.pathStart))
        p.pathStart = -1;
    p.hostEnd = p.pathStart >= 0 ? p.pathStart : question >= 0 ? question : text.size();
    if (p.hostEnd == p.hostStart)
        return std::nullopt;
    link.uri = true;
    // GS1 Digital Link: URI syntax takes the scheme in lower or in upper case.
    if (scheme != u"http" && scheme != u"https" && scheme != u"HTTP" && scheme != u"HTTPS")
        link.faults.append({ Kind::SchemeCase, 0, int(scheme.size()), {} });
    // RFC 6874's zone of an IPv6 address means only the machine that reads
    // it: no URI to print on an item.
    const QStringView host = text.sliced(p.hostStart, p.hostEnd - p.hostStart);
    if (const qsizetype zone = host.indexOf(u'%'); host.startsWith(u'[') && zone > 0)
        link.faults.append({ Kind::ZoneIdentifier, int(p.hostStart + zone), 1, {} });
    qsizetype fragment = text.indexOf(u'#', p.hostEnd);
    if (fragment < 0)
        fragment = text.size();
    if (question >= 0 && question < fragment) {
        p.queryStart = question + 1;
        p.queryEnd = fragment;
    }
    if (p.pathStart >= 0)
        p.pathEnd = p.queryStart >= 0 ? p.queryStart - 1 : fragment;
    return p;
}

// The qualifier sequences of a primary key ("22,10,21|235"): which
// alternative, if any, lists every qualifier given, in order.
void checkQualifiers(const AiEntry &key, const QList<DigitalLinkElement> &qualifiers, QList<DigitalLinkFault> &faults)
{
    const QLatin1StringView sequences(key.dlpkey);
    bool anyFits = qualifiers.isEmpty();
    QList<bool> known(qualifiers.size(), false);
    for (const auto alternative : QLatin1StringView(sequences).tokenize(QLatin1Char('|'))) {
        qsizetype last = -1;
        bool inOrder = true;
        for (int q = 0; q < qualifiers.size(); ++q) {
            qsizetype place = -1;
            qsizetype index = 0;
            for (const auto ai : alternative.tokenize(QLatin1Char(','))) {
                if (ai == qualifiers[q].ai)
                    place = index;
                ++index;
            }
            if (place < 0) {
                inOrder = false;
                continue;
            }
            known[q] = true;
            inOrder = inOrder && place > last;
            last = std::max(last, place);
        }
        anyFits = anyFits || inOrder;
    }
    if (anyFits)
        return;
    for (int q = 0; q < qualifiers.size(); ++q) {
        if (!known[q]) {
            faults.append({ Kind::NotQualifier, qualifiers[q].offset, 0, qualifiers[q].ai });
            return;
        }
    }
    faults.append({ Kind::QualifierOutOfOrder, qualifiers.last().offset, 0, qualifiers.last().ai });
}

bool isQualifierOf(const AiEntry &key, QStringView ai)
{
    for (const auto alternative : QLatin1StringView(key.dlpkey).tokenize(QLatin1Char('|'))) {
        for (const auto qualifier : alternative.tokenize(QLatin1Char(','))) {
            if (qualifier == ai)
                return true;
        }
    }
    return false;
}

// One AI and its value, from the path or the query: decoded, a GTIN of fewer
// digits padded, an empty value said.
DigitalLinkElement element(QStringView ai, const Segment &value, bool attribute, DigitalLink &link)
{
    DigitalLinkElement e { ai.toString(), percentDecoded(value, attribute, link.faults), value.offset, attribute };
    // GS1 Digital Link: URI syntax, before release 1.3, let a GTIN-8, -12 or
    // -13 stand as it is, padded with zeros to 14 digits; GS1 now wants 14.
    const qsizetype n = e.value.size();
    if (e.ai == u"01" && (n == 8 || n == 12 || n == 13) && allDigits(e.value)) {
        link.faults.append({ Kind::LegacyGtin, value.offset, int(value.text.size()), e.ai });
        e.value = QString(14 - n, u'0') + e.value;
    }
    if (e.value.isEmpty())
        link.faults.append({ Kind::EmptyValue, value.offset, 0, e.ai });
    return e;
}

// The path: whatever stands before the primary key is the resolver's own,
// even segments that look like AIs; the key is the rightmost one that only
// AIs and their values follow. Null when the path holds no key.
const AiEntry *readPath(QStringView text, const UriParts &p, DigitalLink &link)
{
    QList<Segment> segments
        = split(text.sliced(p.pathStart + 1, p.pathEnd - p.pathStart - 1), int(p.pathStart + 1), u'/');
    const bool trailingSlash = segments.size() > 1 && segments.last().text.isEmpty();
    if (trailingSlash)
        segments.removeLast();
    qsizetype first = segments.size();
    while (first >= 2 && allDigits(segments[first - 2].text))
        first -= 2;
    qsizetype key = segments.size() - 2;
    while (key >= first && !(find(segments[key].text) && find(segments[key].text)->dlpkey))
        key -= 2;
    if (key < first) {
        if (first < segments.size())
            link.faults.append({ Kind::NoPrimaryKey, segments[first].offset, 0, {} });
        return nullptr;
    }
    if (trailingSlash)
        link.faults.append({ Kind::TrailingSlash, int(p.pathEnd - 1), 1, {} });
    QList<DigitalLinkElement> qualifiers;
    for (qsizetype i = key; i < segments.size(); i += 2) {
        if (!find(segments[i].text)) {
            link.faults.append({ Kind::UnknownAi, segments[i].offset, int(segments[i].text.size()),
                                 segments[i].text.toString() });
            continue;
        }
        link.elements.append(element(segments[i].text, segments[i + 1], false, link));
        if (i > key)
            qualifiers.append(link.elements.last());
    }
    const AiEntry *entry = find(segments[key].text);
    checkQualifiers(*entry, qualifiers, link.faults);
    return entry;
}

// The query's AIs: attributes the dictionary allows there, never a qualifier
// of the key; parameters of other applications ("linkType") are passed over.
void readQuery(QStringView text, const UriParts &p, const AiEntry &key, DigitalLink &link)
{
    if (p.queryStart < 0)
        return;
    for (const Segment &pair : split(text.sliced(p.queryStart, p.queryEnd - p.queryStart), int(p.queryStart), u'&')) {
        const qsizetype eq = pair.text.indexOf(u'=');
        const QStringView name = eq < 0 ? pair.text : pair.text.first(eq);
        if (!allDigits(name))
            continue;
        const AiEntry *entry = find(name);
        if (!entry) {
            link.faults.append({ Kind::UnknownAi, pair.offset, int(name.size()), name.toString() });
            continue;
        }
        if (isQualifierOf(key, name))
            link.faults.append({ Kind::QualifierInQuery, pair.offset, int(name.size()), name.toString() });
        else if (!entry->dlAttribute)
            link.faults.append({ Kind::NotAttribute, pair.offset, int(name.size()), name.toString() });
        const Segment value { eq < 0 ? QStringView() : pair.text.sliced(eq + 1), int(pair.offset + eq + 1) };
        link.elements.append(element(name, value, true, link));
    }
}

void markRepeated(DigitalLink &link)
{
    for (int i = 0; i < link.elements.size(); ++i) {
        for (int j = 0; j < i; ++j) {
            if (link.elements[j].ai == link.elements[i].ai) {
                link.faults.append({ Kind::Repeated, link.elements[i].offset, 0, link.elements[i].ai });
                break;
            }
        }
    }
}

} // namespace

QString DigitalLink::elementString() const
{
    QString out;
    for (int i = 0; i < elements.size(); ++i) {
        out += elements[i].ai + elements[i].value;
        const AiEntry *entry = find(elements[i].ai);
        if (i + 1 < elements.size() && !(entry && entry->predefinedLength))
            out += QChar(0x1D);
    }
    return out;
}

DigitalLink parseDigitalLink(QStringView text)
{
    DigitalLink link;
    const std::optional<UriParts> parts = locate(text, link);
    const AiEntry *key = parts && parts->pathStart >= 0 ? readPath(text, *parts, link) : nullptr;
    if (!key)
        return link;
    link.digitalLink = true;
    readQuery(text, *parts, *key, link);
    markRepeated(link);
    std::stable_sort(link.faults.begin(), link.faults.end(),
                     [](const DigitalLinkFault &a, const DigitalLinkFault &b) { return a.offset < b.offset; });
    return link;
}

QList<int> mangledUriCharacters(QStringView read, QStringView meant)
{
    QList<int> changed;
    if (read.size() != meant.size() || parseDigitalLink(read).uri || !parseDigitalLink(meant).digitalLink)
        return changed;
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (read[i] != meant[i] && QStringView(u"/:?=&").contains(meant[i]))
            changed.append(int(i));
    }
    return changed;
}

const char *faultName(DigitalLinkFault::Kind kind)
{
    using K = DigitalLinkFault::Kind;
    switch (kind) {
    case K::NoPrimaryKey:
        return "NoPrimaryKey";
    case K::NotQualifier:
        return "NotQualifier";
    case K::QualifierOutOfOrder:
        return "QualifierOutOfOrder";
    case K::UnknownAi:
        return "UnknownAi";
    case K::NotAttribute:
        return "NotAttribute";
    case K::BadPercentEncoding:
        return "BadPercentEncoding";
    case K::EmptyValue:
        return "EmptyValue";
    case K::Repeated:
        return "Repeated";
    case K::SchemeCase:
        return "SchemeCase";
    case K::ZoneIdentifier:
        return "ZoneIdentifier";
    case K::TrailingSlash:
        return "TrailingSlash";
    case K::QualifierInQuery:
        return "QualifierInQuery";
    case K::LegacyGtin:
        return "LegacyGtin";
    }
    return "";
}

} // namespace Gs1
