#include "log/largepages.h"

// Windows gives large pages only to a program whose user holds the "lock pages
// in memory" privilege, and only through VirtualAlloc with MEM_LARGE_PAGES: a
// copy's text keeps ordinary pages.
void adviseLargePages(void *, std::size_t)
{
}
