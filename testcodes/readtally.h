#pragma once

#include "analysis/readverdict.h"

#include <QList>
#include <QString>

#include <utility>

// What the reads of one code came to: how many, how many matched, how many had
// each kind of fault, and the time from one read to the next. It keeps counts,
// never the reads, so that a read costs the same however many came before.
class ReadTally
{
public:
    void clear() { *this = ReadTally(); }
    // A read judged; `previous` is the one judged before it, or null.
    void add(const ReadVerdict &verdict, const ArrivedRead &read, const ArrivedRead *previous);

    qint64 reads() const { return m_reads; }
    // "20 чтений: 18 совпали, 2 — потерян GS, у 18 нет идентификатора;" and on a
    // line of its own "от чтения до чтения: последний раз 1,2 с, в среднем 1,1 с".
    QString text() const;

    // Kinds of fault counted by name; those past them are counted together.
    static constexpr qsizetype MaxKinds = 8;

private:
    qint64 m_reads = 0;
    qint64 m_matched = 0;
    QList<std::pair<QString, qint64>> m_kinds; // in the order first seen
    qint64 m_otherKinds = 0;
    QList<std::pair<QString, qint64>> m_warnings; // apart: they leave the data right
    ReadMode m_mode = ReadMode::Serial; // the last read's, for the precision of its moments
    qint64 m_lastGap = -1;
    qint64 m_gapSum = 0;
    qint64 m_gaps = 0;
};
