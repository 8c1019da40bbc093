#include "details/scansummary.h"

#include "codes/readtext.h"
#include "details/linedetails.h"
#include "text/codepages.h"
#include "text/hexdigit.h"
#include "text/notation.h"

#include <algorithm>

namespace {

constexpr quint8 CarriageReturn = 13;

} // namespace

void ScanSummary::Named::keep(quint8 code)
{
    if (count < Kept)
        codes[std::size_t(count)] = code;
    ++count;
}

QString ScanSummary::Named::names() const
{
    QStringList words;
    for (qsizetype i = 0; i < std::min(count, Kept); ++i) {
        const quint8 code = codes[std::size_t(i)];
        const QString name = ReadText::nameOf(code);
        words.append(name.isEmpty() ? u'«' + CodePages::fromCp1251(code) + u'»' : name);
    }
    if (count > Kept)
        words.append(QStringLiteral("… (всего %1)").arg(count));
    return words.join(u' ');
}

void ScanSummary::addByte(quint8 code, qint64 micros)
{
    note(micros);
    if (isHexDigitCode(code)) {
        if (m_sawDigit) {
            // What came after the digits so far turns out to be among them.
            for (qsizetype i = 0; i < std::min(m_after.count, Named::Kept); ++i)
                m_among.keep(m_after.codes[std::size_t(i)]);
            m_among.count += m_after.count - std::min(m_after.count, Named::Kept);
        }
        m_sawDigit = true;
        m_after = {};
    } else if (m_sawDigit) {
        m_after.keep(code);
    } else {
        m_before.keep(code);
    }
}

void ScanSummary::addCarriageReturn(qint64 micros)
{
    note(micros);
    m_carriageReturn = micros;
    (m_sawDigit ? m_after : m_before).keep(CarriageReturn);
}

void ScanSummary::setText(QStringView scanText)
{
    m_digits = 0;
    for (const QChar ch : scanText)
        m_digits += isHexDigitCode(ch.unicode()) ? 1 : 0;
    m_others = scanText.size() - m_digits;
}

void ScanSummary::note(qint64 micros)
{
    if (m_bytes == 0)
        m_first = micros;
    else
        m_longestGap = std::max(m_longestGap, micros - m_last);
    m_last = micros;
    ++m_bytes;
}

qint64 ScanSummary::span() const
{
    if (m_bytes == 0)
        return 0;
    return (m_carriageReturn >= 0 ? m_carriageReturn : m_last) - m_first;
}

QStringList ScanSummary::explanation() const
{
    QStringList lines { QStringLiteral("Скан, цифр: %1").arg(m_digits) };
    if (m_others > 0)
        lines.append(QStringLiteral("Других символов (введены в поле вручную): %1").arg(m_others));
    if (m_bytes == 0) {
        lines.append(QStringLiteral("Байтов с предыдущего скана или очистки: 0"));
        return lines;
    }
    lines.append(
        QStringLiteral("Байтов с предыдущего скана или очистки: %1, от первого до %2 — %3")
            .arg(QString::number(m_bytes),
                m_carriageReturn >= 0 ? QStringLiteral("CR") : QStringLiteral("последнего"),
                Notation::duration(span())));
    if (m_bytes > 1)
        lines.append(QStringLiteral("Наибольшая пауза между ними: ") + Notation::duration(m_longestGap));
    if (m_before.count > 0)
        lines.append(QStringLiteral("До цифр: ") + m_before.names());
    if (m_among.count > 0)
        lines.append(QStringLiteral("Между цифрами: ") + between());
    if (m_after.count > 0)
        lines.append(QStringLiteral("После цифр: ") + ending());
    return lines;
}
