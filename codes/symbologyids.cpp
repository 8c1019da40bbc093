#include "symbologyids.h"

#include "layouts.h"

#include <algorithm>

namespace {

// ISO/IEC 15424:2008 (data carrier identifiers) with the modifier values of each
// symbology's own standard: Code 39 ISO/IEC 16388, Code 128 ISO/IEC 15417,
// EAN/UPC ISO/IEC 15420, ITF ISO/IEC 16390, PDF417 ISO/IEC 15438, QR Code
// ISO/IEC 18004, Data Matrix ISO/IEC 16022, Aztec ISO/IEC 24778, GS1 DataBar
// ISO/IEC 24724, DotCode (AIM ISS DotCode); the GS1 carriers as listed in the
// GS1 General Specifications, section 5.1.2 (symbology identifiers).
constexpr auto plain = "обычные данные, не GS1";
constexpr auto gs1Data = "данные — строки элементов GS1: поля по идентификаторам применения, поле "
                         "переменной длины кончается символом GS (FNC1)";
constexpr SymbologyId table[] = {
    { "]A0", "Code 39", "контрольный символ не проверялся, данные как есть" },
    { "]A1", "Code 39, контрольный символ проверен и передан", plain },
    { "]A3", "Code 39, контрольный символ проверен и удалён", plain },
    { "]A4", "Code 39 Full ASCII", "пары символов уже преобразованы в полный набор ASCII" },
    { "]A5", "Code 39 Full ASCII, контрольный символ проверен и передан", plain },
    { "]A7", "Code 39 Full ASCII, контрольный символ проверен и удалён", plain },
    { "]C0", "Code 128", plain },
    { "]C1", "GS1-128 (Code 128 с FNC1 в первой позиции)", gs1Data, true },
    { "]C2", "Code 128 с FNC1 во второй позиции", "данные отраслевого формата" },
    { "]C4", "Code 128, сцепление по ISBT 128", "данные службы крови (ISBT 128)" },
    { "]E0", "EAN-13, UPC-A или UPC-E",
        "13 цифр (UPC-A с нулём впереди), последняя — контрольная" },
    { "]E1", "двухзначное дополнение EAN/UPC", "только цифры дополнения" },
    { "]E2", "пятизначное дополнение EAN/UPC", "только цифры дополнения" },
    { "]E3", "EAN/UPC с дополнением одним сообщением", "цифры кода, сразу за ними дополнение" },
    { "]E4", "EAN-8", "8 цифр, последняя — контрольная" },
    { "]F0", "Codabar", plain },
    { "]G0", "Code 93", plain },
    { "]I0", "ITF (чередующийся 2 из 5)", "контрольная цифра не проверялась" },
    { "]I1", "ITF, контрольная цифра проверена и передана", "для ITF-14 — GTIN из 14 цифр" },
    { "]I3", "ITF, контрольная цифра проверена и удалена", plain },
    { "]L0", "PDF417 по первоначальной спецификации (1994)", plain },
    { "]L1", "PDF417 или MicroPDF417 с ECI (ISO/IEC 15438)",
        "данные с указателями кодировки ECI; обратная косая черта удвоена" },
    { "]L2", "PDF417 или MicroPDF417, основной канал (ISO/IEC 15438)",
        "данные без ECI, обратная косая черта не удваивается" },
    { "]Q0", "QR Code модели 1", plain },
    { "]Q1", "QR Code", "без ECI и FNC1: кодировка текста не объявлена (часто UTF-8)" },
    { "]Q2", "QR Code с ECI", "данные с указателями кодировки ECI" },
    { "]Q3", "GS1 QR Code (FNC1 в первой позиции)", gs1Data, true },
    { "]Q4", "GS1 QR Code с ECI", gs1Data, true },
    { "]Q5", "QR Code с FNC1 во второй позиции", "данные отраслевого формата" },
    { "]Q6", "QR Code с ECI и FNC1 во второй позиции", "данные отраслевого формата" },
    { "]d0", "Data Matrix ECC 000–140 (устаревший)", plain },
    { "]d1", "Data Matrix ECC 200", "обычный Data Matrix, не GS1 DataMatrix" },
    { "]d2", "GS1 DataMatrix (FNC1 в первой позиции)", gs1Data, true },
    { "]d3", "Data Matrix с FNC1 во второй позиции", "данные отраслевого формата" },
    { "]d4", "Data Matrix с ECI", "данные с указателями кодировки ECI" },
    { "]d5", "GS1 DataMatrix с ECI", gs1Data, true },
    { "]d6", "Data Matrix с ECI и FNC1 во второй позиции", "данные отраслевого формата" },
    { "]e0", "GS1 DataBar или GS1 Composite", gs1Data, true },
    { "]J0", "DotCode", plain },
    { "]J1", "GS1 DotCode (FNC1 в первой позиции)", gs1Data, true },
    { "]U0", "MaxiCode, режимы 4–6", plain },
    { "]U1", "MaxiCode, режимы 2–3", "структурированное сообщение перевозчика" },
    { "]z0", "Aztec Code", plain },
    { "]z1", "GS1 Aztec Code (FNC1 в первой позиции)", gs1Data, true },
    { "]z2", "Aztec Code с FNC1 во второй позиции", "данные отраслевого формата" },
    { "]z3", "Aztec Code с ECI", "данные с указателями кодировки ECI" },
    { "]z4", "GS1 Aztec Code с ECI", gs1Data, true },
    { "]z5", "Aztec Code с ECI и FNC1 во второй позиции", "данные отраслевого формата" },
    { "]z6", "Aztec Code, часть составного сообщения", plain },
    { "]zC", "Aztec Runes", "одно число от 0 до 255" },
    { "]X0", "символика без собственного идентификатора", plain },
    { "]Z0", "данные не из штрихового кода (клавиатура, магнитная карта)", plain },
};

} // namespace

namespace SymbologyIds {

SymbologyId find(const QString &threeCharacters)
{
    if (threeCharacters.size() != 3)
        return {};
    const QByteArray key = threeCharacters.toLatin1();
    for (const SymbologyId &entry : table) {
        if (key == entry.id)
            return entry;
    }
    return {};
}

Leading leading(const QString &text, bool keyboard)
{
    if (text.size() < 3)
        return {};
    const QString head = text.left(3);
    for (const bool russian : { false, true }) {
        // "]" is the key of "ъ" on the Russian layout; "Ъ" with Shift.
        if (russian && (!keyboard || (head[0] != u'ъ' && head[0] != u'Ъ')))
            continue;
        for (const bool caps : { false, true }) {
            if (caps && !keyboard)
                continue;
            QString meant = Layouts::keysMeant(head, russian, caps);
            if (russian && meant[0] == u'}')
                meant[0] = u']';
            if (meant[0] != u']')
                continue;
            if (const SymbologyId id = find(meant); id.id)
                return { id, meant, russian, caps };
        }
    }
    return {};
}

QString family(const SymbologyId &id)
{
    const QString name = QString::fromUtf8(id.name);
    const auto end = std::find_if(
        name.cbegin(), name.cend(), [](QChar ch) { return ch == u',' || ch == u'('; });
    return QStringView(name.cbegin(), end).trimmed().toString();
}

} // namespace SymbologyIds
