#include "analysis/readanalysis.h"

#include "analysis/readbytes.h"
#include "analysis/readreport.h"
#include "codes/layouts.h"
#include "codes/markingcode.h"
#include "codes/readtext.h"
#include "codes/symbologyids.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1dictionary.h"
#include "gs1/gs1digitallink.h"
#include "gs1/gs1lint.h"

#include <algorithm>

namespace {

constexpr QChar gs = ReadText::groupSeparator;

ReadTiming timingOf(const QList<qint64> &micros)
{
    ReadTiming timing;
    if (micros.size() < 2)
        return timing;
    timing.known = true;
    QList<qint64> gaps;
    gaps.reserve(micros.size() - 1);
    for (qsizetype i = 1; i < micros.size(); ++i)
        gaps.append(micros[i] - micros[i - 1]);
    timing.durationMicros = micros.back() - micros.front();
    const auto [smallest, largest] = std::minmax_element(gaps.cbegin(), gaps.cend());
    timing.smallestGapMicros = *smallest;
    timing.largestGapMicros = *largest;
    const auto middle = gaps.begin() + gaps.size() / 2;
    std::nth_element(gaps.begin(), middle, gaps.end());
    timing.medianGapMicros = *middle;
    if (gaps.size() % 2 == 0) {
        // The mean of the two middle gaps; the lower one is the largest below.
        const qint64 lower = *std::max_element(gaps.begin(), middle);
        timing.medianGapMicros = (lower + *middle) / 2;
    }
    if (timing.durationMicros > 0)
        timing.codesPerSecond = double(gaps.size()) * 1e6 / double(timing.durationMicros);
    return timing;
}

bool hasRussianOnly(const QString &text)
{
    return std::any_of(
        text.cbegin(), text.cend(), [](QChar ch) { return Layouts::isRussianOnly(ch); });
}

// A read counts as GS1 data without an identifier saying so when it starts
// with an identifier and either holds a GS, or splits wholly into fields of the
// right lengths: several, or one GTIN or SSCC. Faults in the values (a check
// digit, a date) are then reported, not taken as proof of something else; but
// after an identifier that says the data are no GS1, fields without a GS count
// only with a check digit that holds and none that fails.
bool looksGs1(const QString &data, const Gs1Parse &parse, bool saidPlain = false)
{
    if (parse.elements.isEmpty())
        return false;
    if (data.contains(gs))
        return true;
    if (!parse.complete)
        return false;
    for (const Gs1Element &element : parse.elements) {
        if (element.wrongLength)
            return false;
    }
    const QString &first = parse.elements.first().ai;
    if (parse.elements.size() < 2 && first != u"00" && first != u"01")
        return false;
    if (!saidPlain)
        return true;
    bool right = false;
    for (const Gs1Element &element : parse.elements) {
        for (const Finding &note : element.notes) {
            if (note.kind == Finding::Kind::CheckDigitWrong)
                return false;
            right = right || note.kind == Finding::Kind::CheckDigitRight;
        }
    }
    return right;
}

// How much of a GS1 shape the data has: a marking code, GS1 data, nothing;
// a clean one above one with faults.
int structureScore(const QString &data)
{
    if (const auto marking = MarkingCode::match(data)) {
        const bool clean = std::none_of(marking->parts.cbegin(), marking->parts.cend(),
            [](const Gs1Element &e) { return e.fault; });
        return 6 + (clean ? 1 : 0);
    }
    const Gs1Parse parse = Gs1Parser::parse(data);
    return looksGs1(data, parse) ? 4 + (parse.clean() ? 1 : 0) : 0;
}

void addElementFaults(ReadContent &c)
{
    for (const Gs1Element &element : std::as_const(c.elements)) {
        for (const Finding &note : element.notes) {
            if (note.isFault() && note.kind != Finding::Kind::WithNext)
                c.faults.append(note);
        }
    }
}

// A GS1 Digital Link URI: its faults where they are in the URI, then its
// element strings judged as any others.
void judgeDigitalLink(const QString &data, const Gs1::DigitalLink &link, ReadContent &c)
{
    // The primary key's qualifiers, in the order the dictionary gives them.
    const Gs1::AiEntry *key = link.elements.isEmpty() ? nullptr : Gs1::find(link.elements.first().ai);
    const QString qualifiers = key && key->dlpkey ? QString::fromLatin1(key->dlpkey) : QString();
    for (const Gs1::DigitalLinkFault &f : link.faults)
        c.faults.append({ Finding::Kind::DigitalLink, f.offset, f.ai,
            { data.mid(f.offset, std::max(f.length, 1)), link.elements.value(0).ai, qualifiers },
            f.kind });
    QList<std::pair<QString, QString>> fields;
    fields.reserve(link.elements.size());
    for (const Gs1::DigitalLinkElement &e : link.elements)
        fields.append({ e.ai, e.value });
    Gs1Parse parse = Gs1Parser::parseFields(fields);
    // An AI twice is said once, where the URI repeats it.
    parse.faults.removeIf([](const Finding &f) {
        return f.kind == Finding::Kind::Association
            && f.sub == Gs1::AssociationFault::Kind::Repeated;
    });
    c.elements = parse.elements;
    c.faults.append(parse.faults);
    c.gs1 = c.digitalLink = true;
}

// A pause inside the read that stands far out from all its others: likely where
// one read ended and the next began, joined for want of an ending.
void findBoundary(const QList<qint64> &micros, ReadAnalysis &r)
{
    constexpr qint64 apartMicros = 20'000;
    if (micros.size() < 4)
        return;
    qint64 largest = -1;
    qint64 second = -1;
    qsizetype at = -1;
    for (qsizetype i = 1; i < micros.size(); ++i) {
        const qint64 gap = micros[i] - micros[i - 1];
        if (gap > largest) {
            second = largest;
            largest = gap;
            at = i;
        } else if (gap > second) {
            second = gap;
        }
    }
    const qint64 skip = r.symbologyId.isEmpty() ? 0 : 3;
    if (largest >= 3 * second && largest - second >= apartMicros && at > skip)
        r.faults.append({ Finding::Kind::LikelyBoundary, at - skip, {},
            { QString::number(largest), QString::number(second) } });
}

// The layout the keys of a keyboard read were typed under, where no identifier
// told it: the Russian one when the keys meant a URI's characters, or when what
// they meant has more of a GS1 shape than what came. Returns where a URI's "/",
// ":", "?", "=" were typed by their keys under the Russian layout.
QList<int> guessLayout(const QString &typed, const QString &utf8, const SymbologyIds::Leading &prefix,
    ReadAnalysis &r, ReadReport::Extra &extra)
{
    const qsizetype skip = prefix.id.id ? 3 : 0;
    const QString meant = Layouts::keysMeant(typed, true, prefix.caps);
    QList<int> uriTurned
        = Gs1::mangledUriCharacters(QStringView(typed).mid(skip), QStringView(meant).mid(skip));
    if (!uriTurned.isEmpty()) {
        r.russianLayout = true;
    } else if (hasRussianOnly(typed)) {
        if (structureScore(meant.mid(skip)) > structureScore(typed.mid(skip)))
            r.russianLayout = true;
        else if (typed.size() <= 200 && utf8.isEmpty())
            extra.englishLayoutHint = Layouts::keysMeant(typed, true, false);
    }
    return uriTurned;
}

// The layout's fault: the URI's characters turned, each once, or the first code
// the Russian layout turned.
void addLayoutFault(const QString &typed, const QString &meant, qsizetype skip,
    const QList<int> &uriTurned, ReadAnalysis &r)
{
    if (!uriTurned.isEmpty()) {
        QString came;
        QString due;
        for (const int at : std::as_const(uriTurned)) {
            const QChar ch = typed[skip + at];
            if (!came.contains(ch)) {
                came.append(ch);
                due.append(meant[skip + at]);
            }
        }
        r.faults.append({ Finding::Kind::UriLayout, skip + uriTurned.first(), {}, { came, due } });
    } else if (r.russianLayout) {
        qsizetype first = 0;
        while (first < typed.size() && typed[first] == meant[first])
            ++first;
        r.faults.append({ Finding::Kind::RussianLayout, first, {},
            { typed.mid(first, 17), meant.mid(first, 17) } });
    }
}

} // namespace

ReadContent judgeContent(const QString &read, const SymbologyId &id)
{
    using Kind = Finding::Kind;
    ReadContent c;
    QString data = read;
    if (id.eci) {
        QStringList designators;
        data = SymbologyIds::withoutEci(read, &designators);
        qsizetype from = 0;
        for (const QString &designator : std::as_const(designators)) {
            from = read.indexOf(designator, from);
            c.remarks.append({ Kind::EciDesignator, from, {}, { designator } });
            from += designator.size();
        }
    }
    // Digits alone are an EAN/UPC or ITF-14 before GS1 data.
    const std::optional<Finding> digits
        = id.gs1() ? std::nullopt : digitsCheck(data, QString::fromLatin1(id.id));
    const Gs1::DigitalLink link = id.gs1() ? Gs1::DigitalLink {} : Gs1::parseDigitalLink(data);
    if (const auto marking = MarkingCode::match(data)) {
        c.marking = marking->shape;
        c.elements = marking->parts;
        c.faults.append(marking->faults);
        c.markingLength = marking->expectedLength;
        c.markingSeparators = marking->separators;
        c.markingIdentificationOnly = marking->identificationOnly;
    } else if (digits) {
        c.digitsCheck = digits;
        if (digits->isFault())
            c.faults.append(*digits);
        return c;
    } else if (link.digitalLink) {
        judgeDigitalLink(data, link, c);
    } else {
        const Gs1Parse parse = Gs1Parser::parse(data);
        if (id.gs1() || looksGs1(data, parse, id.id != nullptr)) {
            c.elements = parse.elements;
            c.faults.append(parse.faults);
            c.remarks.append(parse.remarks);
            c.gs1 = true;
        }
    }
    if (id.structuredAppend && (c.gs1 || !c.marking.isEmpty())) {
        // What a field requires may be in another symbol of the message.
        c.faults.removeIf([](const Finding &f) {
            return f.kind == Kind::Association && f.sub == Gs1::AssociationFault::Kind::Missing;
        });
        c.remarks.append({ Kind::StructuredAppendPart, -1, {}, {} });
    }
    addElementFaults(c);
    // A cigarette pack's code is no GS1 data: a plain Data Matrix is right for
    // it; a GS1 Digital Link URI is plain data in any symbol.
    const bool gs1Content = (c.gs1 && !c.digitalLink) || c.markingSeparators > 0
        || c.markingIdentificationOnly;
    if (gs1Content && id.id && !id.gs1())
        c.faults.append(
            { Kind::Gs1WithoutFnc1, -1, {}, { QString::fromLatin1(id.id), QString::fromUtf8(id.name) } });
    return c;
}

std::optional<Finding> digitsCheck(const QString &data, const QString &symbologyId)
{
    if (!Gs1::allDigits(data))
        return std::nullopt;
    const bool itf = symbologyId.startsWith(u"]I");
    const QString check = QString::number(Gs1::checkDigit(QStringView(data).left(data.size() - 1)));
    if (itf && data.size() == 13)
        return Finding { Finding::Kind::ItfCheckDigitStripped, -1, {},
            { QString::number(Gs1::checkDigit(data)) } };
    QString kind;
    switch (data.size()) {
    case 8:
        kind = QStringLiteral("EAN-8");
        break;
    case 12:
        kind = QStringLiteral("UPC-A");
        break;
    case 13:
        kind = QStringLiteral("EAN-13");
        break;
    case 14:
        kind = itf ? QStringLiteral("ITF-14") : QStringLiteral("GTIN-14 (ITF-14)");
        break;
    default:
        return std::nullopt;
    }
    if (itf && data.size() != 14)
        return std::nullopt;
    if (check == data.back())
        return Finding { Finding::Kind::DigitsCheckRight, -1, {}, { kind } };
    return Finding { Finding::Kind::DigitsCheckWrong, -1, {}, { kind, check } };
}

ReadAnalysis analyzeRead(
    const QByteArray &codes, const QList<qint64> &micros, ReadMode mode, ReadKeys keys)
{
    using Kind = Finding::Kind;
    ReadAnalysis r;
    ReadReport::Extra extra;
    r.mode = mode;
    r.length = codes.size();
    if (micros.size() == codes.size())
        r.timing = timingOf(micros);

    QByteArray bytes = codes;
    if (mode == ReadMode::Serial) {
        r.parity = ReadBytes::parityOf(codes);
        if (r.parity != ReadParity::None) {
            bytes = ReadBytes::sevenBit(bytes);
            extra.sevenBitText = ReadText::visible(bytes);
            r.faults.append({ Kind::Parity, -1, {}, { ReadBytes::parityName(r.parity) } });
        }
    }
    qsizetype endingLength = 0;
    r.ending = ReadBytes::endingOf(bytes, endingLength);
    const QByteArray body = bytes.left(bytes.size() - endingLength);
    const QString typed = ReadText::decode(body);
    const QString utf8 = ReadText::utf8Text(body);

    const SymbologyIds::Leading prefix = SymbologyIds::leading(typed, mode == ReadMode::Keyboard);
    r.russianLayout = prefix.russian;
    // Every letter in the case Shift would not give: Caps Lock was on.
    r.capsLock = prefix.caps || (keys.letters > 0 && keys.caseAgainstShift == keys.letters);
    const qsizetype skip = prefix.id.id ? 3 : 0;
    const QList<int> uriTurned = mode == ReadMode::Keyboard && !prefix.russian
        ? guessLayout(typed, utf8, prefix, r, extra)
        : QList<int>();
    const QString meant = Layouts::keysMeant(typed, r.russianLayout, r.capsLock);
    if (prefix.id.id) {
        r.symbologyId = prefix.meant;
        r.symbologyArrivedAs = typed.left(3);
        extra.symbology = prefix.id;
    }
    r.data = meant.mid(skip);
    addLayoutFault(typed, meant, skip, uriTurned, r);
    if (r.capsLock)
        r.faults.append({ Kind::CapsLock, -1, {}, {} });
    r.keys = keys;
    if (keys.devices.size() > 1)
        r.faults.append({ Kind::KeysFromDevices, -1, {}, keys.devices });

    extra.content = judgeContent(r.data, prefix.id);
    r.marking = extra.content.marking;
    r.elements = extra.content.elements;
    r.faults.append(extra.content.faults);
    if (!utf8.isEmpty()) {
        if (mode == ReadMode::Keyboard)
            r.faults.append({ Kind::Utf8PerKey, -1, {}, { typed, utf8 } });
        else
            extra.utf8Text = utf8;
    }
    if (r.timing.known)
        findBoundary(micros, r);
    ReadReport::write(codes, r, extra);
    return r;
}

QStringList describeScanLineReads(const QList<ScanLineRead> &reads)
{
    bool typed = false;
    for (const ScanLineRead &read : reads)
        typed = typed || !read.typedDigits.isEmpty();
    if (reads.size() < 2 && !typed)
        return {};
    QStringList lines;
    if (reads.size() >= 2)
        lines.append(ReadText::plural(reads.size(), "чтение", "чтения", "чтений")
            + QStringLiteral(" в одной строке:"));
    for (qsizetype i = 0; i < reads.size(); ++i) {
        const ScanLineRead &read = reads[i];
        QString line = QString::number(i + 1) + QStringLiteral(") ");
        line += read.portDigits.isEmpty() ? QStringLiteral("цифр с порта нет")
                                          : QStringLiteral("с порта: ") + read.portDigits;
        if (!read.typedDigits.isEmpty())
            line += QStringLiteral("; набрано в поле: ") + read.typedDigits;
        line += read.carriageReturnTime.isEmpty()
            ? QStringLiteral("; без CR")
            : QStringLiteral("; CR в ") + read.carriageReturnTime;
        lines.append(line);
    }
    return lines;
}
