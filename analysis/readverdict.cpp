#include "analysis/readverdict.h"

#include "analysis/readanalysis.h"
#include "analysis/readbytes.h"
#include "codes/findingtext.h"
#include "codes/gs1parser.h"
#include "codes/markingcode.h"
#include "codes/readtext.h"
#include "codes/symbologyids.h"
#include "text/notation.h"

namespace {

using Kind = Finding::Kind;

// Reads of the same code closer than this are one scan read twice: a trigger
// pressed again, or a scanner's own repeat, is slower. Scanners that repeat a
// read on purpose wait a set time before they send the same code again, 500 ms
// and more.
constexpr qint64 doubleReadMicros = 500'000;
// Below this share of characters in common, a read is of another code.
constexpr double sameCodeLikeness = 0.6;
// What follows the whole code and is this long, or starts with an identifier, is
// a read of its own rather than a suffix.
constexpr qsizetype readOfItsOwn = 8;

// What the data of another code are, by their identifier or their shape; `arrived`
// is the read as it came.
Finding otherCode(const ReadComparison &c, const QString &arrived)
{
    if (const SymbologyId id = SymbologyIds::find(c.identifier); id.id)
        return { Kind::OtherCode, -1, {}, { SymbologyIds::family(id), c.identifier, arrived } };
    QString shape;
    if (const auto digits = digitsCheck(c.data, QString()))
        shape = digits->args.value(0);
    else if (MarkingCode::match(c.data))
        shape = QStringLiteral("код маркировки");
    return { Kind::OtherCode, -1, {}, { shape, {}, arrived } };
}

// Another code: quoted as it came, with what the read itself says of how it
// came (parity, layout, Caps Lock, encoding), not judged against the shown
// code's identifier.
void addOtherCode(const ReadComparison &c, const ArrivedRead &read, ReadVerdict &v)
{
    v.findings.removeIf([](const Finding &f) {
        return f.kind == Kind::IdentifierWrong || f.kind == Kind::IdentifierMissing
            || f.kind == Kind::IdentifierRight;
    });
    const ReadAnalysis own = analyzeRead(read.codes, read.micros, read.mode);
    for (const Finding &f : own.faults) {
        if (f.kind == Kind::Parity || f.kind == Kind::RussianLayout || f.kind == Kind::UriLayout
            || f.kind == Kind::CapsLock || f.kind == Kind::Utf8PerKey)
            v.findings.append(f);
    }
    qsizetype endingLength = 0;
    ReadBytes::endingOf(read.codes, endingLength);
    v.findings.append(otherCode(c, ReadText::decode(QByteArrayView(read.codes).chopped(endingLength))));
}

// A read that is the start of the code's content, a quarter of it at least or
// its first GS1 fields whole: cut, with the last field it holds whole. Not a
// read whose identifier says the scanner left the check character out.
std::optional<Finding> cutRead(const ExpectedCode &expected, const ReadComparison &c)
{
    const qsizetype n = c.data.size();
    if (n == 0 || n >= c.want.size() || !c.want.startsWith(c.data))
        return std::nullopt;
    for (const Finding &f : c.frame) {
        if (f.kind == Kind::IdentifierWrong && f.sub == Finding::IdentifierWhy::CheckRemoved)
            return std::nullopt;
    }
    const bool gs1 = c.want.contains(ReadText::groupSeparator)
        || SymbologyIds::find(QString::fromLatin1(expected.symbologyId)).gs1();
    QString lastWhole;
    bool atBoundary = false;
    qsizetype at = 0;
    const QList<Gs1Element> fields = gs1 ? Gs1Parser::parse(c.want).elements : QList<Gs1Element>();
    for (const Gs1Element &e : fields) {
        if (QStringView(c.want).mid(at, e.ai.size()) != e.ai)
            break;
        const qsizetype end = at + e.ai.size() + e.value.size();
        if (end > n)
            break;
        const bool gsNext = end < c.want.size() && c.want[end] == ReadText::groupSeparator;
        lastWhole = e.ai;
        atBoundary = end == n || (gsNext && end + 1 == n);
        at = end + (gsNext ? 1 : 0);
    }
    if (n * 4 < c.want.size() && !atBoundary)
        return std::nullopt;
    return Finding { Kind::Cut, n, lastWhole,
        { QString::number(n), QString::number(c.want.size()) } };
}

bool otherSymbology(const ReadComparison &c, const QByteArray &due)
{
    return !c.identifier.isEmpty() && due.size() == 3 && c.identifier[1] != QLatin1Char(due[1]);
}

// The GS1 rules the code's content breaks, judged on the analysis's one path
// under the identifier due (where any will do, the one that came); only where
// none is due is GS1 data under an identifier that says none a fault of the
// read: otherwise the identifier is judged against the one due.
void addGs1Faults(const ExpectedCode &expected, const ReadComparison &c, ReadVerdict &v)
{
    if (!c.sameContent)
        return; // the differences tell what went wrong
    const bool anyId = expected.symbologyId.isEmpty();
    const SymbologyId id
        = SymbologyIds::find(anyId ? c.identifier : QString::fromLatin1(expected.symbologyId));
    for (const Finding &f : judgeContent(c.data, id).faults) {
        if (f.breaksGs1Rule() && (anyId || f.kind != Kind::Gs1WithoutFnc1))
            v.findings.append(f);
    }
}

QString joinedWithAnd(const QStringList &parts)
{
    if (parts.size() < 2)
        return parts.value(0);
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" и ")
        + parts.back();
}

} // namespace

QString ReadVerdict::text() const
{
    QStringList additions;
    QStringList faults;
    QStringList warnings;
    QString other;
    for (const Finding &f : findings) {
        const QString sentence = FindingText::sentence(f, stampsOf(mode));
        if (f.kind == Kind::OtherCode)
            other = sentence;
        else if (f.isAddition())
            additions.append(sentence);
        else if (f.isWarning())
            warnings.append(QStringLiteral("Предупреждение (данные верны): ") + sentence);
        else
            faults.append(QStringLiteral("• ") + sentence);
    }
    QString head;
    if (otherCode) {
        head = other;
        head[0] = head[0].toUpper();
    } else {
        head = matched ? QStringLiteral("Данные совпали байт в байт")
                       : QStringLiteral("Данные не совпали");
    }
    if (!additions.isEmpty())
        head += QStringLiteral("; сканер добавил ") + joinedWithAnd(additions);
    head += u'.';
    QStringList lines = QStringList { head } + faults + warnings;
    if (!devices.isEmpty())
        lines.append((devices.size() == 1 ? QStringLiteral("Клавиши пришли с устройства ")
                                          : QStringLiteral("Клавиши пришли с устройств "))
            + devices.join(QStringLiteral(", ")) + u'.');
    return lines.join(u'\n');
}

QStringList ReadVerdict::faultNames() const
{
    QStringList names;
    for (const Finding &f : findings) {
        if (f.isFault() && !names.contains(f.shortName()))
            names.append(f.shortName());
    }
    return names;
}

QStringList ReadVerdict::warningNames() const
{
    QStringList names;
    for (const Finding &f : findings) {
        if (f.isWarning() && !names.contains(f.shortName()))
            names.append(f.shortName());
    }
    return names;
}

ReadVerdict judgeRead(
    const ExpectedCode &expected, const ArrivedRead &read, const ArrivedRead *previous)
{
    const ReadComparison c = compareReads(expected, read.codes, read.mode);
    ReadVerdict v;
    v.devices = read.devices;
    v.mode = read.mode;
    v.findings = c.frame;
    if (!c.tail.isEmpty()) {
        // The code's content, and then more: a second read joined to it where the
        // scanner sends no ending, or something the code does not hold.
        v.findings += c.faults;
        const bool ownRead = c.tail.size() >= readOfItsOwn || c.tail.startsWith(u']');
        v.findings.append(ownRead
                ? Finding { Kind::JoinedRead, c.tailAt, {}, { c.tail } }
                : Finding { Kind::Extra, c.tailAt, {},
                      { c.tail, QString::number(c.tailAt) } });
    } else if (const std::optional<Finding> cut = cutRead(expected, c)) {
        // Only how it was cut: what is missing is the rest of the code.
        v.findings += c.faults;
        v.findings.removeIf([](const Finding &f) {
            return f.kind == Kind::Missing || f.kind == Kind::DivergesFrom
                || f.kind == Kind::MoreDifferences || f.kind == Kind::Changed;
        });
        v.findings.append(*cut);
    } else if (!c.dataMatched
        && (c.likeness < sameCodeLikeness || otherSymbology(c, expected.symbologyId))) {
        v.otherCode = true;
        addOtherCode(c, read, v);
    } else {
        v.matched = c.dataMatched;
        v.findings += c.faults;
        addGs1Faults(expected, c, v);
    }
    if (previous && previous->codes == read.codes && !previous->micros.isEmpty()
        && !read.micros.isEmpty()) {
        const qint64 gap = read.micros.front() - previous->micros.back();
        if (gap >= 0 && gap < doubleReadMicros)
            v.findings.append({ Kind::DoubleRead, -1, {}, { QString::number(gap) } });
    }
    return v;
}
