#pragma once

#include <cstddef>

// Asks the system to back a large block written once from start to end with
// large pages, where it gives them on request; elsewhere it does nothing.
void adviseLargePages(void *data, std::size_t bytes);
