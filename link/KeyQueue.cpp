#include "link/KeyQueue.h"

#include "link/LinkCommand.h"

CKeyQueue KeyQueue;

int CKeyQueue::Push(uint8_t code)
{
    std::lock_guard<std::mutex> lock(m_lock);
    constexpr int ring = kSlots + 1;
    if (m_count >= kSlots) {
        if (code != LinkCommand::JogStop) return -1;
        // The last code queued is a stop already: this one adds nothing.
        if (m_slots[(m_head + m_count - 1) % ring] == LinkCommand::JogStop) return 0;
        if (m_count > kSlots) return -1;  // not reached: the sixth slot holds only a stop
    }
    m_slots[(m_head + m_count) % ring] = code;
    ++m_count;
    return 0;
}

int CKeyQueue::Pop()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_count == 0) return -1;
    const uint8_t code = m_slots[m_head];
    m_head = (m_head + 1) % (kSlots + 1);
    --m_count;
    return code;
}

int CKeyQueue::Count() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_count;
}

int CKeyQueue::Free() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_count >= kSlots ? 0 : kSlots - m_count;
}

bool CKeyQueue::Holds(uint8_t code) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    for (int i = 0; i < m_count; ++i)
        if (m_slots[(m_head + i) % (kSlots + 1)] == code) return true;
    return false;
}

void CKeyQueue::Clear()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_head = 0;
    m_count = 0;
}

int KeyQueuePush(uint8_t code) { return KeyQueue.Push(code); }
int KeyQueuePop() { return KeyQueue.Pop(); }
int KeyQueueCount() { return KeyQueue.Count(); }
int KeyQueueFree() { return KeyQueue.Free(); }
bool KeyQueueHolds(uint8_t code) { return KeyQueue.Holds(code); }
void KeyQueueClear() { KeyQueue.Clear(); }
