#include "logstore/pageblocks.h"

#include <new>

#include <sys/mman.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void *PageBlocks::mapBlock(std::size_t bytes)
{
    void *block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    return block;
}

void PageBlocks::unmapBlock(void *block, std::size_t bytes)
{
    munmap(block, bytes);
}

void PageBlocks::trimHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
