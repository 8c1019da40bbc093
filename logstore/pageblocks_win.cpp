#include "logstore/pageblocks.h"

#include <new>

#include <windows.h>

void *PageBlocks::mapBlock(std::size_t bytes)
{
    void *block = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void PageBlocks::unmapBlock(void *block, std::size_t)
{
    VirtualFree(block, 0, MEM_RELEASE);
}

void PageBlocks::trimHeap()
{
    // Windows has no call for it: its heap gives large free ranges back by itself.
}
