#include "model/HugePageHeap.h"

#include <sys/mman.h>

#include <new>

HugePageSpan WholeHugePages(const void* begin, size_t bytes)
{
    const auto b = reinterpret_cast<uintptr_t>(begin);
    if (bytes == 0 || b > UINTPTR_MAX - bytes) return {};
    const uintptr_t first = (b + kHugePageBytes - 1) & ~(uintptr_t{kHugePageBytes} - 1);
    const uintptr_t last = (b + bytes) & ~(uintptr_t{kHugePageBytes} - 1);
    if (first < b || last <= first) return {};
    return {first, static_cast<size_t>(last - first)};
}

void AdviseHugePages(void* begin, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    const HugePageSpan s = WholeHugePages(begin, bytes);
    // Refused (no THP in this kernel, or not anonymous memory): 4 KiB pages as before.
    if (s.bytes != 0) madvise(reinterpret_cast<void*>(s.begin), s.bytes, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)bytes;
#endif
}

void* AllocateOnHugePages(size_t bytes)
{
    if (bytes > SIZE_MAX - kHugePageBytes) throw std::bad_alloc();
    const size_t whole = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    void* p = ::operator new(whole, std::align_val_t{kHugePageBytes});
    AdviseHugePages(p, whole);
    return p;
}

void FreeOnHugePages(void* p) noexcept
{
    ::operator delete(p, std::align_val_t{kHugePageBytes});
}
