#include "logstore/pageblocks.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <new>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <sys/mman.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

void *mapBlock(std::size_t bytes)
{
#if defined(Q_OS_WIN)
    void *block = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block)
        throw std::bad_alloc();
    return block;
#elif defined(Q_OS_UNIX)
    void *block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    return block;
#else
    void *block = ::operator new(bytes);
    std::memset(block, 0, bytes);
    return block;
#endif
}

void unmapBlock(void *block, std::size_t bytes)
{
#if defined(Q_OS_WIN)
    Q_UNUSED(bytes);
    VirtualFree(block, 0, MEM_RELEASE);
#elif defined(Q_OS_UNIX)
    munmap(block, bytes);
#else
    Q_UNUSED(bytes);
    ::operator delete(block);
#endif
}

} // namespace

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

void PageBlocks::trimHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
