#include "logstore/linetimes.h"

#include <algorithm>
#include <limits>

LineTimes::LineTimes() = default;
LineTimes::~LineTimes() = default;

void LineTimes::append(qint64 micros)
{
    if (m_size > 0)
        micros = std::max(micros, m_last);
    if (m_blocks.empty() || m_size - m_blocks.back().firstRow == BlockSize
        || micros - m_blocks.back().base > std::numeric_limits<quint32>::max()) {
        // A block's pages are only taken as runs fill it.
        m_pages.grow();
        auto *memory = static_cast<char *>(m_pages.block(m_pages.size() - 1));
        m_blocks.push_back({ m_size, micros, reinterpret_cast<quint16 *>(memory),
            reinterpret_cast<quint32 *>(memory + BlockSize * sizeof(quint16)), 0 });
    }
    Block &block = m_blocks.back();
    if (block.runs == 0 || micros != m_last) {
        block.runRows[block.runs] = quint16(m_size - block.firstRow);
        block.runOffsets[block.runs] = quint32(micros - block.base);
        ++block.runs;
    }
    m_last = micros;
    ++m_size;
}

void LineTimes::clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_pages.clear();
    m_size = 0;
    m_last = 0;
    m_lastBlock = 0;
    m_lastRun = 0;
}

std::size_t LineTimes::blockOf(qsizetype row) const
{
    const auto holds = [this, row](std::size_t index) {
        return index < m_blocks.size() && m_blocks[index].firstRow <= row
            && (index + 1 == m_blocks.size() || m_blocks[index + 1].firstRow > row);
    };
    if (holds(m_lastBlock))
        return m_lastBlock;
    if (holds(m_lastBlock + 1))
        return m_lastBlock + 1;
    const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), row,
        [](qsizetype wanted, const Block &block) { return wanted < block.firstRow; });
    return std::size_t(after - m_blocks.begin()) - 1;
}

qint64 LineTimes::at(qsizetype row) const
{
    if (row < 0 || row >= m_size)
        return -1;
    const std::size_t index = blockOf(row);
    const Block &block = m_blocks[index];
    const auto inBlock = quint16(row - block.firstRow);
    // The run of the row last read, or the next one, nearly always holds the row.
    const auto holds = [&block, inBlock](qsizetype run) {
        return run < block.runs && block.runRows[run] <= inBlock
            && (run + 1 == block.runs || block.runRows[run + 1] > inBlock);
    };
    qsizetype run = index == m_lastBlock ? m_lastRun : 0;
    if (!holds(run)) {
        if (holds(run + 1)) {
            ++run;
        } else {
            const quint16 *after
                = std::upper_bound(block.runRows, block.runRows + block.runs, inBlock);
            run = qsizetype(after - block.runRows) - 1;
        }
    }
    m_lastBlock = index;
    m_lastRun = run;
    return block.base + qint64(block.runOffsets[run]);
}
