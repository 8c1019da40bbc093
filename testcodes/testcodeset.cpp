#include "testcodes/testcodeset.h"

// Every GTIN below has the GS1 Prefix 20, one of those GS1 keeps for numbers of
// restricted circulation within a company or region (GS1 General Specifications,
// table of GS1 Prefixes, 200-299): no traded product carries it. Their check
// digits follow the GS1 modulo-10 rule (GS1 General Specifications, section 7.9).
//
// Symbology identifiers "]cm" (ISO/IEC 15424:2008): c names the symbology, m is
// the modifier the symbology's own standard gives:
//   E0  EAN-13 without add-on (ISO/IEC 15420);
//   C0  Code 128, no FNC1 in the first position; C1 with it, that is GS1-128
//       (ISO/IEC 15417);
//   d1  Data Matrix ECC 200; d2 ECC 200 with FNC1 first, that is GS1 DataMatrix
//       (ISO/IEC 16022);
//   Q1  QR Code model 2 read without the ECI protocol; no ECI is encoded here, so
//       a reader that applies the protocol sends the same (ISO/IEC 18004:2015);
//   A0  Code 39, no check character verified, no Full ASCII (ISO/IEC 16388);
//   I1  Interleaved 2 of 5 with its modulo-10 check digit verified and sent, as
//       an ITF-14 reads (ISO/IEC 16390:2007, Annex C; the GS1 General
//       Specifications list ]I1 for ITF-14 in their table of symbology
//       identifiers, section 5.1);
//   L2  PDF417 read in basic channel mode, no ECI (ISO/IEC 15438:2015).

namespace {

// The marking-code shape: 01 + GTIN (14) + 21 + serial (13) + GS + 91 + key (4) +
// GS + 92 + verification code (44), 85 characters in all. The serial holds the
// punctuation real serials carry; the verification code is the base64 of a
// sentence, as long as a real one and meaning nothing.
const QByteArray markingGtin = "02001234567893";
const QByteArray markingSerial = "aB3'xY%Zq&7<R";
const QByteArray markingKey = "AB12";
const QByteArray markingCheck = "T3J2YXRlazogbWFkZS11cCB0ZXN0IGRhdGEgb25seSE=";
const QByteArray markingCode = "01" + markingGtin + "21" + markingSerial + '\x1d' + "91"
    + markingKey + '\x1d' + "92" + markingCheck;

QList<TestCode> makeSet()
{
    return {
        { QStringLiteral("EAN-13"), Symbology::Ean13, {}, "2001234567893", "]E0",
            QStringLiteral("Только цифры: проверка, что код вообще доходит без искажений.") },
        { QStringLiteral("Code 128: регистр и знаки"), Symbology::Code128, {}, "Ab-12/Zz.x", "]C0",
            QStringLiteral("Строчные и прописные буквы, цифры и знаки: Caps Lock, раскладка "
                           "клавиатуры, знаки препинания.") },
        // The batch comes before the date so that a GS follows a variable field.
        { QStringLiteral("GS1-128: GTIN, партия, срок годности"), Symbology::Gs1_128,
            "[01]02001234567893[10]LOT1[17]271231",
            QByteArray("0102001234567893"
                       "10LOT1")
                + '\x1d' + "17271231",
            "]C1",
            QStringLiteral("FNC1 в линейном коде: GS после номера партии потерян или заменён, "
                           "идентификатор ]C1.") },
        { QStringLiteral("GS1 DataMatrix: код маркировки"), Symbology::Gs1DataMatrix,
            "[01]" + markingGtin + "[21]" + markingSerial + "[91]" + markingKey + "[92]"
                + markingCheck,
            markingCode, "]d2",
            QStringLiteral("Два GS в коде из 85 символов: потерянный или заменённый GS, "
                           "раскладка и регистр в серийном номере и коде проверки.") },
        { QStringLiteral("Data Matrix без GS1: то же содержимое"), Symbology::DataMatrix, {},
            markingCode, "]d1",
            QStringLiteral("Те же байты без признака GS1: сканер должен сообщить ]d1, а не ]d2.") },
        { QStringLiteral("QR: кириллица в UTF-8"), Symbology::QrCode, {},
            QStringLiteral("Проверка: съешь же ещё этих мягких булок, Ёж! 1/2").toUtf8(), "]Q1",
            QStringLiteral("Кодировка: буквы приходят байтами UTF-8, в Windows-1251 или "
                           "знаками «?».") },
        { QStringLiteral("Code 39"), Symbology::Code39, {}, "ORV 39-A/1.5", "]A0",
            QStringLiteral("Прописные буквы, пробел и знаки «-», «/», «.»: раскладка и Caps "
                           "Lock.") },
        // libzint takes the first 13 digits and adds the check digit itself.
        { QStringLiteral("ITF-14"), Symbology::Itf14, "1200123456789", "12001234567890", "]I1",
            QStringLiteral("Цифры парами: код обрезан или дополнен, контрольная цифра "
                           "отброшена.") },
        { QStringLiteral("PDF417 с GS"), Symbology::Pdf417, {},
            QByteArray("PDF417") + '\x1d' + "Ab-12" + '\x1d' + "z.9", "]L2",
            QStringLiteral("GS в многострочном коде: потерян или заменён.") },
    };
}

} // namespace

const QList<TestCode> &testCodeSet()
{
    static const QList<TestCode> set = makeSet();
    return set;
}
