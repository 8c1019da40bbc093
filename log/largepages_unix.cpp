#include "log/largepages.h"

#include <sys/mman.h>

#include <cstdint>

// A copy of millions of lines is a text of gigabytes, written once from start to
// end; taken a 4 KiB page at a time, the kernel's page faults cost as much as
// the writing. Large pages, where the system gives them on request, cut them
// five hundredfold.
void adviseLargePages([[maybe_unused]] void *data, [[maybe_unused]] std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t LargePage = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + LargePage - 1) & ~(LargePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(LargePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}
