#pragma once
// The operator's control codes on their way to the machine: a five-slot ring
// filled by the UI, drained by whichever thread owns the link. A jog stop (0)
// always finds room, in a sixth slot kept for it, so a released jog button
// never leaves the carriage running.
#include <array>
#include <cstdint>
#include <mutex>

class CKeyQueue {
public:
    static constexpr int kSlots = 5;

    // 0, or -1 when full (the code is dropped). A jog stop pushed onto a full
    // queue takes the kept slot, or is merged with a stop already last in it.
    int Push(uint8_t code);
    // The oldest code, or -1 when empty.
    int Pop();
    int Count() const;
    // Free slots for ordinary codes (0-5).
    int Free() const;
    // The code waits in the queue (not yet popped). A popped code is the
    // popper's: this says nothing about whether it has been sent.
    bool Holds(uint8_t code) const;
    void Clear();

private:
    // Guards the ring. Held for a few instructions only, so a push from the UI
    // thread never waits on an exchange. Pushers: the UI thread; poppers: the
    // link thread or the sending thread (one at a time, by link ownership).
    mutable std::mutex m_lock;
    std::array<uint8_t, kSlots + 1> m_slots{};
    int m_head = 0;   // next to pop
    int m_count = 0;  // codes waiting (0-6, the sixth only a jog stop)
};

// The program's queue.
extern CKeyQueue KeyQueue;

int KeyQueuePush(uint8_t code);
int KeyQueuePop();
int KeyQueueCount();
int KeyQueueFree();
bool KeyQueueHolds(uint8_t code);
void KeyQueueClear();
