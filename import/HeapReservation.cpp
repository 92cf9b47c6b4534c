#include "import/HeapReservation.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ORLAT_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORLAT_SANITIZED 1
#endif
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
// The allocator serves a block from the heap only below its largest mmap
// threshold (32 MiB on 64-bit systems).
constexpr size_t kMost = size_t{30} << 20;
// The C library's default, restored afterwards.
constexpr int kDefaultMmapThreshold = 128 * 1024;

}  // namespace
#endif

HeapReservation::HeapReservation(size_t bytes)
{
#ifndef ORLAT_HEAP_RESERVATION
    (void)bytes;
#else
    if (bytes < kLeast) return;
    bytes = std::min(bytes, kMost);
    const int size = static_cast<int>(bytes);
    // One block of the whole size from the heap: the heap grows once. While
    // the reader runs, freeing into the top keeps this much of it.
    if (mallopt(M_MMAP_THRESHOLD, size + static_cast<int>(kHugePage)) == 0) return;
    m_active = true;
    mallopt(M_TOP_PAD, size);
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

HeapReservation::~HeapReservation()
{
#ifdef ORLAT_HEAP_RESERVATION
    if (!m_active) return;
    // The padding stays: when the page is deleted its room is kept for the
    // next file instead of going back to the system and faulting in again.
    mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
#endif
}
