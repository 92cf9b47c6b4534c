#pragma once
// Holds the last-task writer at the start of a chosen write, so a test can
// hand further lists while that one is under way, then let it go: no sleeps,
// the test waits on the writer reaching the gate.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "jobs/LastTaskWriter.h"

namespace writergate {

class Gate {
public:
    // Close before the write of ticket: that write waits until Open.
    void CloseAt(KeepTicket ticket)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_at = ticket;
        m_open = false;
    }
    void Open()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_open = true;
        }
        m_changed.notify_all();
    }
    // Waits until the writer stands at the closed gate; false after 10 s.
    bool Reached()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_waiting; });
    }
    // The tickets the writer began to write, in order.
    std::vector<KeepTicket> Began()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_began;
    }
    // For the writer's beforeWrite (the writing thread).
    std::function<void(KeepTicket)> Hook()
    {
        return [this](KeepTicket t) {
            std::unique_lock<std::mutex> lock(m_lock);
            m_began.push_back(t);
            if (t != m_at) return;
            m_waiting = true;
            m_changed.notify_all();
            m_changed.wait(lock, [&] { return m_open; });
            m_waiting = false;
        };
    }

private:
    // Guards all below; written by the test thread (m_at, m_open) and the
    // writing thread (m_waiting, m_began), read by both.
    std::mutex m_lock;
    std::condition_variable m_changed;
    KeepTicket m_at = 0;
    bool m_open = true;
    bool m_waiting = false;
    std::vector<KeepTicket> m_began;
};

}  // namespace writergate
