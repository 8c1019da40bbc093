#include "threads/detachedthread.h"

#include <system_error>
#include <thread>

bool runDetached(std::function<void()> work) noexcept
{
    try {
        std::thread([work = std::move(work)] {
            try {
                work();
            } catch (...) {
            }
        }).detach();
        return true;
    } catch (...) {
        return false;
    }
}
