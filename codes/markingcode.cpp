#include "codes/markingcode.h"

#include "codes/readtext.h"
#include "gs1/gs1lint.h"

namespace {

constexpr QChar gs = ReadText::groupSeparator;

// The shapes of the Russian national marking codes ("Честный ЗНАК"), as the
// product groups' rules approved by the Government of the Russian Federation
// and the operator's published descriptions of the code composition
// (markirovka.ru, "Состав кода маркировки") give them:
// - footwear, clothing, tyres, medicines and others (e.g. decree No. 860 of
//   5 July 2019, footwear): 01 + GTIN (14 digits) + 21 + serial (13) + GS +
//   91 + verification key (4) + GS + 92 + verification code (44): 85 characters;
//   early footwear codes carry a verification code of 88 characters (129);
// - dairy products (decree No. 2099 of 15 December 2020): 01 + GTIN + 21 +
//   serial (6) + GS + 93 + verification code (4): 31 characters; packaged
//   water (decree No. 841 of 31 May 2021) the same with a serial of 13: 38;
// - a cigarette pack (decree No. 224 of 28 February 2019): GTIN (14) + serial
//   (7) + maximum retail price (4) + verification code (4), no identifiers and
//   no GS: 29 characters;
// - the identification code alone (01 + GTIN + 21 + serial), as documents
//   quote it: a read of only that lost everything after the first GS.
enum class Kind : quint8 { Literal, Digits, Characters, Separator };

struct Segment
{
    Kind kind;
    int length = 0;
    const char *text = nullptr; // the identifier of a literal, the title of a field
};

struct Shape
{
    const char *name;
    std::initializer_list<Segment> segments;
};

constexpr Segment sep { Kind::Separator };
constexpr Segment gtin { Kind::Digits, 14, "GTIN — код товара" };
constexpr Segment ai01 { Kind::Literal, 2, "01" };
constexpr Segment ai21 { Kind::Literal, 2, "21" };
constexpr Segment ai91 { Kind::Literal, 2, "91" };
constexpr Segment ai92 { Kind::Literal, 2, "92" };
constexpr Segment ai93 { Kind::Literal, 2, "93" };
constexpr Segment serial13 { Kind::Characters, 13, "индивидуальный серийный номер" };
constexpr Segment serial6 { Kind::Characters, 6, "индивидуальный серийный номер" };
constexpr Segment key4 { Kind::Characters, 4, "ключ проверки" };
constexpr Segment code4 { Kind::Characters, 4, "код проверки" };

const Shape shapes[] = {
    { "01 GTIN + 21 серийный номер (13) + GS + 91 ключ проверки (4) + GS + 92 "
      "код проверки (44)",
        { ai01, gtin, ai21, serial13, sep, ai91, key4, sep, ai92,
            { Kind::Characters, 44, "код проверки" } } },
    { "01 GTIN + 21 серийный номер (13) + GS + 91 ключ "
      "проверки (4) + GS + 92 код проверки (88)",
        { ai01, gtin, ai21, serial13, sep, ai91, key4, sep, ai92,
            { Kind::Characters, 88, "код проверки" } } },
    { "01 GTIN + 21 серийный номер (6) + GS + 93 код проверки (4)",
        { ai01, gtin, ai21, serial6, sep, ai93, code4 } },
    { "01 GTIN + 21 серийный номер (13) + GS + 93 код проверки (4)",
        { ai01, gtin, ai21, serial13, sep, ai93, code4 } },
    { "пачка табачных изделий: GTIN (14) + серийный номер (7) + МРЦ (4) + код "
      "проверки (4), без идентификаторов",
        { gtin, { Kind::Characters, 7, "серийный номер пачки" },
            { Kind::Characters, 4, "МРЦ — максимальная розничная цена (в коде)" }, code4 } },
};

// How a separator came.
struct SeparatorFound
{
    enum How : quint8 { Gs, Missing, AltDigits, Text, OtherCharacter } how;
    QString text;
    QString afterAi; // the field the GS ends
    qsizetype position = 0;
};

struct Attempt
{
    QList<SeparatorFound> separators;
    QList<std::pair<const Segment *, QStringView>> fields;
};

bool fieldFits(const Segment &segment, QStringView text)
{
    for (const QChar ch : text) {
        if (ch == gs || (segment.kind == Kind::Digits && (ch < u'0' || ch > u'9')))
            return false;
    }
    return true;
}

bool matchFrom(
    QStringView data, qsizetype pos, const Segment *segment, const Segment *end, Attempt &attempt)
{
    if (segment == end)
        return pos == data.size();
    const QStringView rest = data.mid(pos);
    if (segment->kind == Kind::Literal) {
        return rest.startsWith(QLatin1StringView(segment->text))
            && matchFrom(data, pos + 2, segment + 1, end, attempt);
    }
    if (segment->kind != Kind::Separator) {
        if (rest.size() < segment->length || !fieldFits(*segment, rest.left(segment->length)))
            return false;
        attempt.fields.append({ segment, rest.left(segment->length) });
        if (matchFrom(data, pos + segment->length, segment + 1, end, attempt))
            return true;
        attempt.fields.removeLast();
        return false;
    }
    // A separator follows a field, which follows its identifier.
    const QString afterAi = QString::fromLatin1((segment - 2)->text);
    // What may stand where the GS belongs, most likely first.
    QList<std::pair<SeparatorFound::How, qsizetype>> options;
    if (!rest.isEmpty() && rest.front() == gs)
        options.append({ SeparatorFound::Gs, 1 });
    if (const qsizetype text = Gs1Parser::separatorTextAt(data, pos); text > 0)
        options.append({ SeparatorFound::Text, text });
    if (const qsizetype digits = Gs1Parser::altCodeDigitsAt(rest, 0); digits > 0)
        options.append({ SeparatorFound::AltDigits, digits });
    options.append({ SeparatorFound::Missing, 0 });
    if (!rest.isEmpty() && rest.front() != gs)
        options.append({ SeparatorFound::OtherCharacter, 1 });
    for (const auto &[how, length] : options) {
        attempt.separators.append({ how, rest.left(length).toString(), afterAi, pos });
        if (matchFrom(data, pos + length, segment + 1, end, attempt))
            return true;
        attempt.separators.removeLast();
    }
    return false;
}

QList<Finding> separatorFaults(
    const QList<SeparatorFound> &separators, qsizetype length, int expected)
{
    using Kind = Finding::Kind;
    QList<Finding> faults;
    for (const SeparatorFound &s : separators) {
        switch (s.how) {
        case SeparatorFound::Gs:
            break;
        case SeparatorFound::Missing:
            faults.append({ Kind::GsLost, s.position, s.afterAi, {} });
            break;
        case SeparatorFound::AltDigits:
            faults.append({ Kind::GsReplaced, s.position, s.afterAi, { s.text }, Finding::GsReplacement::AltDigits });
            break;
        case SeparatorFound::Text:
            faults.append({ Kind::GsReplaced, s.position, s.afterAi, { s.text }, Finding::GsReplacement::Text });
            break;
        case SeparatorFound::OtherCharacter:
            faults.append({ Kind::GsReplaced, s.position, s.afterAi, { s.text }, Finding::GsReplacement::Character });
            break;
        }
    }
    if (!faults.isEmpty() && length != expected)
        faults.append({ Kind::MarkingLength, -1, {},
            { QString::number(length), QString::number(expected) } });
    return faults;
}

Gs1Element part(const Segment &segment, const char *ai, QStringView value)
{
    Gs1Element element = ai ? Gs1Parser::element(QString::fromLatin1(ai), value) : Gs1Element {};
    if (!ai) {
        element.value = value.toString();
        if (segment.kind == Kind::Digits) {
            const int wanted = Gs1::checkDigit(value.left(value.size() - 1));
            const bool right = value.back().unicode() - u'0' == wanted;
            element.notes.append(right
                    ? Finding { Finding::Kind::CheckDigitRight, -1, {}, {} }
                    : Finding { Finding::Kind::CheckDigitWrong, -1, {}, { QString::number(wanted) } });
            element.fault = !right;
        }
    }
    element.name = QString::fromUtf8(segment.text);
    return element;
}

// GS1 data with a marking code's identifiers in its order whose lengths do not
// fit: cut short (a scanner's or a host's length limit: the last field that came
// shorter than due, none after it), or a field of another length. The shape
// with the fewest fields amiss is taken.
std::optional<MarkingMatch> misfit(const Gs1Parse &parsed)
{
    using Finding::Kind::MarkingCut;
    std::optional<MarkingMatch> best;
    qsizetype fewest = 0;
    const QList<Gs1Element> &got = parsed.elements;
    for (const Shape &shape : shapes) {
        QList<std::pair<QLatin1StringView, int>> fields; // identifier, length
        const char *ai = nullptr;
        int expected = 0;
        for (const Segment &segment : shape.segments) {
            expected += segment.kind == Kind::Separator ? 1 : segment.length;
            if (segment.kind == Kind::Literal)
                ai = segment.text;
            else if (segment.kind != Kind::Separator && ai)
                fields.append({ QLatin1StringView(ai), segment.length });
        }
        if (fields.isEmpty() || got.size() < 3 || got.size() > fields.size())
            continue;
        QList<Finding> faults;
        for (qsizetype i = 0; i < got.size(); ++i) {
            if (got[i].ai != fields[i].first) {
                faults = { {} };
                break;
            }
            const qsizetype length = got[i].value.size();
            const bool last = i + 1 == got.size();
            if (last && length < fields[i].second)
                faults.append({ MarkingCut, -1, got[i].ai,
                    { QString::number(length), QString::number(fields[i].second) } });
            else if (length != fields[i].second)
                faults.append({ Finding::Kind::MarkingFieldLength, -1, got[i].ai,
                    { QString::number(length), QString::number(fields[i].second) } });
        }
        if (faults == QList<Finding> { {} })
            continue;
        // Cut at a field's end: the next one is the one missing.
        if (got.size() < fields.size()
            && (faults.isEmpty() || faults.back().kind != MarkingCut))
            faults.append({ MarkingCut, -1, QString(fields[got.size()].first),
                { QStringLiteral("0"), QString::number(fields[got.size()].second) } });
        if (faults.isEmpty() || (best && faults.size() >= fewest))
            continue;
        fewest = faults.size();
        best = MarkingMatch {};
        best->shape = QString::fromUtf8(shape.name);
        best->parts = got;
        best->expectedLength = expected;
        best->faults = faults;
    }
    return best;
}

} // namespace

namespace MarkingCode {

std::optional<MarkingMatch> match(QStringView data)
{
    // Marking codes are short; a long read is no marking code.
    if (data.size() > 200)
        return std::nullopt;
    for (const Shape &shape : shapes) {
        Attempt attempt;
        const Segment *first = shape.segments.begin();
        if (!matchFrom(data, 0, first, shape.segments.end(), attempt))
            continue;
        // Any 29 characters after 14 digits fit the pack's shape: it takes a
        // GTIN whose check digit holds, and no GS1 data that reads as such.
        if (first->kind == Kind::Digits
            && (Gs1::checkDigit(data.left(13)) != data[13].unicode() - u'0'
                || (data.startsWith(u"01") && Gs1Parser::parse(data).clean())))
            continue;
        MarkingMatch result;
        result.shape = QString::fromUtf8(shape.name);
        for (const Segment &segment : shape.segments) {
            result.expectedLength += segment.kind == Kind::Separator ? 1 : segment.length;
            result.separators += segment.kind == Kind::Separator ? 1 : 0;
        }
        const char *ai = nullptr;
        auto field = attempt.fields.cbegin();
        for (const Segment &segment : shape.segments) {
            if (segment.kind == Kind::Literal) {
                ai = segment.text;
            } else if (segment.kind != Kind::Separator) {
                result.parts.append(part(segment, ai, field->second));
                ++field;
                ai = nullptr;
            }
        }
        result.faults = separatorFaults(attempt.separators, data.size(), result.expectedLength);
        return result;
    }
    // The identification code alone: what is left when everything from the
    // first GS on was lost or cut off.
    const Gs1Parse parsed = Gs1Parser::parse(data);
    if (parsed.complete && parsed.elements.size() == 2 && parsed.elements[0].ai == u"01"
        && parsed.elements[1].ai == u"21" && !data.contains(gs)) {
        const qsizetype serial = parsed.elements[1].value.size();
        if (serial == 6 || serial == 7 || serial == 13) {
            MarkingMatch result;
            result.shape
                = QStringLiteral("01 GTIN + 21 серийный номер (%1), без кода проверки").arg(serial);
            result.identificationOnly = true;
            result.parts = parsed.elements;
            result.expectedLength = int(data.size());
            result.faults.append({ Finding::Kind::MarkingIdentificationOnly, -1, {}, {} });
            return result;
        }
    }
    if (parsed.complete && data.contains(gs))
        return misfit(parsed);
    return std::nullopt;
}

} // namespace MarkingCode
