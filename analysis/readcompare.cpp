#include "readcompare.h"

#include "gs1parser.h"
#include "layouts.h"
#include "readbytes.h"
#include "readtext.h"
#include "symbologyids.h"

#include <QStringDecoder>

#include <vector>

namespace {

constexpr QChar gs(0x1D);
// The edit script's table stays within two megabytes; beyond it, reads are
// compared by their common start and end only.
constexpr qsizetype cellLimit = 1'000'000;
constexpr qsizetype sentenceLimit = 12;

QString shown(QStringView text, qsizetype most = 24)
{
    const QString visible = Gs1Parser::visibleText(text.left(most));
    return u'«' + visible + (text.size() > most ? QStringLiteral("…»") : QStringLiteral("»"));
}

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

// "после поля (21)": the field that a GS of the expected text ends.
QString fieldBefore(QStringView expected, qsizetype gsPosition)
{
    const qsizetype start = expected.left(gsPosition).lastIndexOf(gs) + 1;
    const Gs1Parse parse = Gs1Parser::parse(expected.mid(start, gsPosition - start));
    if (!parse.complete || parse.elements.isEmpty())
        return {};
    return QStringLiteral(" после поля (") + parse.elements.last().ai + u')';
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

QString describeHunk(const Hunk &h, QStringView expected, const StandIns &standIns)
{
    const QString where = QStringLiteral(" (позиция %1)").arg(h.position + 1);
    const QString received = standIns.restored(h);
    if (h.expected == gs) {
        const QString field = fieldBefore(expected, h.position);
        if (received.isEmpty())
            return QStringLiteral("потерян GS") + field + where;
        QString by;
        if (received == u"029" || received == u"0029")
            by = QStringLiteral("цифры Alt-кода ") + shown(received)
                + QStringLiteral(" (Alt-код GS не стал символом)");
        else if (Gs1Parser::separatorTextAt(received, 0) == received.size())
            by = QStringLiteral("текст ") + shown(received);
        else
            by = (received.size() == 1 ? QStringLiteral("символ ") : QStringLiteral("символы "))
                + shown(received);
        return QStringLiteral("GS") + field + QStringLiteral(" заменён на ") + by + where;
    }
    if (h.expected.isEmpty()) {
        if (h.position == 0)
            return QStringLiteral("в начале добавлено ") + shown(received);
        if (h.position == expected.size())
            return QStringLiteral("в конце добавлено ") + shown(received);
        return QStringLiteral("лишнее ") + shown(received)
            + QStringLiteral(" после позиции %1").arg(h.position);
    }
    if (h.received.isEmpty())
        return QStringLiteral("не хватает ") + shown(h.expected) + where;
    if (allPairs(h, caseInverted))
        return QStringLiteral("регистр букв обращён: ") + shown(received)
            + QStringLiteral(" вместо ") + shown(h.expected) + where;
    if (allPairs(h, layoutTurned))
        return QStringLiteral("буквы изменены раскладкой клавиатуры: ") + shown(received)
            + QStringLiteral(" вместо ") + shown(h.expected) + where;
    return QStringLiteral("вместо ") + shown(h.expected) + QStringLiteral(" пришло ")
        + shown(received) + where;
}

QString utf8OrEmpty(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// Characters Windows-1251 cannot hold become "?", as the log records them.
QString as1251(const QString &text, bool everyNonAscii)
{
    QString result = text;
    for (QChar &ch : result) {
        if (ch.unicode() >= 0x80 && (everyNonAscii || ReadText::toCp1251(ch) < 0))
            ch = u'?';
    }
    return result;
}

// The two texts as they are brought closer, step by step, and what each step
// found.
struct Comparison
{
    QString want; // the code's characters, as the log would have them
    QString got; // the read's
    QStringList verdict;
};

// Cyrillic in another encoding than the symbol's.
void compareEncoding(Comparison &c, const QByteArray &expected, const QString &utf8, bool keyboard)
{
    struct Variant
    {
        QString text;
        const char *sentence;
    };
    const Variant variants[] = {
        keyboard ? Variant { ReadText::decode(expected),
            "кириллица пришла байтами UTF-8, по символу на байт: " }
                 : Variant { as1251(utf8, false),
                     "кириллица пришла в Windows-1251 (байт на букву), а в символе она в UTF-8: " },
        { as1251(utf8, true), "буквы не из ASCII пришли знаками «?»: " },
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
    // The symbol's text itself, not its bytes as Windows-1251 would show them.
    c.verdict.append(QString::fromUtf8(chosen->sentence) + shown(c.got) + QStringLiteral(" вместо ")
        + shown(utf8));
    c.want = chosen->text;
}

// The keyboard layout and Caps Lock: whichever undoing brings the read
// closest to the code.
void compareKeys(Comparison &c)
{
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
    if (russian) {
        const qsizetype first = commonPrefix(typed, c.got);
        c.verdict.append(
            QStringLiteral(
                "буквы изменены раскладкой клавиатуры (русская вместо английской): пришло ")
            + shown(QStringView(typed).mid(first)) + QStringLiteral(", сканер имел в виду ")
            + shown(QStringView(c.got).mid(first)));
    }
    if (caps)
        c.verdict.append(QStringLiteral("регистр всех букв обращён: похоже, включён Caps Lock"));
}

// A symbology identifier and an ending that the code does not hold.
void compareFrame(Comparison &c)
{
    if (c.got.size() >= 3 && c.got[0] == u']' && !c.want.startsWith(c.got.left(3))) {
        const SymbologyId id = SymbologyIds::find(c.got.left(3));
        if (id.id) {
            c.verdict.append(QStringLiteral("добавлен идентификатор символики %1 — %2")
                                 .arg(c.got.left(3), QString::fromUtf8(id.name)));
            c.got.remove(0, 3);
        }
    }
    qsizetype gotLength = 0;
    qsizetype wantLength = 0;
    const ReadEnding gotEnd
        = ReadBytes::endingOf(QStringView(c.got).right(2).toLatin1(), gotLength);
    const ReadEnding wantEnd
        = ReadBytes::endingOf(QStringView(c.want).right(2).toLatin1(), wantLength);
    if (gotEnd == wantEnd)
        return;
    if (wantEnd == ReadEnding::None)
        c.verdict.append(QStringLiteral("добавлено окончание ") + ReadBytes::endingName(gotEnd));
    else if (gotEnd == ReadEnding::None)
        c.verdict.append(QStringLiteral("нет окончания ") + ReadBytes::endingName(wantEnd));
    else
        c.verdict.append(QStringLiteral("окончание ") + ReadBytes::endingName(gotEnd)
            + QStringLiteral(" вместо ") + ReadBytes::endingName(wantEnd));
    c.got.chop(gotLength);
    c.want.chop(wantLength);
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
        if (length == 0 && rest.startsWith(u"0029"))
            length = 4;
        else if (length == 0 && rest.startsWith(u"029"))
            length = 3;
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

QStringList compareReads(const QByteArray &expected, const QByteArray &received, ReadMode mode)
{
    const bool keyboard = mode == ReadMode::Keyboard;
    const bool nonAscii
        = std::any_of(expected.cbegin(), expected.cend(), [](char c) { return quint8(c) >= 0x80; });
    // Keyboard codes equal to the symbol's UTF-8 bytes are each byte typed as a
    // character of its own: no match.
    if (expected == received && (!keyboard || !nonAscii))
        return {};

    const QString utf8 = nonAscii ? utf8OrEmpty(expected) : QString();
    Comparison c;
    c.want = keyboard && !utf8.isEmpty() ? as1251(utf8, false) : ReadText::decode(expected);
    QByteArray bytes = received;
    if (const ReadParity parity = ReadBytes::parityOf(bytes); !keyboard
        && parity != ReadParity::None && ReadBytes::parityOf(expected) == ReadParity::None) {
        bytes = ReadBytes::sevenBit(bytes);
        c.verdict.append(
            QStringLiteral("байты пришли с битом чётности (%1): сканер передаёт 7 бит с контролем "
                           "чётности, а линия настроена на 8N1")
                .arg(parity == ReadParity::Even ? u"7E1" : u"7O1"));
    }
    c.got = ReadText::decode(bytes);
    if (!utf8.isEmpty())
        compareEncoding(c, expected, utf8, keyboard);
    if (keyboard)
        compareKeys(c);
    compareFrame(c);

    const StandIns standIns = findStandIns(c);
    if (c.want == standIns.got)
        return c.verdict;
    const auto hunks = editScript(c.want, standIns.got);
    if (!hunks) {
        const qsizetype first = commonPrefix(c.want, c.got);
        c.verdict.append(QStringLiteral("чтение расходится с кодом с позиции %1: %2 вместо %3")
                             .arg(QString::number(first + 1),
                                 ReadText::plural(c.got.size(), "символ", "символа", "символов"),
                                 QString::number(c.want.size())));
        return c.verdict;
    }
    for (qsizetype k = 0; k < hunks->size() && k < sentenceLimit; ++k)
        c.verdict.append(describeHunk(hunks->at(k), c.want, standIns));
    if (hunks->size() > sentenceLimit)
        c.verdict.append(QStringLiteral("…и ещё ")
            + ReadText::plural(hunks->size() - sentenceLimit, "отличие", "отличия", "отличий"));
    return c.verdict;
}
