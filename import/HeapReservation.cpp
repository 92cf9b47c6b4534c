#include "import/HeapReservation.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/HugePageHeap.h"
#include "model/SanitizedBuild.h"

#if defined(__GLIBC__) && !defined(ORLAT_SANITIZED)
#define ORLAT_HEAP_RESERVATION 1
#include <malloc.h>
#include <unistd.h>
#endif

#ifdef ORLAT_HEAP_RESERVATION
namespace {

// Below this a reservation saves too little to be worth the calls.
constexpr size_t kLeast = kHugePageBytes;
// The allocator's largest mmap threshold on 64-bit systems, and the largest
// block asked for below it (larger blocks would be mapped apart from the heap).
constexpr int kMmapThreshold = 32 << 20;
constexpr size_t kBlock = size_t{30} << 20;
// The most reserved, and the most kept once the reservation is over.
constexpr size_t kMost = size_t{256} << 20;
constexpr size_t kKept = size_t{30} << 20;

// The room of the reservation in force (0: none). Written and read by the
// importing thread only.
size_t g_reserved = 0;

}  // namespace
#endif

HeapReservation::HeapReservation(size_t bytes)
{
#ifndef ORLAT_HEAP_RESERVATION
    (void)bytes;
#else
    bytes = std::min(bytes, kMost);
    if (bytes < kLeast || bytes <= g_reserved) return;
    if (mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 0) return;
    m_before = g_reserved;
    m_bytes = bytes;
    g_reserved = bytes;
    // The heap grows by this much beyond any request that does not fit, and
    // freeing into its top keeps this much of it.
    mallopt(M_TOP_PAD, static_cast<int>(bytes));
    // A block from the heap's top makes it grow; a second one when the top
    // held the first already but not the whole room.
    void* first = std::malloc(std::min(bytes, kBlock));
    if (!first) return;
    void* second = nullptr;
    const auto begin = reinterpret_cast<uintptr_t>(first);
    const auto end = [] { return reinterpret_cast<uintptr_t>(sbrk(0)); };
    // Only the main heap grows by the break; a thread's heap is left alone.
    if (begin < end() && end() - begin < bytes) second = std::malloc(std::min(bytes - (end() - begin), kBlock));
    const uintptr_t top = end();
    // Nothing of the blocks is touched but their headers; freed, they are the
    // top of the heap the reader's allocations are carved from.
    if (begin < top && top - begin <= 2 * (bytes + kBlock))
        AdviseHugePages(first, static_cast<size_t>(top - begin));
    std::free(second);
    std::free(first);
#endif
}

HeapReservation::~HeapReservation()
{
#ifndef ORLAT_HEAP_RESERVATION
    (void)m_before;
    (void)m_bytes;
#else
    if (m_bytes == 0) return;
    g_reserved = m_before;
    mallopt(M_TOP_PAD, static_cast<int>(std::max(m_before, std::min(m_bytes, kKept))));
#endif
}
