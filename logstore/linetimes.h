#pragma once

#include "pageblocks.h"

#include <QtGlobal>

#include <vector>

// The moment of every log line, in microseconds of SessionClock, in four bytes a
// line: blocks of lines share a 64-bit base and each line keeps a 32-bit offset
// from it. An offset would overflow after about 71 minutes, so a block whose
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
        quint32 *offsets;
    };

    PageBlocks m_pages { std::size_t(BlockSize) * sizeof(quint32) };
    std::vector<Block> m_blocks;
    qsizetype m_size = 0;
    qint64 m_last = 0;
    // The block that held the row last read.
    mutable std::size_t m_lastBlock = 0;
};
