#include "readanalysis.h"
#include "readcompare.h"
#include "readsplitter.h"

#include <QStringEncoder>
#include <QTest>

// Reads written out as a scanner sends them; what the analysis must say is
// checked by key phrases. The codes and their check digits come from published
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
    void splitter_data();
    void splitter();
    void compare_data();
    void compare();
};

void TestAnalysis::analysis_data()
{
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<QStringList>("phrases");
    const auto row = [](const char *name, const QByteArray &codes, bool keyboard, int gapMs,
                         QStringList phrases) {
        QTest::newRow(name) << codes << keyboard << gapMs << phrases;
    };
    row("marking code whole", "]d2" + shoes85 + "\r", false, 0,
        { "GS1 DataMatrix", "Замечаний нет", "(01) 02900002317701", "контрольная цифра верна",
            "(91) EE06", "92 код проверки (44); всего 85 символов с GS", "«GS»91EE06«GS»92" });
    row("marking code without GS", "]d2" + without(shoes85, gs) + "\r", true, 20,
        { "нет GS перед 91 и перед 92: 83 символа вместо 85", "Похоже на сканер",
            "(21) k3LInNbH_oG0Q" });
    row("GS as Alt-code digits", without(shoes85, gs, "029") + "\r", true, 0,
        { "вместо GS перед 91 пришли цифры «029»", "89 символов вместо 85" });
    row("GS as text", without(shoes85, gs, "<GS>") + "\r", true, 0,
        { "вместо GS перед 92 пришёл текст «<GS>»" });
    row("GS as another key", without(shoes85, gs, "~") + "\r", true, 0,
        { "вместо GS перед 91 пришёл символ «~»" });
    row("long verification code", shoes129 + "\r", false, 0,
        { "92 код проверки (88); всего 129 символов", "Замечаний нет" });
    row("milk", milk + "\r\n", false, 0,
        { "21 серийный номер (6) + GS + 93", "(93) t08W", "окончание CR LF" });
    row("milk without GS", without(milk, gs), false, 0,
        { "нет GS перед 93: 30 символов вместо 31", "окончание нет" });
    row("Russian layout",
        cp1251(QStringLiteral("ъв20104600439931256215Г5ИАЫ\x1D"
                              "93е08Ц\r")),
        true, 0,
        { "GS1 DataMatrix", "Пришёл как «ъв2»", "русской раскладке", "(21) 5U5BFS", "(93) t08W" });
    row("Caps Lock", "]D2" + without(without(milk, "5U5BFS", "5u5bfs"), "t08W", "T08w"), true, 0,
        { "включён Caps Lock", "(21) 5U5BFS", "(93) t08W" });
    row("identification code only",
        "0104600439931256"
        "21"
        "k3LInNbH_oG0Q\r",
        false, 0, { "только код идентификации" });
    row("tobacco pack",
        "04600439931256"
        "-ABC12x"
        "Abc4"
        "kLmN",
        true, 0, { "пачка табачных изделий", "04600439931256 — GTIN", "контрольная цифра верна" });
    row("plain Data Matrix", "]d1" + shoes85 + "\r", false, 0, { "без FNC1 в начале", "]d1" });
    row("fixed and variable fields",
        "]C1"
        "0109506000134352"
        "17201225"
        "10ABC123"
            + gs + "21XYZ\r",
        false, 0,
        { "(01) 09506000134352", "контрольная цифра верна", "(17) 201225", "дата: 25.12.2020",
            "(10) ABC123", "(21) XYZ", "Замечаний нет" });
    row("wrong check digit",
        "]C1"
        "0109506000134353"
        "10AB",
        false, 0, { "контрольная цифра неверна, должна быть 2" });
    row("bad date, month's end",
        "]C1"
        "17251301"
        "15250200",
        false, 0, { "месяца 13 нет", "день 00 — конец месяца, 28.02.2025" });
    row("missing GS, ambiguous",
        "0109506000134352"
        "10ABC123"
        "17250531\r",
        false, 0, { "граница неоднозначна", "(10) ABC123 (17) 250531" });
    row("GS after a fixed field",
        "]C1"
        "0109506000134352"
            + gs + "10AB",
        false, 0, { "GS после поля (01) фиксированной длины — допустим", "Замечаний нет" });
    row("outside set 82",
        "]C1"
        "0109506000134352"
        "21AB#C",
        false, 0, { "вне набора GS1 (набор 82): «#»" });
    row("SSCC", "00106141412345678908\r", false, 0,
        { "(00) 106141412345678908", "контрольная цифра верна" });
    row("EAN-13", "4600439931256\r", true, 0, { "EAN-13: контрольная цифра верна" });
    row("EAN-13 wrong", "4600439931257\r", true, 0,
        { "EAN-13: контрольная цифра неверна, должна быть 6" });
    // A sum that is a multiple of ten asks for 0, not 10.
    row("EAN-13 check digit 0", "4600439931010\r", true, 0, { "EAN-13: контрольная цифра верна" });
    row("EAN-13 wrong, 0 due", "4600439931015\r", true, 0,
        { "EAN-13: контрольная цифра неверна, должна быть 0" });
    row("GTIN wrong, 0 due", "]C101095060001340015\r", false, 0,
        { "(01) 09506000134001", "контрольная цифра неверна, должна быть 0" });
    row("7E1", "\x30\xB1\xB2\x33\xB4\x35\x36\xB7\xB8\x39\x41\x42\xC3\x8D\x0A", false, 0,
        { "7 бит с контролем чётности (7E1)", "0123456789ABC«CR»«LF»", "8N1" });
    row("7O1", "\xB0\x31\x32\xB3\x34\xB5\xB6\x37\x38\xB9\xC1\xC2\x43\x0D\x8A", false, 0,
        { "7 бит с контролем чётности (7O1)", "0123456789ABC«CR»«LF»" });
    row("person typing", "1234567890\r", true, 180, { "Похоже на человека", "медиана пауз 180," });
    row("every code shown", QByteArray("A\0\x1E\x04\x98 ", 6), false, 1,
        { "A«NUL»«RS»«EOT»«0x98»«SP»", "41 00 1E 04 98 20", "окончание нет" });
    row("UTF-8 typed byte by byte", cp1251(QStringLiteral("РџСЂРёРІРµС‚\r")), true, 0,
        { "имелось в виду «Привет»" });
}

void TestAnalysis::analysis()
{
    QFETCH(QByteArray, codes);
    QFETCH(bool, keyboard);
    QFETCH(int, gapMs);
    QFETCH(QStringList, phrases);
    const ReadAnalysis r = analyzeRead(
        codes, evenly(codes.size(), gapMs), keyboard ? ReadMode::Keyboard : ReadMode::Serial);
    for (const QString &phrase : phrases) {
        if (!r.fullText.contains(phrase))
            QFAIL(qPrintable(QStringLiteral("«%1» is missing from:\n%2").arg(phrase, r.fullText)));
    }
    // The tooltip is a few lines and names the first fault whole.
    QVERIFY(r.tooltip.count(u'\n') < 10);
    if (!r.faults.isEmpty())
        QVERIFY2(r.tooltip.contains(r.faults.first()), qPrintable(r.tooltip));
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

void TestAnalysis::compare_data()
{
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<QStringList>("phrases"); // none: the read matched
    const QByteArray text = "Ab-12/Zz.x";
    const QByteArray privet = QStringLiteral("Привет").toUtf8();
    const auto row = [](const char *name, const QByteArray &e, const QByteArray &r, bool kb,
                         QStringList phrases) { QTest::newRow(name) << e << r << kb << phrases; };
    row("same", shoes85, shoes85, false, {});
    row("identifier and ending added", shoes85, "]d2" + shoes85 + "\r", false,
        { "добавлен идентификатор символики ]d2", "добавлено окончание CR" });
    row("another ending", "ABC\r", "ABC\r\n", false, { "окончание CR LF вместо CR" });
    row("GS lost", shoes85, without(shoes85, gs), true,
        { "потерян GS после поля (21) (позиция 32)", "потерян GS после поля (91) (позиция 39)" });
    row("GS as Alt-code digits", shoes85, without(shoes85, gs, "029"), true,
        { "GS после поля (21) заменён на цифры Alt-кода «029»",
            "GS после поля (91) заменён на цифры Alt-кода «029»" });
    row("GS as text", milk, without(milk, gs, "{GS}"), true,
        { "GS после поля (21) заменён на текст «{GS}»" });
    row("GS as another key", milk, without(milk, gs, "]"), true,
        { "GS после поля (21) заменён на символ «]»" });
    row("Caps Lock", text, "aB-12/zZ.X", true, { "регистр всех букв обращён" });
    row("layout", text, cp1251(QStringLiteral("Фи-12.Яяюч")), true,
        { "раскладкой клавиатуры", "имел в виду «Ab-12/Zz.x»" });
    row("identifier in the layout", "abc", cp1251(QStringLiteral("ъв2фис")), true,
        { "раскладкой", "идентификатор символики ]d2" });
    row("missing", text, "Ab-1/Zz.x", true, { "не хватает «2» (позиция 5)" });
    row("extra", text, "Ab-12/Zzz.x", true, { "лишнее «z» после позиции 8" });
    row("changed", text, "Ab-13/Zz.x", false, { "вместо «2» пришло «3» (позиция 5)" });
    row("UTF-8 bytes typed", privet, privet, true, { "байтами UTF-8", "«Привет»" });
    row("question marks", privet, "??????", true, { "знаками «?»" });
    row("Windows-1251 on the port", privet, cp1251(QStringLiteral("Привет")), false,
        { "в Windows-1251" });
    row("Windows-1251 typed", privet, cp1251(QStringLiteral("Привет")), true, {});
    row("7E1", "0123456789ABC\r\n", "\x30\xB1\xB2\x33\xB4\x35\x36\xB7\xB8\x39\x41\x42\xC3\x8D\x0A",
        false, { "битом чётности (7E1)" });
}

void TestAnalysis::compare()
{
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, received);
    QFETCH(bool, keyboard);
    QFETCH(QStringList, phrases);
    const QStringList verdict
        = compareReads(expected, received, keyboard ? ReadMode::Keyboard : ReadMode::Serial);
    const QString all = verdict.join(u'\n');
    QCOMPARE(verdict.isEmpty(), phrases.isEmpty());
    for (const QString &phrase : phrases)
        QVERIFY2(all.contains(phrase), qPrintable(all));
}

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
