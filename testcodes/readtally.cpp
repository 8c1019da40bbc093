#include "testcodes/readtally.h"

#include "codes/readtext.h"
#include "text/notation.h"

#include <algorithm>

namespace {

void count(QList<std::pair<QString, qint64>> &names, const QString &name)
{
    const auto kind = std::find_if(names.begin(), names.end(),
        [&name](const std::pair<QString, qint64> &k) { return k.first == name; });
    if (kind != names.end())
        ++kind->second;
    else
        names.append({ name, 1 });
}

} // namespace

void ReadTally::add(const ReadVerdict &verdict, const ArrivedRead &read, const ArrivedRead *previous)
{
    ++m_reads;
    m_mode = read.mode;
    for (const QString &warning : verdict.warningNames())
        count(m_warnings, warning);
    QStringList faults = verdict.faultNames();
    faults.removeDuplicates();
    if (faults.isEmpty())
        ++m_matched;
    for (const QString &fault : std::as_const(faults)) {
        const bool known = std::any_of(m_kinds.cbegin(), m_kinds.cend(),
            [&fault](const std::pair<QString, qint64> &k) { return k.first == fault; });
        if (known || m_kinds.size() < MaxKinds)
            count(m_kinds, fault);
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
    for (const auto &[name, count] : m_warnings)
        text += QStringLiteral(", у ") + QString::number(count) + u' ' + name;
    if (m_gaps > 0) {
        text += QStringLiteral(";\nот чтения до чтения: последний раз ")
            + Notation::duration(m_lastGap, stampsOf(m_mode)) + QStringLiteral(", в среднем ")
            + Notation::duration(m_gapSum / m_gaps, stampsOf(m_mode));
    }
    return text;
}
