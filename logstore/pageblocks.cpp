#include "logstore/pageblocks.h"

#include <algorithm>

PageBlocks::PageBlocks(std::size_t blockBytes)
    : m_blockBytes(blockBytes)
{
}

PageBlocks::~PageBlocks()
{
    clear();
}

void PageBlocks::grow()
{
    // Room in the list first, so that a failure leaves no block unowned.
    if (m_blocks.size() == m_blocks.capacity())
        m_blocks.reserve(std::max<std::size_t>(64, 2 * m_blocks.capacity()));
    m_blocks.push_back(mapBlock(m_blockBytes));
}

void PageBlocks::clear()
{
    for (void *block : m_blocks)
        unmapBlock(block, m_blockBytes);
    m_blocks.clear();
    m_blocks.shrink_to_fit();
}
