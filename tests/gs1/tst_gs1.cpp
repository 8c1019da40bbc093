// The gs1 component against published examples: the GS1 General
// Specifications, the comments of GS1's Barcode Syntax Dictionary and of its
// linters, GS1 Digital Link: URI syntax. Every element string of the value
// table that libzint's GS1 verification knows is also judged by libzint.
#include "codes/layouts.h"
#include "codes/symbologyids.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1dictionary.h"
#include "gs1/gs1digitallink.h"
#include "gs1/gs1lint.h"

#include <QTest>

#include <zint.h>

using namespace Gs1;

namespace {

// "csum:WrongCheckDigit@13=2; format:TooShort@3"
QString describe(const QList<LintFault> &faults)
{
    QStringList parts;
    for (const LintFault &f : faults) {
        QString part = QStringLiteral("%1:%2@%3")
                           .arg(f.linter == Linter::none ? "format" : linterName(f.linter), errorName(f.error))
                           .arg(f.offset);
        if (f.wanted[0] && f.linter != Linter::couponcode && f.linter != Linter::couponposoffer)
            part += u'=' + QLatin1StringView(f.wanted);
        parts << part;
    }
    return parts.join(u"; ");
}

} // namespace

class TestGs1 : public QObject
{
    Q_OBJECT

private slots:
    void table_data();
    void table();
    void value_data();
    void value();
    void agreesWithLibzint_data() { value_data(); }
    void agreesWithLibzint();
    void associations_data();
    void associations();
    void digitalLink_data();
    void digitalLink();
    void mangledByRussianLayout();
    void symbologyIdentifiers_data();
    void symbologyIdentifiers();
};

void TestGs1::table_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("ai"); // "" for none
    QTest::addColumn<bool>("predefined");
    QTest::addColumn<QString>("title");
    QTest::newRow("GTIN") << "0109506000134352" << "01" << true << "GTIN";
    QTest::newRow("batch") << "10ABC" << "10" << false << "BATCH/LOT";
    QTest::newRow("net weight, 5 decimals") << "3105000123" << "3105" << true << "NET WEIGHT (kg)";
    QTest::newRow("no decimal 6 for weights") << "3106000123" << "" << false << "";
    QTest::newRow("national healthcare number") << "710PZN1234" << "710" << false << "NHRN PZN";
    QTest::newRow("ship-to company") << "4300ACME" << "4300" << false << "SHIP TO COMP";
    QTest::newRow("last of a range") << "99X" << "99" << false << "INTERNAL";
    QTest::newRow("no such AI") << "23X" << "" << false << "";
}

void TestGs1::table()
{
    QFETCH(QString, data);
    QFETCH(QString, ai);
    const AiEntry *entry = match(data);
    QCOMPARE(entry ? QString(entry->code()) : QString(), ai);
    if (!entry)
        return;
    QFETCH(bool, predefined);
    QFETCH(QString, title);
    QCOMPARE(entry->predefinedLength, predefined);
    QCOMPARE(QString::fromUtf8(entry->title), title);
    QCOMPARE(std::distance(begin(), end()), 541); // the dictionary's AIs, ranges written out
}

void TestGs1::value_data()
{
    QTest::addColumn<QString>("ai");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("faults");
    // Check digits and keys.
    QTest::newRow("GTIN") << "01" << "09506000134352" << "";
    QTest::newRow("GTIN, wrong check digit") << "01" << "09506000134353" << "csum:WrongCheckDigit@13=2";
    QTest::newRow("GTIN, 15 digits") << "01" << "095060001343521" << "format:TooLong@14";
    QTest::newRow("SSCC") << "00" << "106141412345678908" << "";
    QTest::newRow("GDTI without serial") << "253" << "9520123456788" << "";
    QTest::newRow("GCN without serial") << "255" << "9521234567899" << "";
    QTest::newRow("GCN, wrong check digit") << "255" << "9521234567898" << "csum:WrongCheckDigit@12=9";
    QTest::newRow("GRAI without serial") << "8003" << "03870585000552" << "";
    QTest::newRow("GMN") << "8013" << "1987654Ad4X4bL5ttr2310c2K" << "";
    QTest::newRow("GMN, wrong check pair") << "8013" << "1987654Ad4X4bL5ttr2310cXK"
                                           << "csumalpha:WrongCheckPair@23=2K";
    QTest::newRow("GIAI without company prefix") << "8004" << "AB123456" << "gcppos1:NoCompanyPrefix@0";
    QTest::newRow("GRAI, first digit 1") << "8003" << "13870585000552" << "zero:NotZero@0";
    QTest::newRow("CPID, lower case") << "8010" << "1234abc" << "format:NotInSet39@4";
    QTest::newRow("batch with a blank") << "10" << "AB C" << "format:NotInSet82@2";
    // Dates and times.
    QTest::newRow("expiry") << "17" << "240229" << "";
    QTest::newRow("expiry, February 29 of 2023") << "17" << "230229" << "yymmd0:BadDay@4";
    QTest::newRow("expiry, February 30") << "17" << "240230" << "yymmd0:BadDay@4";
    QTest::newRow("production date, day 00") << "11" << "210200" << "";
    QTest::newRow("release date, day 00") << "4326" << "210200" << "yymmdd:BadDay@4";
    QTest::newRow("date of birth, February 29 of 2023") << "7250" << "20230229" << "yyyymmdd:BadDay@6";
    QTest::newRow("not before delivery, 24:00") << "4324" << "2101012400" << "hhmi:BadHour@6";
    QTest::newRow("test by date, 12:60") << "7011" << "2101011260" << "hhmi:BadMinute@8";
    QTest::newRow("harvest date, one day") << "7007" << "210101" << "";
    QTest::newRow("harvest dates, a period") << "7007" << "210101211231" << "";
    QTest::newRow("harvest dates, 8 digits") << "7007" << "21010121" << "format:TooShort@6";
    QTest::newRow("harvest dates, 10 digits") << "7007" << "2101012112" << "format:TooShort@6";
    QTest::newRow("harvest dates, second judged") << "7007" << "210101211299" << "yymmdd:BadDay@10";
    QTest::newRow("production time, hours") << "8008" << "21010112" << "";
    QTest::newRow("production time, seconds") << "8008" << "210101123045" << "";
    QTest::newRow("production time, 9 digits") << "8008" << "210101123" << "format:TooShort@8";
    QTest::newRow("production time, hour 24") << "8008" << "2101012400" << "hh:BadHour@6";
    QTest::newRow("production time, minute 60") << "8008" << "2101011260" << "mi:BadMinute@8";
    QTest::newRow("production time, second 60") << "8008" << "261207153060" << "ss:BadSecond@10";
    QTest::newRow("production time, second 61") << "8008" << "210101123061" << "ss:BadSecond@10";
    // Countries, currencies, IBAN.
    QTest::newRow("countries of processing") << "423" << "380008" << "";
    QTest::newRow("countries, 4 digits") << "423" << "3800" << "format:TooShort@3";
    QTest::newRow("countries of disassembly, 4 digits") << "425" << "3800" << "format:TooShort@3";
    QTest::newRow("country 999") << "422" << "999" << "iso3166:UnknownCountry@0";
    QTest::newRow("processor in country 999") << "7030" << "999ABC" << "";
    QTest::newRow("ship-to country") << "4307" << "XX" << "iso3166alpha2:UnknownCountry@0";
    QTest::newRow("amount in euro") << "3912" << "97812345" << "";
    QTest::newRow("amount, currency 000") << "3912" << "00012345" << "iso4217:UnknownCurrency@0";
    QTest::newRow("IBAN") << "8007" << "GB82WEST12345698765432" << "";
    QTest::newRow("IBAN, wrong check") << "8007" << "GB82WEST12345698765431" << "iban:WrongIbanCheck@2";
    QTest::newRow("IBAN, no country") << "8007" << "XX82WEST12345698765432" << "iban:IbanBadCountry@0";
    // Other linters.
    QTest::newRow("piece of total") << "8006" << "095060001343520102" << "";
    QTest::newRow("piece beyond total") << "8006" << "095060001343520302" << "pieceoftotal:PieceExceedsTotal@14";
    QTest::newRow("latitude beyond 90") << "4309" << "18000000010400000000" << "latitude:BadLatitude@0";
    QTest::newRow("longitude beyond 180") << "4309" << "03000000003600000001" << "longitude:BadLongitude@10";
    QTest::newRow("percent-encoded") << "4300" << "ABC%20D" << "";
    QTest::newRow("percent cut short") << "4300" << "AB%2" << "pcenc:BadPercentSequence@2";
    QTest::newRow("yes or no, 2") << "4321" << "2" << "yesno:NotYesNo@0";
    QTest::newRow("roll, winding 2") << "8001" << "01230456700129" << "winding:BadWinding@12";
    QTest::newRow("roll, width 0") << "8001" << "00000456700119" << "nonzero:AllZero@0";
    QTest::newRow("CPID serial, leading zero") << "8011" << "0123" << "nozeroprefix:ZeroPrefix@0";
    QTest::newRow("importer index") << "7040" << "1A2!" << "importeridx:BadImporterIndex@3";
    QTest::newRow("temperature, minus") << "4330" << "001234-" << "";
    QTest::newRow("temperature, plus") << "4330" << "001234+" << "hyphen:NotHyphen@6";
    QTest::newRow("birth sequence") << "7258" << "1/3" << "";
    QTest::newRow("birth sequence beyond end") << "7258" << "3/1" << "posinseqslash:PositionExceedsEnd@0";
    QTest::newRow("biological sex 3") << "7252" << "3" << "iso5218:BadBiologicalSex@0";
    QTest::newRow("AIDC media type 11") << "7241" << "11" << "mediatype:UnknownMediaType@0";
    QTest::newRow("package type") << "7041" << "BX" << "";
    QTest::newRow("package type QQQ") << "7041" << "QQQ" << "packagetype:UnknownPackageType@0";
    QTest::newRow("digital signature, padding") << "8030" << "12=" << "";
    QTest::newRow("digital signature, plus sign") << "8030" << "AB+C" << "format:NotInSet64@2";
    QTest::newRow("digital signature, bad padding") << "8030" << "123=" << "format:BadPadding@3";
    QTest::newRow("coupon") << "8110" << "012345612345611110123" << "";
    QTest::newRow("coupon, prefix length 7") << "8110" << "71234567890123" << "couponcode:CouponFieldBadValue@0";
    QTest::newRow("positive offer coupon") << "8112" << "001234561234560123456" << "";
    QTest::newRow("positive offer, trailing data") << "8112" << "0012345612345601234567"
                                                   << "couponposoffer:CouponExcessData@21";
}

void TestGs1::value()
{
    QFETCH(QString, ai);
    QFETCH(QString, value);
    const AiEntry *entry = find(ai);
    QVERIFY(entry);
    QFETCH(QString, faults);
    QCOMPARE(describe(checkValue(*entry, value)), faults);
}

void TestGs1::agreesWithLibzint()
{
    QFETCH(QString, ai);
    QFETCH(QString, value);
    QFETCH(QString, faults);
    const QByteArray input = ('[' + ai + ']' + value).toLatin1();
    zint_symbol *symbol = ZBarcode_Create();
    symbol->symbology = BARCODE_GS1_128;
    symbol->input_mode = GS1_MODE;
    const int result = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char *>(input.constData()),
                                       int(input.size()));
    const QByteArray said(symbol->errtxt);
    ZBarcode_Delete(symbol);
    if (said.contains("Invalid AI ("))
        QSKIP("libzint does not know this AI");
    QVERIFY2((result >= ZINT_WARN_NONCOMPLIANT) == !faults.isEmpty(), said.constData());
}

void TestGs1::associations_data()
{
    QTest::addColumn<QStringList>("elements"); // "ai=value"
    QTest::addColumn<QStringList>("faults"); // "kind element other requirement"
    QTest::newRow("GTIN, batch, expiry") << QStringList { "01=09506000134352", "10=ABC1", "17=270101" }
                                         << QStringList {};
    QTest::newRow("GTIN with content GTIN")
        << QStringList { "01=09506000134352", "02=09506000134352", "37=10" }
        << QStringList { "Excluded 0 2 37", "Excluded 1 0 01", "Missing 2 -1 00+02,00+8026" };
    QTest::newRow("content with count and SSCC")
        << QStringList { "00=106141412345678908", "02=09506000134352", "37=10" } << QStringList {};
    QTest::newRow("content without count") << QStringList { "02=09506000134352" } << QStringList { "Missing 0 -1 37" };
    QTest::newRow("GTIN twice, two values") << QStringList { "01=09506000134352", "01=04600439931256" }
                                            << QStringList { "Repeated 1 0 " };
    QTest::newRow("GTIN twice, one value") << QStringList { "01=09506000134352", "01=09506000134352" }
                                           << QStringList {};
    QTest::newRow("serial without GTIN") << QStringList { "21=ABC" } << QStringList { "Missing 0 -1 01,03,8006" };
    QTest::newRow("two decimal positions of a weight")
        << QStringList { "01=09506000134352", "3103=000123", "3102=001230" } << QStringList { "Excluded 1 2 310n" };
}

void TestGs1::associations()
{
    QFETCH(QStringList, elements);
    QList<AiValue> list;
    for (const QString &e : std::as_const(elements)) {
        const qsizetype eq = e.indexOf(u'=');
        list.append({ QStringView(e).first(eq), QStringView(e).sliced(eq + 1) });
    }
    static constexpr const char *kinds[] = { "Missing", "Excluded", "Repeated" };
    QStringList got;
    for (const AssociationFault &f : checkAssociations(list))
        got << QStringLiteral("%1 %2 %3 %4").arg(kinds[int(f.kind)]).arg(f.element).arg(f.other).arg(f.requirement);
    QFETCH(QStringList, faults);
    QCOMPARE(got, faults);
}

void TestGs1::digitalLink_data()
{
    QTest::addColumn<QString>("uri");
    QTest::addColumn<bool>("digitalLink");
    QTest::addColumn<QString>("elements"); // GS as "|"
    QTest::addColumn<QString>("faults"); // "kind:ai@offset"
    QTest::newRow("GTIN, batch, expiry") << "https://example.com/01/09506000134352/10/ABC1?17=270101" << true
                                         << "0109506000134352" "10ABC1|17270101" << "";
    QTest::newRow("resolver path and percent-encoding")
        << "https://id.example.org/gs1/01/09506000134352/21/AB%2F1" << true << "010950600013435221AB/1" << "";
    QTest::newRow("other parameters") << "https://example.com/01/09506000134352?4321=1&linkType=all" << true
                                      << "01095060001343524321" "1" << "";
    QTest::newRow("GTIN-13 padded") << "https://example.com/01/4600439931256" << true << "0104600439931256" << "";
    QTest::newRow("serial before batch") << "https://example.com/01/09506000134352/21/X/10/Y" << true
                                         << "010950600013435221X|10Y" << "QualifierOutOfOrder:10@46";
    QTest::newRow("not a qualifier of GTIN") << "https://example.com/01/09506000134352/99/X" << true
                                             << "010950600013435299X" << "NotQualifier:99@41";
    QTest::newRow("SSCC as attribute") << "https://example.com/01/09506000134352?00=106141412345678908" << true
                                       << "010950600013435200106141412345678908" << "NotAttribute:00@38";
    QTest::newRow("bad percent-encoding") << "https://example.com/01/09506000134352/10/AB%G1" << true
                                          << "010950600013435210AB%G1" << "BadPercentEncoding:@43";
    QTest::newRow("unknown attribute") << "https://example.com/01/09506000134352?9999=1" << true
                                       << "0109506000134352" << "UnknownAi:9999@38";
    QTest::newRow("no GS1 path") << "https://example.com/about/us" << false << "" << "";
}

void TestGs1::digitalLink()
{
    QFETCH(QString, uri);
    const DigitalLink link = parseDigitalLink(uri);
    QVERIFY(link.uri);
    QFETCH(bool, digitalLink);
    QCOMPARE(link.digitalLink, digitalLink);
    QFETCH(QString, elements);
    QCOMPARE(link.elementString().replace(QChar(0x1D), u'|'), elements);
    QStringList got;
    for (const DigitalLinkFault &f : link.faults)
        got << QStringLiteral("%1:%2@%3").arg(QLatin1String(faultName(f.kind)), f.ai).arg(f.offset);
    QFETCH(QString, faults);
    QCOMPARE(got.join(u"; "), faults);
}

void TestGs1::mangledByRussianLayout()
{
    // A scanner's keys for the URI typed through the Russian layout: "/" gives
    // ".", ":" gives "Ж", "?" gives ",".
    const QString uri = QStringLiteral("https://example.com/01/09506000134352?17=270101");
    QString typed;
    for (const QChar ch : uri)
        typed += Layouts::russianFromUs(ch);
    const QList<int> changed = mangledUriCharacters(typed, Layouts::keysMeant(typed, true, false));
    QList<int> expected;
    for (int i = 0; i < uri.size(); ++i) {
        if (QStringView(u"/:?").contains(uri[i]))
            expected << i;
    }
    QCOMPARE(changed, expected);
    QVERIFY(mangledUriCharacters(uri, uri).isEmpty());
}

void TestGs1::symbologyIdentifiers_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("data"); // -1: no such identifier
    QTest::addColumn<bool>("eci");
    QTest::addColumn<bool>("structuredAppend");
    QTest::newRow("GS1 DataMatrix") << "]d2" << int(SymbologyData::ElementStrings) << false << false;
    QTest::newRow("GS1 DataMatrix with ECI") << "]d5" << int(SymbologyData::ElementStrings) << true << false;
    QTest::newRow("Data Matrix") << "]d1" << int(SymbologyData::Plain) << false << false;
    QTest::newRow("GS1 QR Code with ECI") << "]Q4" << int(SymbologyData::ElementStrings) << true << false;
    QTest::newRow("QR Code, FNC1 second") << "]Q5" << int(SymbologyData::Industry) << false << false;
    QTest::newRow("GS1 Aztec, structured append") << "]z7" << int(SymbologyData::ElementStrings) << false << true;
    QTest::newRow("Aztec, ECI, FNC1 second, structured append") << "]zB" << int(SymbologyData::Industry) << true
                                                                << true;
    QTest::newRow("MaxiCode with ECI") << "]U2" << int(SymbologyData::Plain) << true << false;
    QTest::newRow("EAN-13") << "]E0" << int(SymbologyData::Gtin) << false << false;
    QTest::newRow("no such modifier") << "]d9" << -1 << false << false;
}

void TestGs1::symbologyIdentifiers()
{
    QFETCH(QString, id);
    QFETCH(int, data);
    QFETCH(bool, eci);
    QFETCH(bool, structuredAppend);
    const SymbologyId found = SymbologyIds::find(id);
    QCOMPARE(found.id ? int(found.data) : -1, data);
    if (found.id) {
        QCOMPARE(found.eci, eci);
        QCOMPARE(found.structuredAppend, structuredAppend);
    }
}

QTEST_APPLESS_MAIN(TestGs1)
#include "tst_gs1.moc"
