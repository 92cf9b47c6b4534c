#pragma once
// Transparent huge pages, asked for where large memory is taken. Where the
// kernel gives them only on request ("madvise" mode, Debian's default), every
// fresh 4 KiB page of a large import or band buffer is a fault of its own,
// and on virtual machines those dominate; a huge page is one fault per 2 MiB.
// The request is made on the memory itself (madvise), so nothing about the
// process changes: no restart, no allocator tunable in the environment.
#include <cstddef>
#include <cstdint>

// The PMD huge page of x86-64 (and of arm64 with 4 KiB pages).
inline constexpr size_t kHugePageBytes = size_t{2} << 20;

struct HugePageSpan {
    uintptr_t begin = 0;
    size_t bytes = 0;  // a multiple of kHugePageBytes; 0 when no whole huge page fits
};

// The whole huge pages inside [begin, begin + bytes).
HugePageSpan WholeHugePages(const void* begin, size_t bytes);

// Asks for huge pages on the whole huge pages of memory the caller owns and
// has not yet touched (or is about to fill). Nothing changes where the kernel
// has no transparent huge pages or they are off.
void AdviseHugePages(void* begin, size_t bytes);

// Room of its own for a large object: aligned to a huge page, rounded up to
// whole ones and advised. std::bad_alloc when there is none; freed with
// FreeOnHugePages.
void* AllocateOnHugePages(size_t bytes);
void FreeOnHugePages(void* p) noexcept;
