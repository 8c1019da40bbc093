#include "readtally.h"

#include "notation.h"
#include "readtext.h"

#include <algorithm>

void ReadTally::add(const ReadVerdict &verdict, const ArrivedRead &read, const ArrivedRead *previous)
{
    ++m_reads;
    QStringList faults = verdict.faultNames();
    faults.removeDuplicates();
    if (faults.isEmpty())
        ++m_matched;
    for (const QString &fault : std::as_const(faults)) {
        const auto kind = std::find_if(m_kinds.begin(), m_kinds.end(),
            [&fault](const std::pair<QString, qint64> &k) { return k.first == fault; });
        if (kind != m_kinds.end())
            ++kind->second;
        else if (m_kinds.size() < MaxKinds)
            m_kinds.append({ fault, 1 });
        else
            ++m_otherKinds;
    }
    // From the last code of the read before to the first of this one, on the
    // session clock: when each came, not when the read was reported.
    if (previous && !previous->micros.isEmpty() && !read.micros.isEmpty()) {
        const qint64 gap = read.micros.first() - previous->micros.last();
        if (gap >= 0) {
            m_lastGap = gap;
            m_gapSum += gap;
            ++m_gaps;
        }
    }
}

QString ReadTally::text() const
{
    if (m_reads == 0)
        return QStringLiteral("Чтений этого кода пока не было.");
    QString text = ReadText::plural(m_reads, "чтение", "чтения", "чтений") + QStringLiteral(": ")
        + (m_matched == 0 ? QStringLiteral("ни одно не совпало")
                          : ReadText::plural(m_matched, "совпало", "совпали", "совпали"));
    // The most frequent kind first.
    QList<std::pair<QString, qint64>> kinds = m_kinds;
    std::stable_sort(kinds.begin(), kinds.end(),
        [](const auto &a, const auto &b) { return a.second > b.second; });
    if (m_otherKinds > 0)
        kinds.append({ QStringLiteral("другое"), m_otherKinds });
    for (const auto &[name, count] : std::as_const(kinds))
        text += QStringLiteral(", ") + QString::number(count) + QStringLiteral(" — ") + name;
    if (m_gaps > 0)
        text += QStringLiteral(";\nот чтения до чтения: последний раз ") + Notation::duration(m_lastGap)
            + QStringLiteral(", в среднем ") + Notation::duration(m_gapSum / m_gaps);
    return text;
}
