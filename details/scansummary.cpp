#include "scansummary.h"

#include "hexdigit.h"
#include "linedetails.h"

namespace {

constexpr qsizetype NamedBytes = 8;
constexpr quint8 CarriageReturn = 13;

void keep(QList<quint8> &named, qsizetype &count, quint8 code)
{
    if (named.size() < NamedBytes)
        named.append(code);
    ++count;
}

QString names(const QList<quint8> &named, qsizetype count)
{
    QStringList words;
    for (const quint8 code : named)
        words.append(LineDetails::shortName(code));
    if (count > named.size())
        words.append(QStringLiteral("… (всего %1)").arg(count));
    return words.join(u' ');
}

} // namespace

void ScanSummary::addByte(quint8 code, qint64 micros)
{
    note(micros);
    if (isHexDigitCode(code)) {
        if (m_sawDigit) {
            for (const quint8 between : std::as_const(m_after))
                keep(m_among, m_amongCount, between);
            m_amongCount += m_afterCount - m_after.size();
        }
        m_sawDigit = true;
        m_after.clear();
        m_afterCount = 0;
    } else if (m_sawDigit) {
        keep(m_after, m_afterCount, code);
    } else {
        keep(m_before, m_beforeCount, code);
    }
}

void ScanSummary::addCarriageReturn(qint64 micros)
{
    note(micros);
    m_carriageReturn = micros;
    if (m_sawDigit)
        keep(m_after, m_afterCount, CarriageReturn);
    else
        keep(m_before, m_beforeCount, CarriageReturn);
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

QString ScanSummary::ending() const
{
    return names(m_after, m_afterCount);
}

QString ScanSummary::between() const
{
    return names(m_among, m_amongCount);
}

QStringList ScanSummary::explanation(const QString &scanText) const
{
    qsizetype digits = 0;
    for (const QChar ch : scanText)
        digits += isHexDigitCode(ch.unicode()) ? 1 : 0;
    QStringList lines { QStringLiteral("Скан, цифр: %1").arg(digits) };
    if (digits < scanText.size())
        lines.append(QStringLiteral("Других символов (введены в поле вручную): %1")
                         .arg(scanText.size() - digits));
    if (m_bytes == 0) {
        lines.append(QStringLiteral("Байтов с предыдущего скана или очистки: 0"));
        return lines;
    }
    lines.append(
        QStringLiteral("Байтов с предыдущего скана или очистки: %1, от первого до %2 — %3 мс")
            .arg(m_bytes)
            .arg(m_carriageReturn >= 0 ? QStringLiteral("CR") : QStringLiteral("последнего"),
                LineDetails::milliseconds(span())));
    if (m_bytes > 1)
        lines.append(QStringLiteral("Наибольшая пауза между ними: %1 мс")
                         .arg(LineDetails::milliseconds(m_longestGap)));
    if (m_beforeCount > 0)
        lines.append(QStringLiteral("До цифр: ") + names(m_before, m_beforeCount));
    if (m_amongCount > 0)
        lines.append(QStringLiteral("Между цифрами: ") + between());
    if (m_afterCount > 0)
        lines.append(QStringLiteral("После цифр: ") + ending());
    return lines;
}
