#include "codes/gs1parser.h"

#include "codes/findingtext.h"
#include "codes/gs1ai.h"
#include "codes/readtext.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1dictionary.h"
#include "gs1/gs1lint.h"

#include <QDate>

#include <algorithm>
#include <cstring>

namespace {

constexpr QChar gs = ReadText::groupSeparator;
// Longer texts are still split and judged, but not searched for lost GS.
constexpr qsizetype searchLimit = 1024;
// GS1 data has tens of fields; a long read of digits would split into
// thousands, which no one reads.
constexpr qsizetype elementLimit = 200;

// The parts of a format such as "N3+X..9": type, least and most characters.
struct FormatPart
{
    char type = 'X';
    int least = 0;
    int most = 0;
};

struct Format
{
    FormatPart parts[3];
    int count = 0;
};

// Read without allocating: a long read may hold thousands of fields.
Format formatOf(const char *format)
{
    Format f;
    for (const char *p = format; *p && f.count < 3;) {
        FormatPart &part = f.parts[f.count++];
        part.type = *p++;
        int first = 0;
        while (*p >= '0' && *p <= '9')
            first = first * 10 + (*p++ - '0');
        if (p[0] == '.' && p[1] == '.') {
            p += 2;
            part.least = first == 0 ? 1 : first;
            while (*p >= '0' && *p <= '9')
                part.most = part.most * 10 + (*p++ - '0');
        } else {
            part.least = part.most = first;
        }
        if (*p == '+')
            ++p;
    }
    return f;
}

// The lengths the dictionary allows the AI's data, its optional components
// left out or given whole.
void range(QStringView aiDigits, int &least, int &most)
{
    const Gs1::AiEntry *entry = Gs1::find(aiDigits);
    least = entry ? entry->minLength() : 0;
    most = entry ? entry->maxLength() : 0;
}

using Kind = Finding::Kind;

Finding note(Kind kind, const QString &ai, QStringList args = {}, qsizetype position = -1)
{
    return Finding { kind, position, ai, std::move(args) };
}

QString aiName(const Gs1Ai &ai, QStringView digits)
{
    QString name = QString::fromUtf8(ai.name);
    const qsizetype n = qsizetype(std::strlen(ai.ai));
    if (ai.ai[n - 1] == 'n' && ai.ai[0] == '3' && digits.size() >= n) {
        const int places = digits[n - 1].unicode() - u'0';
        name += QStringLiteral(" (знаков после запятой: %1)").arg(places);
    }
    return name;
}

// Checks the characters against the format, naming at most three strangers.
void judgeCharacters(const char *format, QStringView value, Gs1Element &element)
{
    qsizetype pos = 0;
    QString strangers;
    bool notDigits = false;
    const Format f = formatOf(format);
    for (int p = 0; p < f.count; ++p) {
        const FormatPart &part = f.parts[p];
        for (int i = 0; i < part.most && pos < value.size(); ++i, ++pos) {
            const QChar ch = value[pos];
            const bool ok = part.type == 'N' ? (ch >= u'0' && ch <= u'9')
                : part.type == 'Y'           ? Gs1Ais::inSet39(ch)
                                             : Gs1Ais::inSet82(ch);
            if (ok)
                continue;
            if (part.type == 'N' && Gs1Ais::inSet82(ch))
                notDigits = true;
            else if (strangers.size() < 3 && !strangers.contains(ch))
                strangers.append(ch);
        }
    }
    if (notDigits) {
        element.notes.append(note(Kind::NotDigits, element.ai));
        element.fault = true;
    }
    if (!strangers.isEmpty()) {
        element.notes.append(note(Kind::OutsideSet82, element.ai, { strangers }));
        element.fault = true;
    }
}

bool allDigits(QStringView text)
{
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return !text.isEmpty();
}

int number(QStringView digits)
{
    return digits.toInt();
}

// A date YYMMDD by the GS1 rule for the century (General Specifications,
// section 7.12): the year lies from 49 years back to 50 years ahead of today.
void judgeDate(
    QStringView digits, bool dayZeroAllowed, bool withTime, int thisYear, Gs1Element &element)
{
    if (digits.size() < 6 || !allDigits(digits.left(6)))
        return;
    const int yy = number(digits.mid(0, 2));
    const int mm = number(digits.mid(2, 2));
    const int dd = number(digits.mid(4, 2));
    int year = thisYear - thisYear % 100 + yy;
    if (year - thisYear > 50)
        year -= 100;
    else if (thisYear - year > 49)
        year += 100;
    if (mm < 1 || mm > 12) {
        element.notes.append(note(Kind::DateNoMonth, element.ai, { QString::number(mm) }));
        element.fault = true;
        return;
    }
    const int days = QDate(year, mm, 1).daysInMonth();
    const QString monthYear = QStringLiteral("%1.%2").arg(mm, 2, 10, QLatin1Char('0')).arg(year);
    if (dd == 0 && dayZeroAllowed) {
        element.notes.append(
            note(Kind::DateDayZero, element.ai, { QString::number(days), monthYear }));
    } else if (dd < 1 || dd > days) {
        element.notes.append(note(Kind::DateNoDay, element.ai, { monthYear, QString::number(dd) }));
        element.fault = true;
    } else {
        element.notes.append(note(Kind::Date, element.ai,
            { QStringLiteral("%1.%2").arg(dd, 2, 10, QLatin1Char('0')).arg(monthYear) }));
    }
    // 7003 and 8008 go on with hours and minutes; 7007, a date range, with a
    // second date, which is no time of day.
    if (!withTime)
        return;
    if (digits.size() >= 8 && allDigits(digits.mid(6, 2)) && number(digits.mid(6, 2)) > 23) {
        element.notes.append(note(Kind::HourTooLarge, element.ai));
        element.fault = true;
    }
    if (digits.size() >= 10 && allDigits(digits.mid(8, 2)) && number(digits.mid(8, 2)) > 59) {
        element.notes.append(note(Kind::MinuteTooLarge, element.ai));
        element.fault = true;
    }
}

// The dictionary's content checks beyond what is judged above (lengths, the
// character sets, the first check digit, the first date and 7003's and 8008's
// time): country and currency codes, IBAN, check pairs, flags, coordinates,
// coupons and the rest, and what the checks above judge more coarsely (a
// component's length within the field's, a second date, a time of day).
void judgeByDictionary(QStringView aiDigits, QStringView value, Gs1Element &element)
{
    using Gs1::LintError;
    const Gs1::AiEntry *entry = Gs1::find(aiDigits);
    if (!entry)
        return;
    const auto noted = [&element](std::initializer_list<Kind> kinds) {
        return std::any_of(element.notes.cbegin(), element.notes.cend(), [&kinds](const Finding &f) {
            return std::find(kinds.begin(), kinds.end(), f.kind) != kinds.end();
        });
    };
    for (const Gs1::LintFault &fault : Gs1::checkValue(*entry, value)) {
        bool said = false;
        switch (fault.error) {
        case LintError::TooShort:
        case LintError::TooLong:
            said = element.wrongLength;
            break;
        case LintError::NotDigit:
        case LintError::NotInSet82:
            said = noted({ Kind::NotDigits, Kind::OutsideSet82 });
            break;
        case LintError::WrongCheckDigit:
            said = noted({ Kind::CheckDigitWrong });
            break;
        case LintError::BadMonth:
        case LintError::BadDay:
            said = fault.offset < 6 && noted({ Kind::DateNoMonth, Kind::DateNoDay });
            break;
        case LintError::BadHour:
            said = noted({ Kind::HourTooLarge });
            break;
        case LintError::BadMinute:
            said = noted({ Kind::MinuteTooLarge });
            break;
        default:
            break;
        }
        if (said)
            continue;
        Finding check = note(Kind::ContentCheck, element.ai,
            { QString::fromLatin1(Gs1::linterName(fault.linter)),
                value.mid(fault.offset, std::max(fault.length, 1)).toString(),
                // What was wanted: the length a part lacks or goes beyond, else
                // the check digit or pair.
                fault.error == LintError::TooShort || fault.error == LintError::TooLong
                    ? QString::number(fault.argument)
                    : QString::fromLatin1(fault.wanted) },
            fault.offset);
        check.sub = fault.error;
        element.notes.append(check);
        element.fault = true;
    }
}

Gs1Element judge(const Gs1Ai &ai, QStringView aiDigits, QStringView value, int thisYear)
{
    Gs1Element element;
    element.ai = aiDigits.toString();
    element.value = value.toString();
    element.name = aiName(ai, aiDigits);
    int least = 0;
    int most = 0;
    range(aiDigits, least, most);
    if (value.size() < least) {
        element.notes.append(note(Kind::TooShort, element.ai,
            { QString::number(value.size()), QString::number(least), QString::number(most) }));
        element.fault = element.wrongLength = true;
    } else if (value.size() > most) {
        element.notes.append(note(
            Kind::TooLong, element.ai, { QString::number(value.size()), QString::number(most) }));
        element.fault = element.wrongLength = true;
    }
    judgeCharacters(ai.format, value, element);
    if (ai.checkDigits > 0 && value.size() >= ai.checkDigits
        && allDigits(value.left(ai.checkDigits))) {
        const QStringView checked = value.mid(ai.checkFrom, ai.checkDigits - ai.checkFrom - 1);
        const int wanted = Gs1Parser::checkDigit(checked);
        const int given = value[ai.checkDigits - 1].unicode() - u'0';
        if (wanted == given) {
            element.notes.append(note(Kind::CheckDigitRight, element.ai));
        } else {
            element.notes.append(
                note(Kind::CheckDigitWrong, element.ai, { QString::number(wanted) }));
            element.fault = true;
        }
    }
    if (ai.date) {
        const bool dayZero = aiDigits.size() == 2; // 11 to 17: DD 00 is the month's end
        const bool withTime = aiDigits == u"7003" || aiDigits == u"8008";
        judgeDate(value, dayZero, withTime, thisYear, element);
    }
    judgeByDictionary(aiDigits, value, element);
    return element;
}

// The texts that scanners and their set-up tools send where a GS belongs, when
// the host or the set-up cannot give it: every one found is a GS replaced.
constexpr const char16_t *literalSeparators[]
    = { u"<GS>", u"{GS}", u"[GS]", u"(GS)", u"^]", u"\\x1D", u"\\u001D", u"<FNC1>" };

} // namespace

qsizetype Gs1Parser::separatorTextAt(QStringView data, qsizetype pos)
{
    // Every text starts with one of these: most characters are ruled out at once.
    if (pos >= data.size() || !QStringView(u"<{[(^\\").contains(data[pos]))
        return 0;
    for (const char16_t *token : literalSeparators) {
        const QStringView t(token);
        if (data.mid(pos).startsWith(t, Qt::CaseInsensitive))
            return t.size();
    }
    return 0;
}

namespace {

qsizetype literalSeparatorAt(QStringView data, qsizetype pos)
{
    return Gs1Parser::separatorTextAt(data, pos);
}

struct Scan
{
    Gs1Parse result;
    // Where each element's value starts and whether it ended at a GS, for the
    // search for lost GS.
    QList<qsizetype> valueStarts;
};

Scan scan(QStringView data, int thisYear)
{
    Scan s;
    Gs1Parse &r = s.result;
    qsizetype pos = 0;
    bool afterFixed = false;
    while (pos < data.size()) {
        if (r.elements.size() == elementLimit) {
            r.faults.append(note(Kind::FieldLimit, {},
                { QString::number(elementLimit), QString::number(data.size() - pos) }, pos));
            return s;
        }
        if (data[pos] == gs) {
            if (pos == 0)
                r.remarks.append(note(Kind::LeadingGs, {}, {}, 0));
            else if (afterFixed)
                r.remarks.append(note(Kind::GsAfterFixed, r.elements.last().ai, {}, pos));
            else if (data[pos - 1] == gs)
                r.faults.append(note(Kind::TwoGs, {}, {}, pos));
            afterFixed = false;
            ++pos;
            continue;
        }
        if (const qsizetype token = literalSeparatorAt(data, pos); token > 0 && pos > 0) {
            r.faults.append(note(Kind::SeparatorText, {}, { data.mid(pos, token).toString() }, pos));
            pos += token;
            afterFixed = false;
            continue;
        }
        const QStringView rest = data.mid(pos);
        const Gs1Ai ai = Gs1Ais::find(rest);
        if (!ai.ai) {
            r.faults.append(note(Kind::UnknownAi, {}, { rest.left(4).toString() }, pos));
            return s;
        }
        const qsizetype aiLength = qsizetype(std::strlen(ai.ai));
        const int predefined = Gs1Ais::predefinedLength(rest);
        // The field ends at a GS or a text standing for one; one of predefined
        // length ends by its length at the latest, and the search stops there.
        const qsizetype limit = predefined > 0 ? qMin(data.size(), pos + predefined) : data.size();
        qsizetype end = pos + aiLength;
        while (end < limit && data[end] != gs && literalSeparatorAt(data, end) == 0)
            ++end;
        int least = 0;
        int most = 0;
        range(rest.left(aiLength), least, most);
        if (predefined == 0 && least == most && end - pos - aiLength > most) {
            // A fixed-format field that needs a GS after it: the length rules
            // say where it ends.
            r.faults.append(note(Kind::NoGsAfterField, rest.left(aiLength).toString(),
                { QString::number(most), data.mid(pos + aiLength + most, 8).toString() },
                pos + aiLength + most));
            end = pos + aiLength + most;
        }
        r.elements.append(judge(
            ai, rest.left(aiLength), data.mid(pos + aiLength, end - pos - aiLength), thisYear));
        s.valueStarts.append(pos + aiLength);
        afterFixed = predefined > 0;
        pos = end;
    }
    r.complete = true;
    return s;
}

bool strongStart(const Gs1Parse &tail)
{
    // A field of predefined length whose check digit or date holds is no
    // accident of a serial number's characters.
    if (tail.elements.isEmpty())
        return false;
    const Gs1Element &first = tail.elements.first();
    if (Gs1Ais::predefinedLength(first.ai) == 0)
        return false;
    return std::any_of(first.notes.cbegin(), first.notes.cend(), [](const Finding &f) {
        return f.kind == Kind::CheckDigitRight || f.kind == Kind::Date;
    });
}

// Where a variable field may have swallowed the next one because its GS was
// lost: the splits after which the rest reads as clean GS1 data.
void searchLostGs(QStringView data, int thisYear, Scan &s)
{
    Gs1Parse &r = s.result;
    for (qsizetype e = 0; e < r.elements.size(); ++e) {
        Gs1Element &element = r.elements[e];
        if (Gs1Ais::predefinedLength(element.ai) > 0)
            continue;
        int least = 0;
        int most = 0;
        range(element.ai, least, most);
        if (least == most)
            continue;
        const bool tooLong = element.value.size() > most;
        const QStringView value = data.mid(s.valueStarts[e], element.value.size());
        QStringList splits;
        for (qsizetype p = qMax(1, least); p + 2 <= value.size() && p <= most && splits.size() < 3;
             ++p) {
            qsizetype skip = Gs1Parser::altCodeDigitsAt(value, p);
            if (skip > 0 && !Gs1Ais::find(value.mid(p + skip)).ai)
                skip = 0;
            // A split after Alt-code digits starts with them and a tab.
            const QString how
                = skip > 0 ? value.mid(p, skip).toString() + u'\t' : QString();
            const QStringView tailText = data.mid(s.valueStarts[e] + p + skip);
            if (!Gs1Ais::find(tailText).ai)
                continue;
            const Scan tail = scan(tailText, thisYear);
            if (!tail.result.complete || !tail.result.faults.isEmpty())
                continue;
            bool tailClean = true;
            for (const Gs1Element &t : tail.result.elements)
                tailClean = tailClean && !t.fault;
            if (!tailClean || !(tooLong || skip > 0 || strongStart(tail.result)))
                continue;
            QString split
                = u'(' + element.ai + QStringLiteral(") ") + ReadText::visibleText(value.left(p));
            for (const Gs1Element &t : tail.result.elements)
                split += QStringLiteral(" (") + t.ai + QStringLiteral(") ")
                    + ReadText::visibleText(t.value);
            splits.append(how + split);
        }
        if (splits.isEmpty()) {
            if (tooLong)
                r.faults.append(note(Kind::FieldTooLong, element.ai));
            continue;
        }
        element.notes.append(note(Kind::WithNext, element.ai));
        r.faults.append(note(Kind::AmbiguousBoundary, element.ai, splits));
    }
}

} // namespace

namespace {

// The dictionary's associations over the fields: one that requires another, two
// that exclude each other, one AI twice with different values.
void judgeAssociations(Gs1Parse &r)
{
    using Fault = Gs1::AssociationFault;
    QList<Gs1::AiValue> fields;
    fields.reserve(r.elements.size());
    for (const Gs1Element &e : r.elements)
        fields.append({ e.ai, e.value });
    for (const Fault &fault : Gs1::checkAssociations(fields)) {
        const QString other = fault.other >= 0 ? r.elements[fault.other].ai : QString();
        Finding association = note(
            Kind::Association, r.elements[fault.element].ai, { other, QString(fault.requirement) });
        association.sub = fault.kind;
        r.faults.append(association);
    }
}

} // namespace

bool Gs1Parse::clean() const
{
    if (!complete || !faults.isEmpty())
        return false;
    for (const Gs1Element &element : elements) {
        if (element.fault)
            return false;
    }
    return true;
}

namespace Gs1Parser {

Gs1Parse parse(QStringView data)
{
    const int thisYear = QDate::currentDate().year();
    Scan s = scan(data, thisYear);
    if (data.size() <= searchLimit)
        searchLostGs(data, thisYear, s);
    if (s.result.complete)
        judgeAssociations(s.result);
    return s.result;
}

Gs1Parse parseFields(const QList<std::pair<QString, QString>> &fields)
{
    Gs1Parse r;
    for (const auto &[ai, value] : fields)
        r.elements.append(element(ai, value));
    r.complete = true;
    judgeAssociations(r);
    return r;
}

Gs1Element element(QStringView ai, QStringView value)
{
    const Gs1Ai entry = Gs1Ais::find(ai);
    if (!entry.ai) {
        Gs1Element unknown;
        unknown.ai = ai.toString();
        unknown.value = value.toString();
        return unknown;
    }
    return judge(entry, ai, value, QDate::currentDate().year());
}

QString bracketed(const QList<Gs1Element> &elements)
{
    QString text;
    for (const Gs1Element &e : elements)
        text += u'(' + e.ai + u')' + ReadText::visibleText(e.value);
    return text;
}

QString describe(const Gs1Element &element)
{
    QString text = element.ai.isEmpty() ? QString() : u'(' + element.ai + QStringLiteral(") ");
    text += ReadText::visibleText(element.value) + QStringLiteral(" — ") + element.name;
    for (const Finding &note : element.notes)
        text += QStringLiteral("; ") + FindingText::sentence(note);
    return text;
}

qsizetype altCodeDigitsAt(QStringView data, qsizetype pos)
{
    const QStringView rest = data.mid(pos);
    return rest.startsWith(u"0029") ? 4 : rest.startsWith(u"029") ? 3 : 0;
}

int checkDigit(QStringView digits)
{
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        sum += (digits[i].unicode() - u'0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

} // namespace Gs1Parser
