#pragma once
// Room on the heap for what a reader is about to allocate, taken from the
// system at once and marked for transparent huge pages. A fresh 4 KiB page
// costs a fault on first touch, and a large file's points touch thousands of
// them; a huge page is one fault per 2 MiB. Only the room the reader uses is
// ever touched. A no-op where the allocator or the system does not allow it
// (and under the sanitizers, whose allocator is not the C library's).
#include <cstddef>

class HeapReservation {
public:
    explicit HeapReservation(size_t bytes);
    ~HeapReservation();
    HeapReservation(const HeapReservation&) = delete;
    HeapReservation& operator=(const HeapReservation&) = delete;

private:
    bool m_active = false;
};
