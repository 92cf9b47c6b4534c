#pragma once
// Room on the heap for what a reader is about to allocate, taken from the
// system at once and marked for transparent huge pages. A fresh 4 KiB page
// costs a fault on first touch, and a large file's points touch thousands of
// them; a huge page is one fault per 2 MiB. Only the room the reader uses is
// ever touched. A no-op where the allocator or the system does not allow it
// (and under the sanitizers, whose allocator is not the C library's).
//
// The allocator keeps the settings this needs: blocks below 32 MiB come from
// the heap (as its own adaptive threshold would have them once such a block
// was freed), and the heap keeps this much free room at its top (up to
// 256 MiB), so the next file finds it again instead of faulting it in anew.
// Called on the importing thread; only the main thread's heap is marked.
#include <cstddef>

void ReserveHeap(size_t bytes);
