#pragma once

#include <cstddef>
#include <vector>

// Fixed-size blocks of memory taken straight from the system (mmap, VirtualAlloc)
// rather than from the C heap, so that clearing them gives their pages back at
// once. A heap keeps what it freed for later use: after a log of hundreds of
// millions of lines is cleared, the process would still hold all of it. A block's
// pages are only taken as they are first written, so a fresh block costs nothing,
// and it reads as zeros.
// The log keeps each column of its lines (codes, and more as it grows) in blocks
// of its own.
class PageBlocks
{
public:
    explicit PageBlocks(std::size_t blockBytes);
    ~PageBlocks();
    PageBlocks(const PageBlocks &) = delete;
    PageBlocks &operator=(const PageBlocks &) = delete;

    std::size_t blockBytes() const { return m_blockBytes; }
    std::size_t size() const { return m_blocks.size(); }
    void *block(std::size_t index) const { return m_blocks[index]; }

    // Adds a block; throws std::bad_alloc when the system has none to give.
    void grow();
    // Gives every block back to the system.
    void clear();

    // Hands what the C heap holds free back to the system, where the C library
    // offers a way to (glibc); the log calls it after a clear, for the texts it
    // kept on the heap. Each platform's own.
    static void trimHeap();

private:
    // The system's side, each platform's own (pageblocks_unix.cpp, pageblocks_win.cpp).
    static void *mapBlock(std::size_t bytes);
    static void unmapBlock(void *block, std::size_t bytes);

    std::size_t m_blockBytes;
    std::vector<void *> m_blocks;
};
