#include "threads/detachedthread.h"

#include <memory>

#include <process.h>
#include <windows.h>

// Not std::thread: MinGW's runs on winpthreads, which keeps each thread's state
// in a pool of its own, handed on as threads end, are joined or detached. Under
// Wine, now and then, joining the serial port's reading thread failed (a
// std::system_error out of closing the port), and a new thread started with a
// bad argument and crashed. Windows' own threads keep no such state.
namespace {

unsigned __stdcall runWork(void *given)
{
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()> *>(given));
    try {
        (*work)();
    } catch (...) {
    }
    return 0;
}

} // namespace

bool runDetached(std::function<void()> work) noexcept
{
    try {
        auto given = std::make_unique<std::function<void()>>(std::move(work));
        const uintptr_t thread = _beginthreadex(nullptr, 0, runWork, given.get(), 0, nullptr);
        if (!thread)
            return false;
        given.release();
        CloseHandle(reinterpret_cast<HANDLE>(thread));
        return true;
    } catch (...) {
        return false;
    }
}
