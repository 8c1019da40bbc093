#include "analysis/readcompare.h"

#include "analysis/readbytes.h"
#include "codes/gs1parser.h"
#include "codes/layouts.h"
#include "codes/readtext.h"
#include "codes/symbologyids.h"
#include "text/codepages.h"

#include <vector>

namespace {

constexpr QChar gs = ReadText::groupSeparator;
// The edit script's table stays within two megabytes; beyond it, reads are
// compared by their common start and end only.
constexpr qsizetype cellLimit = 1'000'000;
constexpr qsizetype findingLimit = 12;

qsizetype commonPrefix(QStringView a, QStringView b)
{
    qsizetype n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

qsizetype commonSuffix(QStringView a, QStringView b, qsizetype prefix)
{
    qsizetype n = 0;
    while (n < a.size() - prefix && n < b.size() - prefix
        && a[a.size() - 1 - n] == b[b.size() - 1 - n])
        ++n;
    return n;
}

// How many characters the two have in common, in order.
qsizetype similarity(QStringView a, QStringView b)
{
    const qsizetype prefix = commonPrefix(a, b);
    const qsizetype suffix = commonSuffix(a, b, prefix);
    a = a.mid(prefix, a.size() - prefix - suffix);
    b = b.mid(prefix, b.size() - prefix - suffix);
    if (a.isEmpty() || b.isEmpty() || a.size() * b.size() > cellLimit)
        return prefix + suffix;
    std::vector<qsizetype> row(size_t(b.size() + 1), 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = 0;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[size_t(j)];
            row[size_t(j)] = a[i - 1] == b[j - 1] ? diagonal + 1 : qMax(above, row[size_t(j - 1)]);
            diagonal = above;
        }
    }
    return prefix + suffix + row.back();
}

struct Hunk
{
    qsizetype position; // in the expected text, from 0
    QString expected;
    QString received;
    qsizetype receivedPosition;
};

// A text that stood for a GS (digits of its Alt code, "<GS>") is one character
// for the edit script, so that it lines up with the GS it replaced.
constexpr QChar standIn(0xE000);

struct StandIns
{
    QString got; // the read, each text taken for a GS as one standIn
    QStringList texts; // those texts in order

    // The received text of a hunk with its stand-ins written out.
    QString restored(const Hunk &h) const
    {
        qsizetype index = got.left(h.receivedPosition).count(standIn);
        QString text;
        for (const QChar ch : h.received)
            text += ch == standIn ? texts.value(index++) : QString(ch);
        return text;
    }
};

// The differences as runs of characters left out and put in, by the longest
// common subsequence; null when the texts are too long for the table.
std::optional<QList<Hunk>> editScript(QStringView a, QStringView b)
{
    const qsizetype prefix = commonPrefix(a, b);
    const qsizetype suffix = commonSuffix(a, b, prefix);
    const QStringView x = a.mid(prefix, a.size() - prefix - suffix);
    const QStringView y = b.mid(prefix, b.size() - prefix - suffix);
    if (x.size() * y.size() > cellLimit)
        return std::nullopt;
    const qsizetype width = y.size() + 1;
    std::vector<quint16> table(size_t((x.size() + 1) * width), 0);
    for (qsizetype i = x.size() - 1; i >= 0; --i) {
        for (qsizetype j = y.size() - 1; j >= 0; --j) {
            table[size_t(i * width + j)] = x[i] == y[j]
                ? table[size_t((i + 1) * width + j + 1)] + 1
                : qMax(table[size_t((i + 1) * width + j)], table[size_t(i * width + j + 1)]);
        }
    }
    QList<Hunk> hunks;
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < x.size() || j < y.size()) {
        if (i < x.size() && j < y.size() && x[i] == y[j]) {
            ++i;
            ++j;
            continue;
        }
        Hunk hunk { prefix + i, {}, {}, prefix + j };
        while ((i < x.size() || j < y.size()) && !(i < x.size() && j < y.size() && x[i] == y[j])) {
            const bool drop = j == y.size()
                || (i < x.size()
                    && table[size_t((i + 1) * width + j)] >= table[size_t(i * width + j + 1)]);
            if (drop)
                hunk.expected += x[i++];
            else
                hunk.received += y[j++];
        }
        hunks.append(hunk);
    }
    return hunks;
}

// The identifier of the field that a GS of the expected text ends ("21"), or
// empty.
QString fieldBefore(QStringView expected, qsizetype gsPosition)
{
    const qsizetype start = expected.left(gsPosition).lastIndexOf(gs) + 1;
    const Gs1Parse parse = Gs1Parser::parse(expected.mid(start, gsPosition - start));
    if (!parse.complete || parse.elements.isEmpty())
        return {};
    return parse.elements.last().ai;
}

bool allPairs(const Hunk &h, bool (*related)(QChar, QChar))
{
    if (h.expected.size() != h.received.size())
        return false;
    for (qsizetype k = 0; k < h.expected.size(); ++k) {
        if (!related(h.expected[k], h.received[k]))
            return false;
    }
    return true;
}

bool caseInverted(QChar e, QChar r)
{
    return e != r && e.isLetter() && (e.toUpper() == r || e.toLower() == r);
}

bool layoutTurned(QChar e, QChar r)
{
    return e != r
        && (Layouts::russianFromUs(e) == r
            || Layouts::russianFromUs(Layouts::invertCase(e)[0]) == r);
}

Finding hunkFinding(const Hunk &h, QStringView expected, const StandIns &standIns)
{
    using Kind = Finding::Kind;
    const QString received = standIns.restored(h);
    if (h.expected == gs) {
        const QString field = fieldBefore(expected, h.position);
        if (received.isEmpty())
            return { Kind::GsLost, h.position, field, {} };
        const bool digits = Gs1Parser::altCodeDigitsAt(received, 0) == received.size();
        const bool text = Gs1Parser::separatorTextAt(received, 0) == received.size();
        using By = Finding::GsReplacement;
        return { Kind::GsReplaced, h.position, field, { received },
            digits ? By::AltDigits : text ? By::Text : By::Character };
    }
    if (h.expected.isEmpty())
        return { Kind::Extra, h.position, {}, { received, QString::number(expected.size()) } };
    if (h.received.isEmpty())
        return { Kind::Missing, h.position, {}, { h.expected } };
    if (allPairs(h, caseInverted))
        return { Kind::CaseInverted, h.position, {}, { h.expected, received } };
    if (allPairs(h, layoutTurned))
        return { Kind::LayoutTurned, h.position, {}, { h.expected, received } };
    return { Kind::Changed, h.position, {}, { h.expected, received } };
}

// Characters Windows-1251 cannot hold become "?", as the log records them.
QString asLogged(const QString &text, bool everyNonAscii)
{
    QString result = text;
    for (QChar &ch : result) {
        if (everyNonAscii && ch.unicode() >= 0x80)
            ch = u'?';
        else
            ch = CodePages::fromCp1251(CodePages::loggedCode(ch.unicode()));
    }
    return result;
}

// Two characters of the read from `at` as Windows-1251 bytes in hex, "…" when
// more follow.
QString readBytesAt(const QString &got, qsizetype at)
{
    QByteArray bytes;
    for (const QChar ch : QStringView(got).mid(at, 2))
        bytes += char(CodePages::loggedCode(ch.unicode()));
    return ReadText::hex(bytes) + (got.size() > at + 2 ? QStringLiteral(" …") : QString());
}

// The UTF-8 bytes of two characters of the code from byte `at`, in hex.
QString codeBytesAt(const QByteArray &expected, qsizetype at)
{
    qsizetype end = at;
    for (int n = 0; n < 2 && end < expected.size(); ++n) {
        ++end;
        while (end < expected.size() && (quint8(expected[end]) & 0xC0) == 0x80)
            ++end;
    }
    return ReadText::hex(expected.mid(at, end - at))
        + (expected.size() > end ? QStringLiteral(" …") : QString());
}

// The two texts as they are brought closer, step by step, and what each step
// found.
struct Comparison
{
    QString want; // the code's characters, as the log would have them
    QString got; // the read's
    SymbologyIds::Leading leading; // the identifier that leads the read
    QString arrivedId; // the characters it arrived as
    ReadComparison result;
};

// Cyrillic in another encoding than the symbol's.
void compareEncoding(Comparison &c, const QByteArray &expected, const QString &utf8, bool keyboard)
{
    using Kind = Finding::Kind;
    struct Variant
    {
        QString text;
        Kind kind;
    };
    const Variant variants[] = {
        keyboard ? Variant { ReadText::decode(expected), Kind::Utf8PerKey }
                 : Variant { asLogged(utf8, false), Kind::Utf8AsCp1251 },
        { asLogged(utf8, true), Kind::QuestionMarks },
    };
    qsizetype best = similarity(c.want, c.got);
    const Variant *chosen = nullptr;
    for (const Variant &v : variants) {
        if (v.text == c.want)
            continue;
        if (const qsizetype score = similarity(v.text, c.got); score > best) {
            best = score;
            chosen = &v;
        }
    }
    if (!chosen)
        return;
    if (chosen->kind == Kind::Utf8AsCp1251) {
        // Both texts read the same: their bytes show the fault.
        const qsizetype at = commonPrefix(c.want, c.got);
        c.result.faults.append({ chosen->kind, -1, {},
            { readBytesAt(c.got, at), codeBytesAt(expected, at), utf8 } });
    } else {
        // The symbol's text itself, not its bytes as Windows-1251 would show them.
        c.result.faults.append({ chosen->kind, -1, {}, { c.got, utf8 } });
    }
    c.want = chosen->text;
}

// The keyboard layout and Caps Lock: whichever undoing brings the read
// closest to the code.
void compareKeys(Comparison &c, const SymbologyIds::Leading &leading)
{
    using Kind = Finding::Kind;
    const QString typed = c.got;
    qsizetype best = similarity(c.want, typed);
    bool russian = false;
    bool caps = false;
    for (const bool r : { false, true }) {
        for (const bool k : { false, true }) {
            if (!r && !k)
                continue;
            const QString meant = Layouts::keysMeant(typed, r, k);
            if (const qsizetype score = similarity(c.want, meant); score > best) {
                best = score;
                c.got = meant;
                russian = r;
                caps = k;
            }
        }
    }
    // The identifier's keys, taken off before, tell the layout and Caps Lock too.
    // An identifier turned alone is the frame's fault: the data may still match.
    if (leading.russian && !russian) {
        c.result.frame.append({ Kind::RussianLayout, 0, {}, { c.arrivedId, leading.meant } });
    } else if (leading.russian) {
        c.result.faults.append({ Kind::RussianLayout, 0, {},
            { c.arrivedId + typed.left(14), leading.meant + c.got.left(14) } });
    } else if (russian) {
        const qsizetype first = commonPrefix(typed, c.got);
        c.result.faults.append(
            { Kind::RussianLayout, first, {}, { typed.mid(first), c.got.mid(first) } });
    }
    if (caps)
        c.result.faults.append({ Kind::CapsLock, -1, {}, {} });
    else if (leading.caps)
        c.result.frame.append({ Kind::CapsLock, -1, {}, {} });
}

// The identifier that leads the read, judged against the one due, and taken off.
void compareIdentifier(Comparison &c, const QByteArray &due)
{
    using Kind = Finding::Kind;
    const SymbologyId dueId = SymbologyIds::find(QString::fromLatin1(due));
    const QString dueName = dueId.id ? SymbologyIds::family(dueId) : QString();
    if (!c.leading.id.id || c.want.startsWith(c.got.left(3))) {
        c.leading = {};
        // GS1 data without its identifier (nor a GS first for FNC1): the host
        // cannot tell them from text.
        if (dueId.gs1() && !c.got.startsWith(gs))
            c.result.frame.append(
                { Kind::IdentifierMissing, -1, {}, { QString::fromLatin1(due), dueName } });
        return;
    }
    const SymbologyId &got = c.leading.id;
    c.result.identifier = c.leading.meant;
    c.arrivedId = c.got.left(3);
    c.got.remove(0, 3);
    const QString gotName = SymbologyIds::family(got);
    if (!dueId.id) {
        c.result.frame.append({ Kind::IdentifierAdded, -1, {}, { c.leading.meant, gotName } });
    } else if (c.leading.meant == QLatin1StringView(due)) {
        c.result.frame.append({ Kind::IdentifierRight, -1, {}, { c.leading.meant, dueName } });
    } else {
        // Modifier 3 of Code 39 and ITF: the check character verified and left out.
        using Why = Finding::IdentifierWhy;
        const Why why = dueId.gs1() && !got.gs1()     ? Why::Gs1Lost
            : !dueId.gs1() && got.gs1()                 ? Why::Gs1Added
            : c.leading.meant[1] != QLatin1Char(due[1]) ? Why::Symbology
            : c.leading.meant[2] == u'3'                ? Why::CheckRemoved
                                                        : Why::Modifier;
        c.result.frame.append({ Kind::IdentifierWrong, -1, {},
            { c.leading.meant, QString::fromLatin1(due), gotName, dueName }, why });
    }
}

// A leading GS (FNC1 first), an ending and a prefix that the code does not hold;
// what follows the whole code.
void compareFrame(Comparison &c)
{
    using Kind = Finding::Kind;
    if (c.got.startsWith(gs) && !c.want.startsWith(gs)) {
        c.result.frame.append({ Kind::LeadingGs, 0, {}, {} });
        c.got.remove(0, 1);
    }
    qsizetype gotLength = 0;
    qsizetype wantLength = 0;
    const ReadEnding gotEnd
        = ReadBytes::endingOf(QStringView(c.got).right(2).toLatin1(), gotLength);
    const ReadEnding wantEnd
        = ReadBytes::endingOf(QStringView(c.want).right(2).toLatin1(), wantLength);
    if (gotEnd != wantEnd) {
        if (wantEnd == ReadEnding::None)
            c.result.frame.append({ Kind::SuffixAdded, -1, {}, { ReadBytes::endingName(gotEnd) } });
        else if (gotEnd == ReadEnding::None)
            c.result.faults.append(
                { Kind::SuffixMissing, -1, {}, { ReadBytes::endingName(wantEnd) } });
        else
            c.result.faults.append({ Kind::SuffixOther, -1, {},
                { ReadBytes::endingName(gotEnd), ReadBytes::endingName(wantEnd) } });
        c.got.chop(gotLength);
        c.want.chop(wantLength);
    }
    if (c.want.isEmpty() || c.got.size() <= c.want.size())
        return;
    if (c.got.startsWith(c.want)) {
        // The whole code and more after it: another read joined to it, or a suffix.
        c.result.tail = c.got.mid(c.want.size());
        c.result.tailAt = c.want.size();
    } else if (c.got.endsWith(c.want)) {
        // Text before the whole code: a prefix the scanner was set to send.
        c.result.frame.append({ Kind::Prefix, 0, {}, { c.got.left(c.got.size() - c.want.size()) } });
        c.got = c.want;
    }
}

// Texts standing for a GS: each one that brings the read closer to the code
// counts as a GS replaced.
StandIns findStandIns(const Comparison &c)
{
    StandIns standIns { c.got, {} };
    if (!c.want.contains(gs))
        return standIns;
    QString asGs = c.got;
    qsizetype best = similarity(c.want, asGs);
    int tries = 0;
    for (qsizetype pos = 0; pos < standIns.got.size() && tries < 8; ++pos) {
        const QStringView rest = QStringView(standIns.got).mid(pos);
        qsizetype length = Gs1Parser::separatorTextAt(rest, 0);
        if (length == 0)
            length = Gs1Parser::altCodeDigitsAt(rest, 0);
        if (length == 0)
            continue;
        ++tries;
        QString trial = asGs;
        trial.replace(pos, length, gs);
        if (const qsizetype score = similarity(c.want, trial); score > best) {
            best = score;
            asGs = trial;
            standIns.texts.append(rest.left(length).toString());
            standIns.got.replace(pos, length, standIn);
        }
    }
    return standIns;
}

} // namespace

ReadComparison compareReads(const ExpectedCode &code, const QByteArray &received, ReadMode mode)
{
    using Kind = Finding::Kind;
    const QByteArray &expected = code.content;
    const bool keyboard = mode == ReadMode::Keyboard;
    const bool nonAscii
        = std::any_of(expected.cbegin(), expected.cend(), [](char c) { return quint8(c) >= 0x80; });
    Comparison c;
    const QString utf8 = nonAscii ? ReadText::utf8Text(expected) : QString();
    c.want = keyboard && !utf8.isEmpty() ? asLogged(utf8, false) : ReadText::decode(expected);
    QByteArray bytes = received;
    if (const ReadParity parity = ReadBytes::parityOf(bytes); !keyboard
        && parity != ReadParity::None && ReadBytes::parityOf(expected) == ReadParity::None) {
        bytes = ReadBytes::sevenBit(bytes);
        c.result.faults.append({ Kind::Parity, -1, {}, { ReadBytes::parityName(parity) } });
    }
    c.got = ReadText::decode(bytes);
    c.leading = SymbologyIds::leading(c.got, keyboard);
    compareIdentifier(c, code.symbologyId);
    // Keyboard codes equal to the symbol's UTF-8 bytes are each byte typed as a
    // character of its own: no match.
    if (!utf8.isEmpty() && (c.got != ReadText::decode(expected) || keyboard))
        compareEncoding(c, expected, utf8, keyboard);
    if (keyboard)
        compareKeys(c, c.leading);
    compareFrame(c);
    c.result.data = c.got;
    c.result.want = c.want;
    c.result.sameContent = c.want == c.got;
    const qsizetype same = similarity(c.want, c.got);
    c.result.likeness = c.want.size() + c.got.size() == 0
        ? 1
        : 2.0 * double(same) / double(c.want.size() + c.got.size());

    const StandIns standIns = findStandIns(c);
    if (c.want == standIns.got) {
        c.result.dataMatched = c.result.faults.isEmpty();
        return c.result;
    }
    if (!c.result.tail.isEmpty())
        return c.result;
    const auto hunks = editScript(c.want, standIns.got);
    if (!hunks) {
        const qsizetype first = commonPrefix(c.want, c.got);
        c.result.faults.append({ Kind::DivergesFrom, first, {},
            { QString::number(c.got.size()), QString::number(c.want.size()) } });
        return c.result;
    }
    for (qsizetype k = 0; k < hunks->size() && k < findingLimit; ++k)
        c.result.faults.append(hunkFinding(hunks->at(k), c.want, standIns));
    if (hunks->size() > findingLimit)
        c.result.faults.append(
            { Kind::MoreDifferences, -1, {}, { QString::number(hunks->size() - findingLimit) } });
    return c.result;
}
