#include "gs1/gs1digitallink.h"

#include "gs1/gs1dictionary.h"

#include <algorithm>

namespace Gs1 {
namespace {

bool allDigits(QStringView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

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
// value (GS1 data is ASCII; anything else fails the value's character set).
QString percentDecoded(const Segment &segment, QList<DigitalLinkFault> &faults)
{
    QString out;
    out.reserve(segment.text.size());
    for (qsizetype i = 0; i < segment.text.size(); ++i) {
        const QChar c = segment.text[i];
        if (c != u'%') {
            out.append(c);
            continue;
        }
        const int high = i + 1 < segment.text.size() ? hexValue(segment.text[i + 1]) : -1;
        const int low = i + 2 < segment.text.size() ? hexValue(segment.text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            faults.append({ DigitalLinkFault::Kind::BadPercentEncoding, int(segment.offset + i),
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
            faults.append({ DigitalLinkFault::Kind::NotQualifier, qualifiers[q].offset, 0, qualifiers[q].ai });
            return;
        }
    }
    faults.append({ DigitalLinkFault::Kind::QualifierOutOfOrder, qualifiers.last().offset, 0, qualifiers.last().ai });
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
    const qsizetype schemeEnd = text.indexOf(u"://");
    const QStringView scheme = schemeEnd < 0 ? QStringView() : text.first(schemeEnd);
    if (scheme.compare(u"http", Qt::CaseInsensitive) != 0 && scheme.compare(u"https", Qt::CaseInsensitive) != 0)
        return link;
    const qsizetype hostStart = schemeEnd + 3;
    qsizetype pathStart = text.indexOf(u'/', hostStart);
    const qsizetype queryStart = text.indexOf(u'?', hostStart);
    if (queryStart >= 0 && (pathStart < 0 || queryStart < pathStart))
        pathStart = -1;
    const qsizetype hostEnd = pathStart >= 0 ? pathStart : queryStart >= 0 ? queryStart : text.size();
    if (hostEnd == hostStart)
        return link;
    link.uri = true;
    if (pathStart < 0)
        return link;
    qsizetype fragment = text.indexOf(u'#', pathStart);
    if (fragment < 0)
        fragment = text.size();
    const qsizetype pathEnd = queryStart >= 0 && queryStart < fragment ? queryStart : fragment;

    // From the end, pairs of an AI and its value; the first primary key among
    // them starts the GS1 Digital Link path, whatever stands before is the
    // resolver's own path.
    QList<Segment> segments = split(text.sliced(pathStart + 1, pathEnd - pathStart - 1), int(pathStart + 1), u'/');
    if (!segments.isEmpty() && segments.last().text.isEmpty())
        segments.removeLast(); // a trailing "/"
    qsizetype first = segments.size();
    while (first >= 2 && allDigits(segments[first - 2].text))
        first -= 2;
    qsizetype key = -1;
    for (qsizetype i = first; i < segments.size(); i += 2) {
        const AiEntry *entry = find(segments[i].text);
        if (!entry && key < 0)
            continue; // still the resolver's path
        if (!entry) {
            link.faults.append({ DigitalLinkFault::Kind::UnknownAi, segments[i].offset, int(segments[i].text.size()),
                                 segments[i].text.toString() });
            return link;
        }
        if (key < 0 && entry->dlpkey)
            key = i;
    }
    if (key < 0) {
        if (first < segments.size())
            link.faults.append({ DigitalLinkFault::Kind::NoPrimaryKey, segments[first].offset, 0, {} });
        return link;
    }
    link.digitalLink = true;
    QList<DigitalLinkElement> qualifiers;
    for (qsizetype i = key; i < segments.size(); i += 2) {
        DigitalLinkElement element { segments[i].text.toString(), percentDecoded(segments[i + 1], link.faults),
                                     segments[i + 1].offset, false };
        // GS1 Digital Link: URI syntax, section 4.4: a GTIN-8, -12 or -13 stands
        // in the path as it is and is padded with zeros to 14 digits.
        const qsizetype n = element.value.size();
        if (element.ai == u"01" && (n == 8 || n == 12 || n == 13) && allDigits(element.value))
            element.value = QString(14 - n, u'0') + element.value;
        if (element.value.isEmpty())
            link.faults.append({ DigitalLinkFault::Kind::EmptyValue, element.offset, 0, element.ai });
        if (i > key)
            qualifiers.append(element);
        link.elements.append(element);
    }
    checkQualifiers(*find(segments[key].text), qualifiers, link.faults);

    if (queryStart >= 0 && queryStart < fragment) {
        for (const Segment &pair : split(text.sliced(queryStart + 1, fragment - queryStart - 1), int(queryStart + 1), u'&')) {
            const qsizetype eq = pair.text.indexOf(u'=');
            const QStringView name = eq < 0 ? pair.text : pair.text.first(eq);
            if (!allDigits(name))
                continue; // another application's parameter ("linkType")
            const AiEntry *entry = find(name);
            if (!entry) {
                link.faults.append({ DigitalLinkFault::Kind::UnknownAi, pair.offset, int(name.size()), name.toString() });
                continue;
            }
            const Segment value { eq < 0 ? QStringView() : pair.text.sliced(eq + 1), int(pair.offset + eq + 1) };
            DigitalLinkElement element { name.toString(), percentDecoded(value, link.faults), value.offset, true };
            if (!entry->dlAttribute || entry->dlpkey)
                link.faults.append({ DigitalLinkFault::Kind::NotAttribute, pair.offset, int(name.size()), element.ai });
            if (element.value.isEmpty())
                link.faults.append({ DigitalLinkFault::Kind::EmptyValue, value.offset, 0, element.ai });
            link.elements.append(element);
        }
    }
    for (int i = 0; i < link.elements.size(); ++i) {
        for (int j = 0; j < i; ++j) {
            if (link.elements[j].ai == link.elements[i].ai) {
                link.faults.append({ DigitalLinkFault::Kind::Repeated, link.elements[i].offset, 0, link.elements[i].ai });
                break;
            }
        }
    }
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
    }
    return "";
}

} // namespace Gs1
