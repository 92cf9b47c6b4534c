#include "import/HeapReservation.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/SanitizedBuild.h"

#if defined(__GLIBC__) && !defined(ORLAT_SANITIZED)
#define ORLAT_HEAP_RESERVATION 1
#include <malloc.h>
#include <sys/mman.h>
#endif

#ifdef ORLAT_HEAP_RESERVATION
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this a reservation saves too little to be worth the calls.
constexpr size_t kLeast = kHugePage;
// The allocator's largest mmap threshold on 64-bit systems, and the most
// reserved below it.
constexpr int kMmapThreshold = 32 << 20;
constexpr size_t kMost = size_t{30} << 20;

}  // namespace
#endif

void ReserveHeap(size_t bytes)
{
#ifndef ORLAT_HEAP_RESERVATION
    (void)bytes;
#else
    if (bytes < kLeast) return;
    bytes = std::min(bytes, kMost);
    // One block of the whole size from the heap: the heap grows once, and
    // freeing into its top keeps this much of it.
    if (mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 0) return;
    mallopt(M_TOP_PAD, static_cast<int>(bytes));
    void* block = std::malloc(bytes);
    if (!block) return;
    const auto begin = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    // Nothing of the block is touched but its header; freed, it is the top
    // of the heap the reader's allocations are carved from.
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    std::free(block);
#endif
}
