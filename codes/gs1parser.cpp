#include "codes/gs1parser.h"

#include "codes/findingtext.h"
#include "codes/readtext.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1dictionary.h"
#include "gs1/gs1lint.h"
#include "text/notation.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr QChar gs = ReadText::groupSeparator;
// Longer texts are still split and judged, but not searched for lost GS.
constexpr qsizetype searchLimit = 1024;
// GS1 data has tens of fields; a long read of digits would split into
// thousands, which no one reads.
constexpr qsizetype elementLimit = 200;

using Kind = Finding::Kind;
using Gs1::LintError;
using Gs1::Linter;

Finding note(Kind kind, const QString &ai, QStringList args = {}, qsizetype position = -1)
{
    return Finding { kind, position, ai, std::move(args) };
}

QString aiName(const Gs1::AiEntry &entry, QStringView digits)
{
    QString name = QString::fromUtf8(entry.russianName ? entry.russianName : entry.title);
    const QLatin1StringView family(entry.family);
    if (family.endsWith(u'n') && family.startsWith(u'3') && digits.size() >= family.size()) {
        const int places = digits[family.size() - 1].unicode() - u'0';
        name += QStringLiteral(" (знаков после запятой: %1)").arg(places);
    }
    return name;
}

bool hasLinter(const Gs1::Component &component, std::initializer_list<Linter> linters)
{
    return std::any_of(std::begin(component.linters), std::end(component.linters), [&linters](Linter l) {
        return std::find(linters.begin(), linters.end(), l) != linters.end();
    });
}

// What a field's leading date says when its linter found it right: the date, or
// the month's end for day 00.
Finding dateNote(const QString &ai, QStringView value, bool dayZero)
{
    const int year = Gs1::fullYear(value.mid(0, 2).toInt());
    const int month = value.mid(2, 2).toInt();
    const int day = value.mid(4, 2).toInt();
    if (day == 0 && dayZero)
        return note(Kind::DateDayZero, ai,
            { QString::number(Gs1::daysInMonth(month, year)), Notation::monthOfYear(month, year) });
    return note(Kind::Date, ai, { Notation::date(day, month, year) });
}

// A fault of the dictionary's checks as a finding: the field's length, its
// check digit and its leading date as the operator knows them, any other as the
// linter names it.
Finding findingOf(const Gs1::AiEntry &entry, const QString &ai, QStringView value, const Gs1::LintFault &fault)
{
    const bool format = fault.linter == Linter::none;
    if (format && fault.error == LintError::TooShort && value.size() < entry.minLength())
        return note(Kind::TooShort, ai,
            { QString::number(value.size()), QString::number(entry.minLength()),
                QString::number(entry.maxLength()) });
    if (format && fault.error == LintError::TooLong)
        return note(Kind::TooLong, ai, { QString::number(value.size()), QString::number(entry.maxLength()) });
    if (fault.error == LintError::WrongCheckDigit)
        return note(Kind::CheckDigitWrong, ai, { QString::fromLatin1(fault.wanted) });
    const bool leadingDate = fault.component == 0 && (fault.linter == Linter::yymmdd || fault.linter == Linter::yymmd0);
    if (leadingDate && fault.error == LintError::BadMonth)
        return note(Kind::DateNoMonth, ai, { QString::number(value.mid(2, 2).toInt()) });
    if (leadingDate && fault.error == LintError::BadDay) {
        const QString monthYear = Notation::monthOfYear(
            value.mid(2, 2).toInt(), Gs1::fullYear(value.mid(0, 2).toInt()));
        return note(Kind::DateNoDay, ai, { monthYear, QString::number(value.mid(4, 2).toInt()) });
    }
    const bool length = fault.error == LintError::TooShort || fault.error == LintError::TooLong;
    Finding check = note(Kind::ContentCheck, ai,
        { QString::fromLatin1(Gs1::linterName(fault.linter)),
            value.mid(fault.offset, std::max(fault.length, 1)).toString(),
            // What was wanted: the length a part lacks or goes beyond, else the
            // check digit or pair.
            length ? QString::number(fault.argument) : QString::fromLatin1(fault.wanted) },
        fault.offset);
    check.sub = fault.error;
    return check;
}

// The one place where the dictionary's checks of a field become its notes: each
// fault a finding; characters outside the field's set said once, naming at most
// three; a check digit and a leading date said also when they hold.
void noteChecks(const Gs1::AiEntry &entry, QStringView value, Gs1Element &element)
{
    unsigned linted = 0;
    const QList<Gs1::LintFault> faults = Gs1::checkValue(entry, value, &linted);
    bool notDigits = false;
    QString strangers;
    bool checkWrong = false;
    bool dateWrong = false;
    for (const Gs1::LintFault &fault : faults) {
        const bool characters = fault.linter == Linter::none
            && (fault.error == LintError::NotDigit || fault.error == LintError::NotInSet82);
        if (!characters) {
            element.notes.append(findingOf(entry, element.ai, value, fault));
            checkWrong = checkWrong || fault.linter == Linter::csum;
            dateWrong = dateWrong || fault.component == 0;
            continue;
        }
        notDigits = notDigits || (fault.error == LintError::NotDigit && Gs1::inSet82(value[fault.offset].unicode()));
        for (const QChar ch : value.sliced(fault.offset)) {
            if (!Gs1::inSet82(ch.unicode()) && strangers.size() < 3 && !strangers.contains(ch))
                strangers.append(ch);
        }
    }
    if (notDigits)
        element.notes.prepend(note(Kind::NotDigits, element.ai));
    if (!strangers.isEmpty())
        element.notes.insert(notDigits ? 1 : 0, note(Kind::OutsideSet82, element.ai, { strangers }));
    for (int c = 0; c < entry.componentCount && !checkWrong; ++c) {
        if (hasLinter(entry.components[c], { Linter::csum })) {
            if (linted & (1U << c))
                element.notes.append(note(Kind::CheckDigitRight, element.ai));
            break;
        }
    }
    if (hasLinter(entry.components[0], { Linter::yymmdd, Linter::yymmd0 }) && (linted & 1U) && !dateWrong)
        element.notes.append(dateNote(element.ai, value, hasLinter(entry.components[0], { Linter::yymmd0 })));
    for (const Finding &f : std::as_const(element.notes)) {
        element.fault = element.fault || f.isFault();
        element.wrongLength = element.wrongLength || f.kind == Kind::TooShort || f.kind == Kind::TooLong;
    }
}

Gs1Element judge(const Gs1::AiEntry &entry, QStringView aiDigits, QStringView value)
{
    Gs1Element element;
    element.ai = aiDigits.toString();
    element.value = value.toString();
    element.name = aiName(entry, aiDigits);
    noteChecks(entry, value, element);
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

Scan scan(QStringView data)
{
    Scan s;
    Gs1Parse &r = s.result;
    qsizetype pos = 0;
    bool afterFixed = false;
    bool unknownSkipped = false;
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
        const Gs1::AiEntry *entry = Gs1::match(rest);
        const int predefined = Gs1::predefinedLength(rest);
        if (!entry) {
            // An AI GS1 has yet to assign whose digits give its length: the
            // fields after it can still be read.
            r.faults.append(note(Kind::UnknownAi, {}, { rest.left(4).toString() }, pos));
            if (predefined == 0 || predefined > rest.size())
                return s;
            unknownSkipped = true;
            afterFixed = false;
            pos += predefined;
            continue;
        }
        const qsizetype aiLength = qsizetype(std::strlen(entry->ai));
        // The field ends at a GS or a text standing for one; one of predefined
        // length ends by its length at the latest, and the search stops there.
        const qsizetype limit = predefined > 0 ? qMin(data.size(), pos + predefined) : data.size();
        qsizetype end = pos + aiLength;
        while (end < limit && data[end] != gs && literalSeparatorAt(data, end) == 0)
            ++end;
        const int most = entry->maxLength();
        if (predefined == 0 && entry->minLength() == most && end - pos - aiLength > most) {
            // A fixed-format field that needs a GS after it: the length rules
            // say where it ends.
            r.faults.append(note(Kind::NoGsAfterField, rest.left(aiLength).toString(),
                { QString::number(most), data.mid(pos + aiLength + most, 8).toString() },
                pos + aiLength + most));
            end = pos + aiLength + most;
        }
        r.elements.append(judge(*entry, rest.left(aiLength), data.mid(pos + aiLength, end - pos - aiLength)));
        s.valueStarts.append(pos + aiLength);
        afterFixed = predefined > 0;
        pos = end;
    }
    r.complete = !unknownSkipped;
    return s;
}

bool strongStart(const Gs1Parse &tail)
{
    // A field of predefined length whose check digit or date holds is no
    // accident of a serial number's characters.
    if (tail.elements.isEmpty())
        return false;
    const Gs1Element &first = tail.elements.first();
    if (Gs1::predefinedLength(first.ai) == 0)
        return false;
    return std::any_of(first.notes.cbegin(), first.notes.cend(), [](const Finding &f) {
        return f.kind == Kind::CheckDigitRight || f.kind == Kind::Date;
    });
}

// Where a variable field may have swallowed the next one because its GS was
// lost: the splits after which the rest reads as clean GS1 data.
void searchLostGs(QStringView data, Scan &s)
{
    Gs1Parse &r = s.result;
    for (qsizetype e = 0; e < r.elements.size(); ++e) {
        Gs1Element &element = r.elements[e];
        const Gs1::AiEntry *entry = Gs1::find(element.ai);
        if (Gs1::predefinedLength(element.ai) > 0 || !entry)
            continue;
        const int least = entry->minLength();
        const int most = entry->maxLength();
        if (least == most)
            continue;
        const bool tooLong = element.value.size() > most;
        const QStringView value = data.mid(s.valueStarts[e], element.value.size());
        QStringList splits;
        for (qsizetype p = qMax(1, least); p + 2 <= value.size() && p <= most && splits.size() < 3;
             ++p) {
            qsizetype skip = Gs1Parser::altCodeDigitsAt(value, p);
            if (skip > 0 && !Gs1::match(value.mid(p + skip)))
                skip = 0;
            // A split after Alt-code digits starts with them and a tab.
            const QString how
                = skip > 0 ? value.mid(p, skip).toString() + u'\t' : QString();
            const QStringView tailText = data.mid(s.valueStarts[e] + p + skip);
            if (!Gs1::match(tailText))
                continue;
            const Scan tail = scan(tailText);
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
    Scan s = scan(data);
    if (data.size() <= searchLimit)
        searchLostGs(data, s);
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
    const Gs1::AiEntry *entry = Gs1::find(ai);
    if (!entry) {
        Gs1Element unknown;
        unknown.ai = ai.toString();
        unknown.value = value.toString();
        return unknown;
    }
    return judge(*entry, ai, value);
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

} // namespace Gs1Parser
