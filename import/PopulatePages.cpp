#include "import/PopulatePages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "model/HugePageHeap.h"

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

void PopulatePages(void* begin, size_t bytes)
{
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(begin) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(begin) + bytes) & ~(page - 1);
    // Asked first, so the pages made present are huge ones where they can be.
    AdviseHugePages(begin, bytes);
    constexpr uintptr_t kStep = uintptr_t{4} << 20;
    for (uintptr_t at = start; at < end; at += kStep) {
        const uintptr_t stop = end - at > kStep ? at + kStep : end;
        if (madvise(reinterpret_cast<void*>(at), stop - at, MADV_POPULATE_WRITE) != 0) return;
    }
}
