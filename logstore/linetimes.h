#pragma once

#include "logstore/pageblocks.h"

#include <QtGlobal>

#include <vector>

// The moment of every log line, in microseconds of SessionClock. All the bytes of
// one notification share one moment, and a flood is hundreds of lines a
// notification, so a moment is kept once for the run of lines that share it: a
// run costs six bytes (a 16-bit row within its block and a 32-bit offset from the
// block's 64-bit base), a flood's line next to nothing, a line of its own moment
// (a key) six. An offset would overflow after about 71 minutes, so a block whose
// base is that old ends early and the next line starts a new one: a session of
// any length keeps exact times. Appending costs the same at any length, and
// clearing gives the memory back.
class LineTimes
{
public:
    LineTimes();
    ~LineTimes();

    // A moment before the last one is taken as the last one: times never go back.
    void append(qint64 micros);
    void clear();

    qsizetype size() const { return m_size; }
    qint64 at(qsizetype row) const;

private:
    static constexpr qsizetype BlockSize = qsizetype(1) << 16;

    struct Block
    {
        qsizetype firstRow;
        qint64 base;
        // The runs: the row (within the block) each starts at, and its moment.
        quint16 *runRows;
        quint32 *runOffsets;
        qsizetype runs;
    };

    std::size_t blockOf(qsizetype row) const;

    PageBlocks m_pages { std::size_t(BlockSize) * (sizeof(quint16) + sizeof(quint32)) };
    std::vector<Block> m_blocks;
    qsizetype m_size = 0;
    qint64 m_last = 0;
    // The block and the run that held the row last read: a copy reads the rows
    // in order.
    mutable std::size_t m_lastBlock = 0;
    mutable qsizetype m_lastRun = 0;
};
