#include "linetimes.h"

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
        // A block's pages are only taken as lines fill it.
        m_pages.grow();
        m_blocks.push_back(
            { m_size, micros, static_cast<quint32 *>(m_pages.block(m_pages.size() - 1)) });
    }
    Block &block = m_blocks.back();
    block.offsets[std::size_t(m_size - block.firstRow)] = quint32(micros - block.base);
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
}

qint64 LineTimes::at(qsizetype row) const
{
    if (row < 0 || row >= m_size)
        return -1;
    // A scan's summary reads the rows in order: the block of the last row asked
    // for, or the next one, nearly always holds the row; else it is looked up.
    const auto holds = [this, row](std::size_t index) {
        return index < m_blocks.size() && m_blocks[index].firstRow <= row
            && (index + 1 == m_blocks.size() || m_blocks[index + 1].firstRow > row);
    };
    if (!holds(m_lastBlock)) {
        if (holds(m_lastBlock + 1)) {
            ++m_lastBlock;
        } else {
            const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), row,
                [](qsizetype wanted, const Block &block) { return wanted < block.firstRow; });
            m_lastBlock = std::size_t(after - m_blocks.begin()) - 1;
        }
    }
    const Block &block = m_blocks[m_lastBlock];
    return block.base + qint64(block.offsets[std::size_t(row - block.firstRow)]);
}
