#pragma once
// The next ink band prepared on a worker thread while the sending thread
// sends the current one: two band buffers, each owned by one side at a time,
// so the bytes on the wire are those of preparing the bands one by one.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class BandEngine;
struct BandBuffers;

class CBandPipeline {
public:
    // The engine must stay set up and unchanged while the pipeline lives.
    // Throws std::bad_alloc when the two buffers cannot be had.
    CBandPipeline(const BandEngine& engine, int32_t inkBandCount);
    // Waits for a band under way and ends the worker.
    ~CBandPipeline();
    CBandPipeline(const CBandPipeline&) = delete;
    CBandPipeline& operator=(const CBandPipeline&) = delete;

    // The packed stream of `band` (0 <= band < inkBandCount): the one the
    // worker made ahead, the one taken last (a band sent again), or made now.
    // Then asks the worker for band + 1 in the other buffer. The buffer is
    // the sending thread's until its next Take.
    const BandBuffers& Take(int32_t band);

private:
    void Work();
    // Waits until the worker holds no buffer (sending thread, lock held).
    void WaitIdle(std::unique_lock<std::mutex>& lock);

    const BandEngine& m_engine;
    const int32_t m_inkBands;
    std::unique_ptr<BandBuffers> m_buf[2];
    // The band in the held buffer (-1 none): the sending thread's only.
    int32_t m_heldBand = -1;

    // Guards m_held and the four values below. m_held (the buffer the sending
    // thread holds; the worker writes the other) is written by the sending
    // thread and read by the worker. m_ahead and m_stop are written by the
    // sending thread and read by the worker; m_busy and m_aheadDone are
    // written by the worker and read by the sending thread.
    std::mutex m_lock;
    int m_held = 0;
    std::condition_variable m_wake;  // both ways: a request, a band done, stop
    int32_t m_ahead = -1;            // band asked of the worker, in m_buf[1 - m_held]; -1 none
    bool m_aheadDone = false;
    bool m_busy = false;             // the worker is writing m_buf[1 - m_held]
    bool m_stop = false;
    // "band-prep": prepares m_ahead; started by the constructor, joined by the destructor.
    std::thread m_worker;
};
