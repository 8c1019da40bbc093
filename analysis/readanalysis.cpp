#include "readanalysis.h"

#include "layouts.h"
#include "markingcode.h"
#include "readbytes.h"
#include "readreport.h"
#include "readtext.h"
#include "symbologyids.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr QChar gs(0x1D);

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

struct Prefix
{
    SymbologyId id;
    QString meant;
    bool russian = false;
    bool caps = false;
};

// The symbology identifier leading the text, also as the Russian layout or
// Caps Lock turned its keys.
Prefix prefixOf(const QString &text, ReadMode mode)
{
    if (text.size() < 3)
        return {};
    const QString head = text.left(3);
    const bool keyboard = mode == ReadMode::Keyboard;
    for (const bool russian : { false, true }) {
        if (russian && (!keyboard || (head[0] != u'ъ' && head[0] != u'Ъ')))
            continue;
        for (const bool caps : { false, true }) {
            if (caps && !keyboard)
                continue;
            QString meant = Layouts::keysMeant(head, russian, caps);
            if (russian && meant[0] == u'}')
                meant[0] = u']'; // "Ъ": the same key, with Shift
            if (meant[0] != u']')
                continue;
            const SymbologyId id = SymbologyIds::find(meant);
            if (id.id)
                return { id, meant, russian, caps };
        }
    }
    return {};
}

bool hasRussianOnly(const QString &text)
{
    return std::any_of(
        text.cbegin(), text.cend(), [](QChar ch) { return Layouts::isRussianOnly(ch); });
}

// A read counts as GS1 data without an identifier saying so when it starts
// with an identifier and either holds a GS, or splits wholly into fields of the
// right lengths: several, or one GTIN or SSCC. Faults in the values (a check
// digit, a date) are then reported, not taken as proof of something else.
bool looksGs1(const QString &data, const Gs1Parse &parse)
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
    return parse.elements.size() >= 2 || first == u"00" || first == u"01";
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

void addElementFaults(ReadAnalysis &r)
{
    for (const Gs1Element &element : std::as_const(r.elements)) {
        if (!element.fault)
            continue;
        QStringList bad;
        for (const QString &note : element.notes) {
            if (!note.startsWith(QStringLiteral("контрольная цифра верна"))
                && !note.startsWith(QStringLiteral("дата:")))
                bad.append(note);
        }
        const QString field = element.ai.isEmpty() ? element.name : u'(' + element.ai + u')';
        r.faults.append(field + QStringLiteral(": ") + bad.join(QStringLiteral("; ")));
    }
}

// Cyrillic that arrived as UTF-8 bytes: the text they make, or empty.
QString utf8Text(const QByteArray &body)
{
    if (std::all_of(body.cbegin(), body.cend(), [](char c) { return quint8(c) < 0x80; }))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    return decoder.hasError() ? QString() : text;
}

} // namespace

ReadAnalysis analyzeRead(const QByteArray &codes, const QList<qint64> &micros, ReadMode mode)
{
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
            r.faults.append(
                QStringLiteral("похоже, сканер передаёт 7 бит с контролем чётности (%1): "
                               "настройте его на 8N1")
                    .arg(r.parity == ReadParity::Even ? u"7E1" : u"7O1"));
        }
    }
    qsizetype endingLength = 0;
    r.ending = ReadBytes::endingOf(bytes, endingLength);
    const QByteArray body = bytes.left(bytes.size() - endingLength);
    const QString typed = ReadText::decode(body);

    const Prefix prefix = prefixOf(typed, mode);
    r.russianLayout = prefix.russian;
    r.capsLock = prefix.caps;
    if (mode == ReadMode::Keyboard && !prefix.russian && hasRussianOnly(typed)) {
        const QString meant = Layouts::keysMeant(typed, true, prefix.caps);
        const qsizetype skip = prefix.id.id ? 3 : 0;
        if (structureScore(meant.mid(skip)) > structureScore(typed.mid(skip)))
            r.russianLayout = true;
        else if (typed.size() <= 200)
            extra.englishLayoutHint = Layouts::keysMeant(typed, true, false);
    }
    const QString meant = Layouts::keysMeant(typed, r.russianLayout, r.capsLock);
    if (prefix.id.id) {
        r.symbologyId = prefix.meant;
        r.symbologyArrivedAs = typed.left(3);
        extra.symbology = prefix.id;
    }
    r.data = meant.mid(prefix.id.id ? 3 : 0);
    if (r.russianLayout) {
        qsizetype first = 0;
        while (first < typed.size() && typed[first] == meant[first])
            ++first;
        r.faults.append(QStringLiteral(
            "клавиши набраны в русской раскладке: пришло «%1…», сканер имел в виду «%2…»")
                            .arg(Gs1Parser::visibleText(QStringView(typed).mid(first, 16)),
                                Gs1Parser::visibleText(QStringView(meant).mid(first, 16))));
    }
    if (r.capsLock)
        r.faults.append(QStringLiteral("регистр букв обращён: похоже, включён Caps Lock"));

    // 8, 12, 13 or 14 digits alone are an EAN/UPC or ITF-14 before GS1 data.
    const QString digits = prefix.id.gs1 ? QString() : ReadReport::digitsCheck(r.data);
    if (const auto marking = MarkingCode::match(r.data)) {
        r.marking = marking->shape;
        r.elements = marking->parts;
        r.faults.append(marking->faults);
        extra.markingLength = marking->expectedLength;
        extra.markingSeparators = marking->separators;
        extra.markingIdentificationOnly = marking->identificationOnly;
        addElementFaults(r);
    } else if (!digits.isEmpty()) {
        extra.digitsCheck = digits;
        if (digits.contains(QStringLiteral("неверна")))
            r.faults.append(digits);
    } else {
        const Gs1Parse parse = Gs1Parser::parse(r.data);
        if (prefix.id.gs1 || looksGs1(r.data, parse)) {
            r.elements = parse.elements;
            r.faults.append(parse.faults);
            extra.gs1Remarks = parse.remarks;
            extra.gs1 = true;
            addElementFaults(r);
        }
    }
    // A cigarette pack's code is no GS1 data: a plain Data Matrix is right for it.
    const bool gs1Content
        = extra.gs1 || extra.markingSeparators > 0 || extra.markingIdentificationOnly;
    if (gs1Content && prefix.id.id && !prefix.id.gs1) {
        r.faults.append(QStringLiteral(
            "данные GS1 пришли с идентификатором %1 (%2): символ напечатан без FNC1 "
            "в начале, и программа, которая ждёт GS1 (]C1, ]d2, ]Q3), может его отвергнуть")
                            .arg(r.symbologyId, QString::fromUtf8(prefix.id.name)));
    }
    if (const QString utf8 = utf8Text(body); !utf8.isEmpty()) {
        if (mode == ReadMode::Keyboard) {
            r.faults.append(QStringLiteral(
                "похоже, текст UTF-8 пришёл по байту на клавишу: имелось в виду «%1»")
                                .arg(Gs1Parser::visibleText(QStringView(utf8).left(40))));
        } else {
            extra.utf8Text = utf8;
        }
    }
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
