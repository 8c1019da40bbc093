#include "analysis/readreport.h"

#include "analysis/readbytes.h"
#include "analysis/readsplitter.h"
#include "codes/findingtext.h"
#include "codes/readtext.h"
#include "text/notation.h"

namespace {

constexpr qsizetype tooltipFaults = 3;

QString timingLine(const ReadTiming &t, Notation::Stamps stamps)
{
    QString line = QStringLiteral("длительность ") + Notation::duration(t.durationMicros, stamps)
        + QStringLiteral("; паузы между символами: наименьшая ")
        + Notation::duration(t.smallestGapMicros, stamps) + QStringLiteral(", медиана ")
        + Notation::duration(t.medianGapMicros, stamps) + QStringLiteral(", наибольшая ")
        + Notation::duration(t.largestGapMicros, stamps);
    if (t.codesPerSecond > 0)
        line += QStringLiteral("; ") + ReadText::decimal(t.codesPerSecond)
            + QStringLiteral(" символа в секунду");
    else
        line += QStringLiteral("; все символы пришли в один момент (одной порцией порта)");
    return line;
}

// Keyboard reads only: the pace tells a scanner from a person.
QString paceLine(const ReadAnalysis &r)
{
    if (r.mode != ReadMode::Keyboard || !r.timing.known)
        return {};
    if (r.length < 4)
        return QStringLiteral("Сканер или человек — по %1 не понять.")
            .arg(ReadText::plural(r.length, "клавише", "клавишам", "клавишам"));
    const bool scanner = r.timing.medianGapMicros <= ReadSplitter::scannerPaceMicros;
    return (scanner ? QStringLiteral("Похоже на сканер: медиана пауз %1 не больше %2")
                    : QStringLiteral("Похоже на человека: медиана пауз %1 больше %2"))
               .arg(Notation::duration(r.timing.medianGapMicros, stampsOf(r.mode)),
                   Notation::duration(ReadSplitter::scannerPaceMicros, stampsOf(r.mode)))
        + QStringLiteral(
            " (сканеры печатают через 5–60 мс, человек так часто подряд почти не печатает).");
}

// Keyboard reads only: the devices the keys came from, as far as they are known.
QString devicesLine(const ReadKeys &keys)
{
    QString line;
    if (!keys.devices.isEmpty())
        line = (keys.devices.size() == 1 ? QStringLiteral("Устройство клавиш: ")
                                         : QStringLiteral("Устройства клавиш: "))
            + keys.devices.join(QStringLiteral(", ")) + u'.';
    if (keys.keysWithoutDevice > 0)
        line += (line.isEmpty() ? QString() : QStringLiteral(" "))
            + QStringLiteral("Не известно, с какого устройства пришли ")
            + ReadText::plural(keys.keysWithoutDevice, "клавиша", "клавиши", "клавиш") + u'.';
    return line;
}

QString summaryLine(const ReadAnalysis &r)
{
    QString line
        = QStringLiteral("Чтение: ") + ReadText::plural(r.length, "символ", "символа", "символов");
    if (!r.symbologyId.isEmpty())
        line += QStringLiteral(", ") + r.symbologyId;
    line += QStringLiteral(", окончание ") + ReadBytes::endingName(r.ending);
    return line;
}

QString contentLine(const ReadAnalysis &r, const ReadReport::Extra &extra)
{
    if (!r.marking.isEmpty())
        return r.faults.isEmpty() ? QStringLiteral("Код маркировки, форма соблюдена")
                                  : QStringLiteral("Код маркировки");
    const ReadContent &content = extra.content;
    if (content.gs1) {
        QString line = content.digitalLink ? QStringLiteral("GS1 Digital Link:") : QStringLiteral("GS1:");
        for (const Gs1Element &element : r.elements)
            line += QStringLiteral(" (") + element.ai + u')';
        return line;
    }
    return content.digitsCheck ? FindingText::sentence(*content.digitsCheck) : QString();
}

// The tooltip: what it is, what is wrong, how fast. The tooltip that shows it
// wraps its lines, never cutting a word, so every character of a fault stays.
QString tooltipText(const ReadAnalysis &r, const ReadReport::Extra &extra)
{
    QStringList tip { summaryLine(r) };
    if (const QString content = contentLine(r, extra); !content.isEmpty())
        tip.append(content);
    for (qsizetype i = 0; i < r.faults.size() && i < tooltipFaults; ++i)
        tip.append(QStringLiteral("• ") + FindingText::sentence(r.faults[i], stampsOf(r.mode)));
    if (r.faults.size() > tooltipFaults)
        tip.append(QStringLiteral("…и ещё ")
            + ReadText::plural(
                r.faults.size() - tooltipFaults, "замечание", "замечания", "замечаний"));
    if (r.timing.known) {
        QString pace = QStringLiteral("Длительность ")
            + Notation::duration(r.timing.durationMicros, stampsOf(r.mode));
        if (r.timing.codesPerSecond > 0)
            pace += QStringLiteral(", ") + QString::number(qRound64(r.timing.codesPerSecond))
                + QStringLiteral(" симв./с");
        if (r.mode == ReadMode::Keyboard && r.length >= 4)
            pace += r.timing.medianGapMicros <= ReadSplitter::scannerPaceMicros
                ? QStringLiteral(", похоже на сканер")
                : QStringLiteral(", похоже на человека");
        tip.append(pace);
    }
    return tip.join(u'\n');
}

// Every code, then each finding, then the timing.
void appendCodesAndFaults(QStringList &t, const QByteArray &codes, const ReadAnalysis &r)
{
    t.append(summaryLine(r)
        + (r.mode == ReadMode::Serial ? QStringLiteral(" (с COM-порта)")
                                      : QStringLiteral(" (с клавиатуры)")));
    t.append(QStringLiteral("Текст: ") + ReadText::visible(codes));
    t.append(QStringLiteral("Коды (hex):"));
    t.append(ReadText::hex(codes, 16));
    t.append(QStringLiteral("Идентификатор символики в начале: ")
        + (r.symbologyId.isEmpty() ? QStringLiteral("нет") : r.symbologyId));
    t.append(QStringLiteral("Окончание: ") + ReadBytes::endingName(r.ending)
        + (r.ending == ReadEnding::None ? QStringLiteral(" (чтение кончилось паузой)")
                                        : QString()));
    t.append(QString());
    if (r.faults.isEmpty()) {
        t.append(QStringLiteral("Замечаний нет."));
    } else {
        t.append(QStringLiteral("Замечания:"));
        for (const Finding &fault : r.faults)
            t.append(QStringLiteral("  • ") + FindingText::sentence(fault, stampsOf(r.mode)));
    }
    if (r.timing.known) {
        t.append(QString());
        t.append(QStringLiteral("Время: ") + timingLine(r.timing, stampsOf(r.mode)) + u'.');
        if (const QString pace = paceLine(r); !pace.isEmpty())
            t.append(pace);
    }
    if (const QString devices = devicesLine(r.keys); !devices.isEmpty())
        t.append(devices);
}

// What the line and the keys did to the codes: parity, the identifier as it
// came, the layout, UTF-8.
void appendDelivery(QStringList &t, const ReadAnalysis &r, const ReadReport::Extra &extra)
{
    if (r.parity != ReadParity::None) {
        const bool even = r.parity == ReadParity::Even;
        t.append(QString());
        t.append(QStringLiteral("Бит чётности (%1): у каждого байта старший бит дополняет число "
                                "единиц в младших семи битах до %2; параметры линии этой "
                                "программы заданы 8N1 и не меняются.")
                     .arg(ReadBytes::parityName(r.parity), even ? u"чётного" : u"нечётного"));
        t.append(QStringLiteral("Те же байты как 7-битный текст: ") + extra.sevenBitText);
        t.append(QStringLiteral("Ниже разобран 7-битный текст."));
    }
    if (extra.symbology.id) {
        t.append(QString());
        t.append(QStringLiteral("Идентификатор символики %1 (ISO/IEC 15424): %2.")
                     .arg(r.symbologyId, QString::fromUtf8(extra.symbology.name)));
        t.append(
            QStringLiteral("Для программы: ") + QString::fromUtf8(extra.symbology.meaning) + u'.');
        if (r.symbologyArrivedAs != r.symbologyId)
            t.append(QStringLiteral("Пришёл как «") + ReadText::visibleText(r.symbologyArrivedAs)
                + QStringLiteral("»: так его клавиши дают ")
                + (r.russianLayout && r.capsLock
                        ? QStringLiteral("в русской раскладке с Caps Lock.")
                        : r.russianLayout ? QStringLiteral("в русской раскладке.")
                                          : QStringLiteral("с Caps Lock.")));
    }
    if (!extra.englishLayoutHint.isEmpty()) {
        t.append(QString());
        t.append(QStringLiteral("Если эти буквы — клавиши, нажатые в русской раскладке, в "
                                "английской они дали бы: «")
            + ReadText::visibleText(extra.englishLayoutHint) + QStringLiteral("»."));
    }
    if (!extra.utf8Text.isEmpty()) {
        t.append(QString());
        t.append(QStringLiteral("Байты читаются как текст UTF-8: «")
            + ReadText::visibleText(extra.utf8Text) + QStringLiteral("»."));
    }
    if (r.russianLayout || r.capsLock) {
        t.append(QString());
        t.append(
            QStringLiteral("Данные, как их задумал сканер: ") + ReadText::visibleText(r.data));
    }
}

// What the data hold: a marking code, GS1 fields, digits alone.
void appendContent(QStringList &t, const ReadAnalysis &r, const ReadReport::Extra &extra)
{
    const ReadContent &content = extra.content;
    if (!r.marking.isEmpty() || content.gs1 || content.digitsCheck) {
        t.append(QString());
        if (!r.marking.isEmpty()) {
            if (content.markingIdentificationOnly)
                t.append(QStringLiteral("Похоже на код идентификации — начало кода маркировки: ")
                    + r.marking + u'.');
            else
                t.append(QStringLiteral("Похоже на национальный код маркировки: ") + r.marking
                    + QStringLiteral("; всего ")
                    + ReadText::plural(content.markingLength, "символ", "символа", "символов")
                    + (content.markingSeparators > 0 ? QStringLiteral(" с GS.")
                                                   : QStringLiteral(".")));
        } else if (content.digitalLink) {
            t.append(QStringLiteral("Ссылка GS1 Digital Link: ") + ReadText::visibleText(r.data));
            t.append(QStringLiteral("Те же данные строками элементов GS1: ")
                + Gs1Parser::bracketed(r.elements));
        } else if (content.gs1) {
            t.append(QStringLiteral("Строки элементов GS1:"));
        } else {
            t.append(QStringLiteral("Цифры ") + FindingText::sentence(*content.digitsCheck) + u'.');
        }
        for (const Gs1Element &element : r.elements)
            t.append(QStringLiteral("  ") + Gs1Parser::describe(element));
        for (const Finding &remark : content.remarks)
            t.append(QStringLiteral("  ") + FindingText::sentence(remark));
    }
}

} // namespace

namespace ReadReport {

void write(const QByteArray &codes, ReadAnalysis &r, const Extra &extra)
{
    r.tooltip = tooltipText(r, extra);
    QStringList t;
    appendCodesAndFaults(t, codes, r);
    appendDelivery(t, r, extra);
    appendContent(t, r, extra);
    r.fullText = t.join(u'\n');
}

} // namespace ReadReport
