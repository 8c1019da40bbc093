#include "analysis/readanalysis.h"
#include "analysis/readsplitter.h"
#include "analysis/readverdict.h"
#include "codes/findingtext.h"
#include "codes/layouts.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1digitallink.h"
#include "gs1/gs1lint.h"
#include "testcodes/testcodeset.h"

#include <QStringEncoder>
#include <QTest>

// Reads written out as a scanner sends them; what the analysis and the verdict
// find is checked as findings: kinds and arguments. The codes and their check digits come from published
// examples, not from the product's tables:
// - GTIN 4600439931256: the check digit 6 (GS1 mod 10, worked by hand);
// - GTIN 09506000134352: GS1's own example GTIN (GS1 Digital Link standard);
// - SSCC 106141412345678908: the GS1 General Specifications' example SSCC;
// - the marking codes (01)02900002317701(21)k3LInNbH_oG0Q(91)EE06(92)YXiy…Dk= and
//   (01)04690257528523(21)G+mgsHw<DiLN_(91)EE05(92)sOe6…LGV as published by
//   integrators' descriptions of the code (44- and 88-character codes);
// - "0123456789ABC" CR LF sent 7E1: bit 7 set where the low seven bits hold an
//   odd number of ones (worked by hand: '1' 0x31 → 0xB1, 'C' 0x43 → 0xC3).
namespace {

const QByteArray gs("\x1D");
const QByteArray crypto44 = "YXiyKfiHjE4YE8b+YVMC1O5r8VtpplA3AwcCqrcG9Dk=";
const QByteArray shoes85 = "0102900002317701"
                           "21"
                           "k3LInNbH_oG0Q"
    + gs + "91EE06" + gs + "92" + crypto44;
const QByteArray shoes129 = "0104690257528523"
                            "21G+mgsHw<DiLN_"
    + gs + "91EE05" + gs
    + "92sOe6fy7lPT8lLffZ5WdQ7Rp8P>XLDwEGD1Wv4oY71o4&FVGTngrd45/<7&*(fglnxdszcyACRLvw;46-fjadfLGV";
const QByteArray milk = "0104600439931256"
                        "21"
                        "5U5BFS"
    + gs
    + "93"
      "t08W";

QByteArray without(QByteArray codes, const QByteArray &what, const QByteArray &by = {})
{
    return codes.replace(what, by);
}

// Typed characters as the log keeps them: their Windows-1251 codes (Qt's
// encoder, not the product's table).
QByteArray cp1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

using K = Finding::Kind;
using By = Finding::GsReplacement;
using Why = Finding::IdentifierWhy;
using Lint = Gs1::LintError;
using LinkFault = Gs1::DigitalLinkFault::Kind;
using Pairing = Gs1::AssociationFault::Kind;

// An expected finding: its kind, and where given its position, field and
// leading arguments (an empty argument is not compared).
Finding F(K kind, qsizetype position = -1, const QString &ai = {}, const QStringList &args = {},
    Finding::Sub sub = {})
{
    return { kind, position, ai, args, sub };
}

bool fits(const Finding &got, const Finding &want)
{
    if (got.kind != want.kind || (want.position >= 0 && got.position != want.position)
        || (!want.ai.isEmpty() && got.ai != want.ai) || (want.sub.isSet() && got.sub != want.sub))
        return false;
    for (qsizetype i = 0; i < want.args.size(); ++i) {
        if (!want.args[i].isEmpty() && got.args.value(i) != want.args[i])
            return false;
    }
    return true;
}

// Each expected finding found, in order, and no other fault or warning.
QString mismatch(const QList<Finding> &got, const QList<Finding> &want)
{
    QString text;
    for (const Finding &f : got)
        text += QStringLiteral("\n  %1: %2").arg(int(f.kind)).arg(FindingText::sentence(f));
    qsizetype next = 0;
    for (const Finding &w : want) {
        while (next < got.size() && !fits(got[next], w))
            ++next;
        if (next == got.size())
            return QStringLiteral("kind %1 not found in:").arg(int(w.kind)) + text;
        ++next;
    }
    for (const Finding &g : got) {
        if ((g.isFault() || g.isWarning()) && std::none_of(want.cbegin(), want.cend(), [&](const Finding &w) {
                return fits(g, w);
            }))
            return QStringLiteral("unexpected kind %1 in:").arg(int(g.kind)) + text;
    }
    return {};
}

QList<qint64> evenly(qsizetype count, qint64 gapMs)
{
    QList<qint64> micros;
    for (qsizetype i = 0; gapMs > 0 && i < count; ++i)
        micros.append(1'000'000 + i * gapMs * 1000 + (i % 3) * 700);
    return micros;
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT
private slots:
    void analysis_data();
    void analysis();
    void boundary_data();
    void boundary();
    void splitter_data();
    void splitter();
    void verdict_data();
    void verdict();
    // Every kind of finding is said in words, even with none of its facts.
    void everyKindSaid()
    {
        for (int k = 0; k <= int(Finding::LastKind); ++k)
            QVERIFY2(!FindingText::sentence({ Finding::Kind(k), -1, {}, {} }).isEmpty(),
                qPrintable(QString::number(k)));
    }
};

void TestAnalysis::analysis_data()
{
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<QList<Finding>>("faults");
    QTest::addColumn<QStringList>("phrases"); // what the report shows besides
    const auto row = [](const char *name, const QByteArray &codes, bool keyboard, int gapMs,
                         QList<Finding> faults, QStringList phrases = {}) {
        QTest::newRow(name) << codes << keyboard << gapMs << faults << phrases;
    };
    row("marking code whole", "]d2" + shoes85 + "\r", false, 0, {},
        { "GS1 DataMatrix", "(01) 02900002317701", "контрольная цифра верна", "(91) EE06",
            "92 код проверки (44); всего 85 символов с GS", "«GS»91EE06«GS»92" });
    row("marking code without GS", "]d2" + without(shoes85, gs) + "\r", true, 20,
        { F(K::GsLost, 31, "21"), F(K::GsLost, 37, "91"), F(K::MarkingLength, -1, {}, { "83", "85" }) },
        { "Похоже на сканер", "(21) k3LInNbH_oG0Q" });
    row("GS as Alt-code digits", without(shoes85, gs, "029") + "\r", true, 0,
        { F(K::GsReplaced, 31, "21", { "029" }, By::AltDigits), F(K::GsReplaced, -1, "91"),
            F(K::MarkingLength, -1, {}, { "89", "85" }) });
    row("GS as text", without(shoes85, gs, "<GS>") + "\r", true, 0,
        { F(K::GsReplaced, 31, "21", { "<GS>" }, By::Text), F(K::GsReplaced, -1, "91"),
            F(K::MarkingLength) });
    row("GS as another key", without(shoes85, gs, "~") + "\r", true, 0,
        { F(K::GsReplaced, 31, "21", { "~" }, By::Character), F(K::GsReplaced, -1, "91") });
    row("long verification code", shoes129 + "\r", false, 0, {},
        { "92 код проверки (88); всего 129 символов" });
    row("cut marking code", shoes85.left(60) + "\r", false, 0,
        { F(K::MarkingCut, -1, "92", { "19", "44" }) });
    row("marking code cut after a field", shoes85.left(39) + "\r", false, 0,
        { F(K::MarkingCut, -1, "92", { "0", "44" }) });
    row("marking code, serial too short", without(shoes85, "oG0Q", "oG0") + "\r", false, 0,
        { F(K::MarkingFieldLength, -1, "21", { "12", "13" }) });
    row("milk", milk + "\r\n", false, 0, {}, { "21 серийный номер (6) + GS + 93", "(93) t08W", "окончание CR LF" });
    row("milk without GS", without(milk, gs), false, 0,
        { F(K::GsLost, 24, "21"), F(K::MarkingLength, -1, {}, { "30", "31" }) }, { "окончание нет" });
    row("Russian layout",
        cp1251(QStringLiteral("ъв20104600439931256215Г5ИАЫ\x1D"
                              "93е08Ц\r")),
        true, 0, { F(K::RussianLayout, 0) },
        { "GS1 DataMatrix", "Пришёл как «ъв2»", "(21) 5U5BFS", "(93) t08W" });
    row("Caps Lock", "]D2" + without(without(milk, "5U5BFS", "5u5bfs"), "t08W", "T08w"), true, 0,
        { F(K::CapsLock) }, { "(21) 5U5BFS", "(93) t08W" });
    row("identification code only",
        "0104600439931256"
        "21"
        "k3LInNbH_oG0Q\r",
        false, 0, { F(K::MarkingIdentificationOnly) });
    row("tobacco pack",
        "04600439931256"
        "-ABC12x"
        "Abc4"
        "kLmN",
        true, 0, {}, { "пачка табачных изделий", "04600439931256 — GTIN", "контрольная цифра верна" });
    row("plain Data Matrix", "]d1" + shoes85 + "\r", false, 0,
        { F(K::Gs1WithoutFnc1, -1, {}, { "]d1" }) });
    row("fixed and variable fields",
        "]C1"
        "0109506000134352"
        "17201225"
        "10ABC123"
            + gs + "21XYZ\r",
        false, 0, {},
        { "(01) 09506000134352", "(17) 201225", "дата: 25.12.2020", "(10) ABC123", "(21) XYZ" });
    row("wrong check digit",
        "]C1"
        "0109506000134353"
        "10AB",
        false, 0, { F(K::CheckDigitWrong, -1, "01", { "2" }) });
    row("bad date, month's end",
        "]C1"
        "17251301"
        "15250200",
        false, 0,
        { F(K::Association, -1, "17", {}, Pairing::Missing), F(K::Association, -1, "15", {}, Pairing::Missing),
            F(K::DateNoMonth, -1, "17", { "13" }) },
        { "день 00 — конец месяца, 28.02.2025" });
    row("missing GS, ambiguous",
        "0109506000134352"
        "10ABC123"
        "17250531\r",
        false, 0, { F(K::AmbiguousBoundary, -1, "10", { "(10) ABC123 (17) 250531" }) });
    row("GS after a fixed field",
        "]C1"
        "0109506000134352"
            + gs + "10AB",
        false, 0, {}, { "GS после поля (01) фиксированной длины — допустим" });
    row("leading GS", gs + "0109506000134352" + "10AB\r", false, 0, {},
        { "FNC1 первой позиции" });
    row("outside set 82",
        "]C1"
        "0109506000134352"
        "21AB#C",
        false, 0, { F(K::OutsideSet82, -1, "21", { "#" }) });
    row("SSCC", "00106141412345678908\r", false, 0, {}, { "(00) 106141412345678908" });
    // An AI GS1 has yet to assign whose first digits give its length (04: 18
    // characters): the fields after it are still read.
    row("unassigned AI of predefined length", "]C10109506000134352" "041234567890123456" "17251231\r", false, 0,
        { F(K::UnknownAi, 16, {}, { "0412" }) }, { "(17) 251231", "дата: 31.12.2025" });
    // The dictionary's content checks: a country ISO 3166 lacks, and the example
    // IBAN of ISO 13616 with its last digit changed (…432 is right).
    row("no such country", "]C10109506000134352422999\r", false, 0,
        { F(K::ContentCheck, 0, "422", {}, Lint::UnknownCountry) });
    // (8007) also requires (415), which these lack.
    row("IBAN", "]C18007GB82WEST12345698765432\r", false, 0,
        { F(K::Association, -1, "8007", { {}, "415" }, Pairing::Missing) },
        { "(8007) GB82WEST12345698765432" });
    // Associations: a serial needs its GTIN; (01) and (02) exclude each other.
    row("serial without GTIN", "]C121ABC123\r", false, 0,
        { F(K::Association, -1, "21", {}, Pairing::Missing) });
    row("GTIN with content", "]C10109506000134352" "0209506000134352\r", false, 0,
        { F(K::Association, -1, "02", { {}, "37" }, Pairing::Missing),
            F(K::Association, -1, "02", { "01" }, Pairing::Excluded) });
    row("IBAN wrong", "]C18007GB82WEST12345698765431\r", false, 0,
        { F(K::Association, -1, "8007"), F(K::ContentCheck, 2, "8007", {}, Lint::WrongIbanCheck) });
    // The dictionary's components: an optional serial left out, one of several
    // three-digit countries cut, a second date, a time of day, a check digit
    // after a leading "0" (GRAI).
    row("GRAI without serial", "]C1800303870585000552\r", false, 0, {});
    row("GDTI without serial", "]C12539520123456788\r", false, 0, {});
    row("GTIN, countries, 4 digits", "]C10109506000134352" "4233800\r", false, 0,
        { F(K::ContentCheck, 3, "423", { {}, "0", "3" }, Lint::TooShort) });
    row("GTIN, harvest dates, 8 digits", "]C10109506000134352" "700721010121\r", false, 0,
        { F(K::ContentCheck, 6, "7007", {}, Lint::TooShort) });
    row("GTIN, harvest dates, second judged", "]C10109506000134352" "7007210101211299\r", false, 0,
        { F(K::ContentCheck, 10, "7007", {}, Lint::BadDay) });
    row("GTIN, production time, second 60", "]C10109506000134352" "8008261207153060\r", false, 0,
        { F(K::ContentCheck, 10, "8008", {}, Lint::BadSecond) });
    row("SSCC, not before 24:00", "]C100106141412345678908" "43242101012400\r", false, 0,
        { F(K::ContentCheck, 6, "4324", {}, Lint::BadHour) });
    // A German pharmacy code: (01), then (710), the national healthcare number.
    row("pharmacy code", "]d20109506000134352710PZN1234\r", false, 0, {}, { "(710) PZN1234" });
    // After an identifier that says the data are no GS1, fields without a GS
    // count as GS1 only with a check digit that holds.
    row("GS1 in a plain QR Code", "]Q10109506000134352\r", false, 0,
        { F(K::Gs1WithoutFnc1, -1, {}, { "]Q1" }) });
    row("digits in a plain QR Code", "]Q10109506000134353\r", false, 0, {});
    // ECI designators (ISO/IEC 15424: a backslash and six digits) and a
    // structured append's part, whose required fields may be in another.
    row("GS1 with ECI", "]d5\\0000260109506000134352" "10AB\\\\C\r", false, 0,
        { F(K::OutsideSet82, -1, "10", { "\\" }) }, { "указатель кодировки ECI «\\000026»" });
    row("GS1 Aztec, one part", "]z721ABC123\r", false, 0, {}, { "одна часть составного сообщения" });
    // GS1 Digital Link: the URI and its element strings, judged as any.
    row("Digital Link", "]Q1https://example.com/01/09506000134352/10/ABC1?17=270101\r", false, 0, {},
        { "Ссылка GS1 Digital Link: https://example.com/01/09506000134352/10/ABC1?17=270101",
            "(01)09506000134352(10)ABC1(17)270101", "(17) 270101 — ", "дата: 01.01.2027" });
    row("Digital Link, serial before batch", "https://example.com/01/09506000134353/21/X/10/Y\r", false, 0,
        { F(K::DigitalLink, 46, "10", { "Y" }, LinkFault::QualifierOutOfOrder), F(K::CheckDigitWrong, -1, "01", { "2" }) });
    row("Digital Link, percent sign", "https://example.com/01/09506000134352/10/AB%G1\r", false, 0,
        { F(K::DigitalLink, 43, {}, { "%G1" }, LinkFault::BadPercentEncoding) });
    // In the query "+" stands for a space, which no GS1 field may hold.
    row("Digital Link, plus in the query", "https://example.com/01/09506000134352?99=XYZ+987\r", false, 0,
        { F(K::OutsideSet82, -1, "99", { " " }) });
    row("Digital Link, batch twice", "https://example.com/01/09506000134352/10/A?10=B\r", false, 0,
        { F(K::DigitalLink, 43, "10", {}, LinkFault::QualifierInQuery), F(K::DigitalLink, 46, "10", {}, LinkFault::Repeated) });
    // Every key under the Russian layout: "/" types ".", ":" "Ж", "?" ",".
    row("Digital Link typed in the Russian layout",
        cp1251(QStringLiteral("реезыЖ..учфьздуюсщь.01.09506000134352,17=270101\r")), true, 0,
        { F(K::UriLayout, 5, {}, { "Ж.,", ":/?" }) }, { "(01)09506000134352(17)270101" });
    row("EAN-13", "4600439931256\r", true, 0, {}, { "EAN-13: контрольная цифра верна" });
    row("EAN-13 wrong", "4600439931257\r", true, 0, { F(K::DigitsCheckWrong, -1, {}, { "EAN-13", "6" }) });
    // A sum that is a multiple of ten asks for 0, not 10.
    row("EAN-13 check digit 0", "4600439931010\r", true, 0, {}, { "EAN-13: контрольная цифра верна" });
    row("EAN-13 wrong, 0 due", "4600439931015\r", true, 0,
        { F(K::DigitsCheckWrong, -1, {}, { "EAN-13", "0" }) });
    row("GTIN wrong, 0 due", "]C101095060001340015\r", false, 0,
        { F(K::UnknownAi, 16), F(K::CheckDigitWrong, -1, "01", { "0" }) });
    // ITF-14 with its check digit, and without (]I3: verified, not sent).
    row("ITF-14", "]I112001234567890\r", false, 0, {}, { "ITF-14: контрольная цифра верна" });
    row("ITF-14 wrong", "]I012001234567891\r", false, 0,
        { F(K::DigitsCheckWrong, -1, {}, { "ITF-14", "0" }) });
    row("ITF-14 without check digit", "]I31200123456789\r", false, 0, {},
        { "без контрольной цифры", "была бы 0" });
    row("7E1", "\x30\xB1\xB2\x33\xB4\x35\x36\xB7\xB8\x39\x41\x42\xC3\x8D\x0A", false, 0,
        { F(K::Parity, -1, {}, { "7E1" }) }, { "0123456789ABC«CR»«LF»" });
    row("7O1", "\xB0\x31\x32\xB3\x34\xB5\xB6\x37\x38\xB9\xC1\xC2\x43\x0D\x8A", false, 0,
        { F(K::Parity, -1, {}, { "7O1" }) }, { "0123456789ABC«CR»«LF»" });
    row("person typing", "1234567890\r", true, 180, {}, { "Похоже на человека", "медиана пауз 181 мс" });
    row("every code shown", QByteArray("A\0\x1E\x04\x98 ", 6), false, 1, {},
        { "A«NUL»«RS»«EOT»«0x98»«SP»", "41 00 1E 04 98 20", "окончание нет" });
    row("UTF-8 typed byte by byte", cp1251(QStringLiteral("РџСЂРёРІРµС‚\r")), true, 0,
        { F(K::Utf8PerKey, -1, {}, { {}, "Привет" }) });
}

void TestAnalysis::analysis()
{
    QFETCH(QByteArray, codes);
    QFETCH(bool, keyboard);
    QFETCH(int, gapMs);
    QFETCH(QList<Finding>, faults);
    QFETCH(QStringList, phrases);
    const ReadAnalysis r = analyzeRead(
        codes, evenly(codes.size(), gapMs), keyboard ? ReadMode::Keyboard : ReadMode::Serial);
    const QString wrong = mismatch(r.faults, faults);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    for (const QString &phrase : phrases) {
        if (!r.fullText.contains(phrase))
            QFAIL(qPrintable(QStringLiteral("«%1» is missing from:\n%2").arg(phrase, r.fullText)));
    }
    QCOMPARE(r.fullText.contains(QStringLiteral("Замечаний нет")), faults.isEmpty());
    // The tooltip is a few lines and names the first fault whole.
    QVERIFY(r.tooltip.count(u'\n') < 10);
    if (!r.faults.isEmpty())
        QVERIFY2(r.tooltip.contains(FindingText::sentence(r.faults.first())), qPrintable(r.tooltip));
}

// A pause that stands out among a read's others is a likely boundary of two
// reads joined; even pauses, and one a little longer, are none.
void TestAnalysis::boundary_data()
{
    QTest::addColumn<QList<int>>("gapsMs");
    QTest::addColumn<int>("at"); // -1: none
    QTest::newRow("typed, one pause") << QList<int> { 9, 9, 10, 9, 55, 9, 9, 10 } << 5;
    QTest::newRow("serial, two chunks") << QList<int> { 0, 0, 0, 30, 0, 0, 0 } << 4;
    QTest::newRow("even") << QList<int> { 9, 10, 9, 11, 9, 10 } << -1;
    QTest::newRow("chunks of the port") << QList<int> { 0, 14, 0, 15, 0, 14, 0 } << -1;
    QTest::newRow("one a little longer") << QList<int> { 9, 9, 25, 9, 9 } << -1;
}

void TestAnalysis::boundary()
{
    QFETCH(QList<int>, gapsMs);
    QFETCH(int, at);
    const QByteArray codes = QByteArray("abcdefghij").left(gapsMs.size() + 1);
    QList<qint64> micros { 1'000'000 };
    for (const int gap : gapsMs)
        micros.append(micros.back() + gap * 1000);
    const ReadAnalysis r = analyzeRead(codes, micros, ReadMode::Keyboard);
    const QList<Finding> want = at < 0 ? QList<Finding>() : QList<Finding> { F(K::LikelyBoundary, at) };
    const QString wrong = mismatch(r.faults, want);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

// One letter a code: f a read's first, i inside, p first after a pause, t the
// LF of a CR LF; upper case where the read ends at the code.
void TestAnalysis::splitter_data()
{
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<QList<int>>("ms");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<QString>("places");
    QTest::newRow("CR") << QByteArray("ab\rcd\r") << QList<int> { 0, 1, 2, 3, 4, 5 } << false
                        << "fiIfiI";
    QTest::newRow("CR LF") << QByteArray("ab\r\ncd") << QList<int> { 0, 1, 2, 3, 4, 5 } << false
                           << "fiITfi";
    QTest::newRow("LF") << QByteArray("ab\ncd") << QList<int> { 0, 1, 2, 3, 4 } << false << "fiIfi";
    QTest::newRow("TAB") << QByteArray("ab\tcd\t") << QList<int> { 0, 1, 2, 3, 4, 5 } << true
                         << "fiIfiI";
    QTest::newRow("serial pause") << QByteArray("abcd") << QList<int> { 0, 1, 52, 53 } << false
                                  << "fipi";
    QTest::newRow("serial no pause")
        << QByteArray("abcd") << QList<int> { 0, 1, 49, 50 } << false << "fiii";
    QTest::newRow("late LF") << QByteArray("a\r\n") << QList<int> { 0, 1, 100 } << false << "fIF";
    QTest::newRow("scanner pause")
        << QByteArray("abcde") << QList<int> { 0, 20, 40, 200, 220 } << true << "fiipi";
    QTest::newRow("person") << QByteArray("abcde") << QList<int> { 0, 300, 700, 1900, 4000 } << true
                            << "fiiip";
}

void TestAnalysis::splitter()
{
    QFETCH(QByteArray, codes);
    QFETCH(QList<int>, ms);
    QFETCH(bool, keyboard);
    QFETCH(QString, places);
    ReadSplitter splitter;
    QString got;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const auto step = splitter.feed(
            quint8(codes[i]), ms[i] * 1000LL, keyboard ? ReadMode::Keyboard : ReadMode::Serial);
        const char letter = "ifpt"[int(step.place)];
        got += step.ends ? QChar(letter).toUpper() : QChar(letter);
    }
    QCOMPARE(got, places);
}

// The verdict: what matched, what the scanner added, each fault. Every code of
// the set with its identifier right, wrong, missing and turned by the layout;
// then one case a row.
void TestAnalysis::verdict_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("due");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<int>("afterMs"); // > 0: the same read came this long before
    QTest::addColumn<QString>("head"); // "matched", "differs", "other"
    QTest::addColumn<QList<Finding>>("findings");
    const auto row = [](const QString &name, const QByteArray &content, const QByteArray &due,
                         const QByteArray &received, bool keyboard, const char *head,
                         QList<Finding> findings, int afterMs = 0) {
        QTest::newRow(qPrintable(name)) << content << due << received << keyboard << afterMs
                                        << QString::fromLatin1(head) << findings;
    };
    // A wrong identifier for each code, and why it matters to the host.
    const QHash<QByteArray, std::pair<QByteArray, Why>> wrong {
        { "]E0", { "]E4", Why::Modifier } },
        { "]C0", { "]C1", Why::Gs1Added } },
        { "]C1", { "]C0", Why::Gs1Lost } },
        { "]d2", { "]d1", Why::Gs1Lost } },
        { "]d1", { "]d2", Why::Gs1Added } },
        { "]Q1", { "]Q3", Why::Gs1Added } },
        { "]A0", { "]A1", Why::Modifier } },
        { "]I1", { "]I0", Why::Modifier } },
        { "]L2", { "]L1", Why::Modifier } },
    };
    for (const TestCode &code : testCodeSet()) {
        const QByteArray &c = code.content;
        const QByteArray &id = code.symbologyId;
        const bool gs1 = id == "]C1" || id == "]d2";
        const QString typedId = QString(Layouts::russianFromUs(u']')) + Layouts::russianFromUs(QChar(id[1])) + QChar(id[2]);
        row(code.name + ": identifier right", c, id, id + c + "\r", false, "matched",
            { F(K::IdentifierRight, -1, {}, { id }), F(K::SuffixAdded, -1, {}, { "CR" }) });
        row(code.name + ": identifier wrong", c, id, wrong[id].first + c + "\r", false, "matched",
            { F(K::IdentifierWrong, -1, {}, { wrong[id].first, id }, wrong[id].second) });
        row(code.name + ": identifier missing", c, id, c + "\r\n", false, "matched",
            gs1 ? QList<Finding> { F(K::IdentifierMissing, -1, {}, { id }) } : QList<Finding> {});
        row(code.name + ": identifier in the Russian layout", c, id,
            cp1251(typedId + QString::fromUtf8(c) + u'\t'), true, "matched",
            { F(K::IdentifierRight, -1, {}, { id }), F(K::RussianLayout, 0, {}, { typedId, id }),
                F(K::SuffixAdded, -1, {}, { "HT" }) });
    }
    const QByteArray ean = "2001234567893";
    const QByteArray text = "Ab-12/Zz.x";
    const QByteArray privet = QStringLiteral("Привет").toUtf8();
    row("ending LF", ean, "]E0", ean + "\n", false, "matched", { F(K::SuffixAdded, -1, {}, { "LF" }) });
    row("another ending", "ABC\r", {}, "ABC\r\n", false, "differs",
        { F(K::SuffixOther, -1, {}, { "CR LF", "CR" }) });
    row("prefix", ean, "]E0", "AB:" + ean + "\r", false, "matched", { F(K::Prefix, 0, {}, { "AB:" }) });
    row("leading GS", milk, "]d2", gs + milk, false, "matched", { F(K::LeadingGs) });
    row("Code 39 while EAN-13 is shown", ean, "]E0", "]A0ORV 39-A/1.5\r", false, "other",
        { F(K::OtherCode, -1, {}, { "Code 39", "]A0", "]A0ORV 39-A/1.5" }) });
    row("another number", ean, {}, "4600439931256\r", false, "other",
        { F(K::OtherCode, -1, {}, { "EAN-13", {}, "4600439931256" }) });
    row("double read", ean, "]E0", ean + "\r", true, "matched", { F(K::DoubleRead) }, 50);
    row("read again later", ean, "]E0", ean + "\r", true, "matched", {}, 900);
    row("two reads joined", ean, "]E0", ean + ean, false, "differs",
        { F(K::JoinedRead, 13, {}, { QString::fromLatin1(ean) }) });
    row("another read joined", ean, "]E0", "]E0" + ean + "]E04600439931256", false, "differs",
        { F(K::IdentifierRight), F(K::JoinedRead, 13, {}, { "]E04600439931256" }) });
    row("ITF-14 without its check digit", "12001234567890", "]I1", "]I31200123456789\r", false,
        "differs",
        { F(K::IdentifierWrong, -1, {}, { "]I3", "]I1" }, Why::CheckRemoved),
            F(K::Missing, 13, {}, { "0" }) });
    // A cut read is named as cut, where it stopped, also when far too short to
    // look like the code: after its first fields.
    row("cut marking code", shoes85, "]d2", "]d2" + shoes85.left(60) + "\r", false, "differs",
        { F(K::IdentifierRight), F(K::Cut, 60, "91", { "60", "85" }) });
    row("cut after (01)", shoes85, "]d2", "]d2" + shoes85.left(16) + "\r", false, "differs",
        { F(K::IdentifierRight), F(K::Cut, 16, "01", { "16", "85" }) });
    // Another code keeps what its own read says, as it came, and is not held to the
    // shown code's identifier.
    QString uri = QStringLiteral("https://id.gs1.org/01/09506000134352");
    for (QChar &ch : uri)
        ch = Layouts::russianFromUs(ch);
    row("another code under the Russian layout", milk, "]d2", cp1251(uri + u'\r'), true, "other",
        { F(K::UriLayout), F(K::OtherCode, -1, {}, { {}, {}, uri }) });
    row("GS lost", shoes85, {}, without(shoes85, gs), true, "differs",
        { F(K::GsLost, 31, "21"), F(K::GsLost, 38, "91") });
    row("GS as Alt-code digits", shoes85, {}, without(shoes85, gs, "029"), true, "differs",
        { F(K::GsReplaced, 31, "21", { "029" }, By::AltDigits),
            F(K::GsReplaced, 38, "91", { "029" }, By::AltDigits) });
    row("GS as text", milk, {}, without(milk, gs, "{GS}"), true, "differs",
        { F(K::GsReplaced, 24, "21", { "{GS}" }, By::Text) });
    row("GS as another key", milk, {}, without(milk, gs, "]"), true, "differs",
        { F(K::GsReplaced, 24, "21", { "]" }, By::Character) });
    row("Caps Lock", text, "]C0", "aB-12/zZ.X", true, "differs", { F(K::CapsLock) });
    row("Caps Lock, identifier first", text, "]C0", "]c0aB-12/zZ.X", true, "differs",
        { F(K::IdentifierRight), F(K::CapsLock) });
    row("layout", text, {}, cp1251(QStringLiteral("Фи-12.Яяюч")), true, "differs",
        { F(K::RussianLayout, 0, {}, { {}, "Ab-12/Zz.x" }) });
    row("missing", text, {}, "Ab-1/Zz.x", true, "differs", { F(K::Missing, 4, {}, { "2" }) });
    row("extra", text, {}, "Ab-12/Zzz.x", true, "differs", { F(K::Extra, 8, {}, { "z" }) });
    // What a scanner sends is quoted as it came, never read as a format.
    row("extra like a format", text, {}, "Ab-12/Zz%1.x", true, "differs",
        { F(K::Extra, 8, {}, { "%1" }) });
    row("changed", text, {}, "Ab-13/Zz.x", false, "differs", { F(K::Changed, 4, {}, { "2", "3" }) });
    row("UTF-8 bytes typed", privet, {}, privet, true, "differs", { F(K::Utf8PerKey) });
    row("question marks", privet, {}, "??????", true, "differs", { F(K::QuestionMarks) });
    row("Windows-1251 on the port", privet, {}, cp1251(QStringLiteral("Привет")), false,
        "differs", { F(K::Utf8AsCp1251, -1, {}, { "CF F0 …", "D0 9F D1 80 …" }) });
    row("Windows-1251 typed", privet, {}, cp1251(QStringLiteral("Привет")), true, "matched", {});
    // The GS1 rules the code itself breaks, whoever read it.
    row("own code, wrong check digit", "0109506000134353" "10AB", {}, "]C10109506000134353" "10AB\r", false,
        "matched", { F(K::IdentifierAdded), F(K::CheckDigitWrong, -1, "01", { "2" }) });
    row("own code in a plain Data Matrix", "0109506000134352" "10AB", {}, "]d10109506000134352" "10AB\r",
        false, "matched", { F(K::IdentifierAdded), F(K::Gs1WithoutFnc1, -1, {}, { "]d1" }) });
    row("own Digital Link, serial before batch", "https://example.com/01/09506000134352/21/X/10/Y", "]Q1",
        "]Q1https://example.com/01/09506000134352/21/X/10/Y\r", false, "matched",
        { F(K::IdentifierRight), F(K::DigitalLink, 46, "10", {}, LinkFault::QualifierOutOfOrder) });
    row("7E1", "0123456789ABC\r\n", {},
        "\x30\xB1\xB2\x33\xB4\x35\x36\xB7\xB8\x39\x41\x42\xC3\x8D\x0A", false, "differs",
        { F(K::Parity, -1, {}, { "7E1" }) });
}

void TestAnalysis::verdict()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, due);
    QFETCH(QByteArray, received);
    QFETCH(bool, keyboard);
    QFETCH(int, afterMs);
    QFETCH(QString, head);
    QFETCH(QList<Finding>, findings);
    const ReadMode mode = keyboard ? ReadMode::Keyboard : ReadMode::Serial;
    const ArrivedRead read { received, evenly(received.size(), 10), mode };
    ArrivedRead before = read;
    for (qint64 &moment : before.micros)
        moment -= read.micros.back() - read.micros.front() + afterMs * 1000;
    const ReadVerdict v = judgeRead({ content, due }, read, afterMs > 0 ? &before : nullptr);
    const QString wrong = mismatch(v.findings, findings);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong + u'\n' + v.text()));
    QCOMPARE(v.otherCode ? u"other" : v.matched ? u"matched" : u"differs", head);
    for (const Finding &f : v.findings) {
        if (f.kind == K::Extra)
            QVERIFY2(FindingText::sentence(f).contains(FindingText::excerpt(f.args[0])),
                qPrintable(FindingText::sentence(f)));
    }
    QCOMPARE(v.text().startsWith(u"Данные совпали"), v.matched);
}

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
