#pragma once

#include <functional>

// Runs work on a thread of its own that nothing waits for, not even the program's
// end: for asking the system what may stall (a device manager while Windows
// installs a device, a driver that keeps a cancelled read). What work throws ends
// with it. False when the system gives no thread; work is not run then.
bool runDetached(std::function<void()> work) noexcept;
