#include "codes/symbologyids.h"

#include "codes/layouts.h"

#include <QStringList>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

using D = SymbologyData;
constexpr bool eci = true;
constexpr bool sa = true;

// ISO/IEC 15424:2008 (data carrier identifiers, "]" + code + modifier), the
// modifiers as each symbology's standard gives them: Code 39 ISO/IEC 16388,
// Code 128 ISO/IEC 15417, EAN/UPC ISO/IEC 15420, Codabar and ITF the annex of
// ISO/IEC 15424 and ISO/IEC 16390, PDF417 ISO/IEC 15438, QR Code ISO/IEC 18004
// (table of symbology identifier options), MaxiCode ISO/IEC 16023, Data Matrix
// ISO/IEC 16022 (section 10.4: 2 FNC1 first, 3 FNC1 second, 4 ECI, 5 ECI and
// FNC1 first, 6 ECI and FNC1 second), Aztec ISO/IEC 24778 (annex on symbology
// identifiers: +1 FNC1 first, +2 FNC1 second, +3 ECI, +6 structured append,
// "C" a rune), GS1 DataBar ISO/IEC 24724, DotCode (AIM ISS DotCode); the GS1
// carriers as the GS1 General Specifications (section 5.1.2, symbology
// identifiers) list them. Sorted by code, then modifier.
constexpr auto plain = "обычные данные, не GS1";
constexpr auto gs1Data = "данные — строки элементов GS1: поля по идентификаторам применения, поле "
                         "переменной длины кончается символом GS (FNC1)";
constexpr auto industry = "данные отраслевого формата";
constexpr auto eciData = "данные с указателями кодировки ECI";
constexpr auto part = "данные одного символа из нескольких (составное сообщение)";
constexpr SymbologyId table[] = {
    { "]A0", "Code 39", "контрольный символ не проверялся, данные как есть" },
    { "]A1", "Code 39, контрольный символ проверен и передан", plain },
    { "]A3", "Code 39, контрольный символ проверен и удалён", plain },
    { "]A4", "Code 39 Full ASCII", "пары символов уже преобразованы в полный набор ASCII" },
    { "]A5", "Code 39 Full ASCII, контрольный символ проверен и передан", plain },
    { "]A7", "Code 39 Full ASCII, контрольный символ проверен и удалён", plain },
    { "]C0", "Code 128", plain },
    { "]C1", "GS1-128 (Code 128 с FNC1 в первой позиции)", gs1Data, D::ElementStrings },
    { "]C2", "Code 128 с FNC1 во второй позиции", industry, D::Industry },
    { "]C4", "Code 128, сцепление по ISBT 128", "данные службы крови (ISBT 128)" },
    { "]E0", "EAN-13, UPC-A или UPC-E", "13 цифр (UPC-A с нулём впереди), последняя — контрольная",
        D::Gtin },
    { "]E1", "двухзначное дополнение EAN/UPC", "только цифры дополнения", D::Gtin },
    { "]E2", "пятизначное дополнение EAN/UPC", "только цифры дополнения", D::Gtin },
    { "]E3", "EAN/UPC с дополнением одним сообщением", "цифры кода, сразу за ними дополнение",
        D::Gtin },
    { "]E4", "EAN-8", "8 цифр, последняя — контрольная", D::Gtin },
    { "]F0", "Codabar", plain },
    { "]F1", "ABC Codabar", plain },
    { "]F2", "Codabar, контрольный символ проверен и передан", plain },
    { "]F4", "Codabar, контрольный символ проверен и удалён", plain },
    { "]G0", "Code 93", plain },
    { "]I0", "ITF (чередующийся 2 из 5)", "контрольная цифра не проверялась" },
    { "]I1", "ITF, контрольная цифра проверена и передана", "для ITF-14 — GTIN из 14 цифр" },
    { "]I3", "ITF, контрольная цифра проверена и удалена", plain },
    { "]J0", "DotCode", plain },
    { "]J1", "GS1 DotCode (FNC1 в первой позиции)", gs1Data, D::ElementStrings },
    { "]L0", "PDF417 по первоначальной спецификации (1994)", plain },
    { "]L1", "PDF417 или MicroPDF417 с ECI (ISO/IEC 15438)",
        "данные с указателями кодировки ECI; обратная косая черта удвоена", D::Plain, eci },
    { "]L2", "PDF417 или MicroPDF417, основной канал (ISO/IEC 15438)",
        "данные без ECI, обратная косая черта не удваивается" },
    { "]Q0", "QR Code модели 1", plain },
    { "]Q1", "QR Code", "без ECI и FNC1: кодировка текста не объявлена (часто UTF-8)" },
    { "]Q2", "QR Code с ECI", eciData, D::Plain, eci },
    { "]Q3", "GS1 QR Code (FNC1 в первой позиции)", gs1Data, D::ElementStrings },
    { "]Q4", "GS1 QR Code с ECI", gs1Data, D::ElementStrings, eci },
    { "]Q5", "QR Code с FNC1 во второй позиции", industry, D::Industry },
    { "]Q6", "QR Code с ECI и FNC1 во второй позиции", industry, D::Industry, eci },
    { "]U0", "MaxiCode, режимы 4–6", plain },
    { "]U1", "MaxiCode, режимы 2–3", "структурированное сообщение перевозчика" },
    { "]U2", "MaxiCode с ECI, режимы 4–6", eciData, D::Plain, eci },
    { "]U3", "MaxiCode с ECI, режимы 2–3", "структурированное сообщение перевозчика с ECI",
        D::Plain, eci },
    { "]X0", "символика без собственного идентификатора", plain },
    { "]Z0", "данные не из штрихового кода (клавиатура, магнитная карта)", plain },
    { "]d0", "Data Matrix ECC 000–140 (устаревший)", plain },
    { "]d1", "Data Matrix ECC 200", "обычный Data Matrix, не GS1 DataMatrix" },
    { "]d2", "GS1 DataMatrix (FNC1 в первой позиции)", gs1Data, D::ElementStrings },
    { "]d3", "Data Matrix с FNC1 во второй позиции", industry, D::Industry },
    { "]d4", "Data Matrix с ECI", eciData, D::Plain, eci },
    { "]d5", "GS1 DataMatrix с ECI", gs1Data, D::ElementStrings, eci },
    { "]d6", "Data Matrix с ECI и FNC1 во второй позиции", industry, D::Industry, eci },
    { "]e0", "GS1 DataBar или GS1 Composite", gs1Data, D::ElementStrings },
    { "]z0", "Aztec Code", plain },
    { "]z1", "GS1 Aztec Code (FNC1 в первой позиции)", gs1Data, D::ElementStrings },
    { "]z2", "Aztec Code с FNC1 во второй позиции", industry, D::Industry },
    { "]z3", "Aztec Code с ECI", eciData, D::Plain, eci },
    { "]z4", "GS1 Aztec Code с ECI", gs1Data, D::ElementStrings, eci },
    { "]z5", "Aztec Code с ECI и FNC1 во второй позиции", industry, D::Industry, eci },
    { "]z6", "Aztec Code, часть составного сообщения", part, D::Plain, false, sa },
    { "]z7", "GS1 Aztec Code, часть составного сообщения", gs1Data, D::ElementStrings, false, sa },
    { "]z8", "Aztec Code с FNC1 во второй позиции, часть составного сообщения", industry,
        D::Industry, false, sa },
    { "]z9", "Aztec Code с ECI, часть составного сообщения", part, D::Plain, eci, sa },
    { "]zA", "GS1 Aztec Code с ECI, часть составного сообщения", gs1Data, D::ElementStrings, eci,
        sa },
    { "]zB", "Aztec Code с ECI и FNC1 во второй позиции, часть составного сообщения", industry,
        D::Industry, eci, sa },
    { "]zC", "Aztec Runes", "одно число от 0 до 255" },
};

constexpr bool before(const char *a, const char *b)
{
    return a[1] != b[1] ? a[1] < b[1] : a[2] < b[2];
}
constexpr bool sorted()
{
    for (std::size_t i = 1; i < std::size(table); ++i) {
        if (!before(table[i - 1].id, table[i].id))
            return false;
    }
    return true;
}
static_assert(sorted());

} // namespace

namespace SymbologyIds {

SymbologyId find(QStringView s)
{
    if (s.size() != 3 || s[0] != u']' || s[1].unicode() > 127 || s[2].unicode() > 127)
        return {};
    const char key[] = { ']', char(s[1].unicode()), char(s[2].unicode()), 0 };
    const auto *it = std::lower_bound(std::begin(table), std::end(table), key,
        [](const SymbologyId &entry, const char *k) { return before(entry.id, k); });
    return it != std::end(table) && std::strcmp(it->id, key) == 0 ? *it : SymbologyId {};
}

const SymbologyId *begin()
{
    return std::begin(table);
}

const SymbologyId *end()
{
    return std::end(table);
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

QString withoutEci(QStringView data, QStringList *designators)
{
    QString out;
    out.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] != u'\\') {
            out.append(data[i]);
            continue;
        }
        if (i + 1 < data.size() && data[i + 1] == u'\\') {
            out.append(u'\\');
            ++i;
            continue;
        }
        const QStringView digits = data.mid(i + 1, 6);
        if (digits.size() == 6
            && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
            if (designators)
                designators->append(data.mid(i, 7).toString());
            i += 6;
            continue;
        }
        out.append(u'\\'); // a lone backslash, as it came
    }
    return out;
}

} // namespace SymbologyIds
