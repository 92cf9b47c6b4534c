#include "link/job/BandPipeline.h"

#include <pthread.h>

#include "link/output/BandEngine.h"

CBandPipeline::CBandPipeline(const BandEngine& engine, int32_t inkBandCount)
    : m_engine(engine),
      m_inkBands(inkBandCount)
{
    // Not zeroed here: preparing a band clears what the band uses.
    m_buf[0].reset(new BandBuffers);
    m_buf[1].reset(new BandBuffers);
    m_worker = std::thread([this] { Work(); });
    pthread_setname_np(m_worker.native_handle(), "band-prep");
}

CBandPipeline::~CBandPipeline()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void CBandPipeline::Work()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || (m_ahead >= 0 && !m_aheadDone && !m_busy); });
        if (m_stop) return;
        const int32_t band = m_ahead;
        BandBuffers& buf = *m_buf[1 - m_held];
        m_busy = true;
        lock.unlock();
        m_engine.PrepareBand(band, buf);
        lock.lock();
        m_busy = false;
        m_aheadDone = true;
        m_wake.notify_all();
    }
}

void CBandPipeline::WaitIdle(std::unique_lock<std::mutex>& lock)
{
    m_wake.wait(lock, [this] { return !m_busy && (m_ahead < 0 || m_aheadDone); });
}

const BandBuffers& CBandPipeline::Take(int32_t band)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (band != m_heldBand) {
        // Whatever the worker does, it does in the other buffer: wait for it.
        WaitIdle(lock);
        const bool made = m_ahead == band && m_aheadDone;
        // The worker's buffer becomes the held one; a band not made ahead
        // is made in it now (the worker is idle, nothing else touches it).
        m_held = 1 - m_held;
        m_ahead = -1;
        m_aheadDone = false;
        if (!made) {
            lock.unlock();
            m_engine.PrepareBand(band, *m_buf[m_held]);
            lock.lock();
        }
        m_heldBand = band;
    }
    if (m_ahead < 0 && band + 1 < m_inkBands) {
        m_ahead = band + 1;
        m_aheadDone = false;
        m_wake.notify_all();
    }
    return *m_buf[m_held];
}
