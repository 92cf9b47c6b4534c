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
// was freed), and while the reservation lasts the heap keeps all the room
// (up to 256 MiB) at its top. Afterwards it keeps at most 30 MiB of it, so
// the next file finds some again without the program holding on to a huge
// import's worth. Made on the importing thread (the program's UI thread);
// only the main thread's heap is marked. A reservation inside a larger one
// changes nothing.
#include <cstddef>

class HeapReservation {
public:
    explicit HeapReservation(size_t bytes);
    ~HeapReservation();
    HeapReservation(const HeapReservation&) = delete;
    HeapReservation& operator=(const HeapReservation&) = delete;

private:
    size_t m_before = 0;  // the room of the reservation this one is inside (0: none)
    size_t m_bytes = 0;   // 0: this one changed nothing
};
