#include "tools/machine-sim/SimDecodeThread.h"

#include <pthread.h>

void ApplyDecodeWork(std::unique_ptr<CJobDecoder>& decoder, const SimDecodeWork& w)
{
    switch (w.kind) {
    case SimDecodeWork::Kind::JobStart:
        decoder.reset();
        if (w.live) decoder = std::make_unique<CJobDecoder>(w.value, w.params);
        break;
    case SimDecodeWork::Kind::Band:
        if (decoder) decoder->Band(w.value, w.words.data(), w.words.size());
        break;
    case SimDecodeWork::Kind::KnifePass:
        if (decoder) decoder->KnifePass(w.value, w.words.data(), w.words.size());
        break;
    }
}

CSimDecodeThread::CSimDecodeThread() : m_thread([this] { Run(); }) {}

CSimDecodeThread::~CSimDecodeThread()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_one();
    m_room.notify_all();
    m_thread.join();
}

void CSimDecodeThread::Push(SimDecodeWork work)
{
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_room.wait(lock, [this] { return m_queuedWords <= kMaxQueuedWords || m_stop; });
        m_queuedWords += work.words.size();
        m_queue.push_back(std::move(work));
    }
    m_wake.notify_one();
}

DecodedJob CSimDecodeThread::Finish(std::unique_ptr<CPbmStream>* pbm)
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    DecodedJob d = m_decoder ? m_decoder->Take() : DecodedJob{};
    m_decoder.reset();
    if (pbm) *pbm = std::move(m_pbm);
    m_pbm.reset();
    return d;
}

void CSimDecodeThread::Run()
{
    pthread_setname_np(pthread_self(), "sim-decode");
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop) return;  // what is still queued is nobody's record any more
        SimDecodeWork work = std::move(m_queue.front());
        m_queue.pop_front();
        m_queuedWords -= work.words.size();
        m_busy = true;
        lock.unlock();
        m_room.notify_one();
        ApplyDecodeWork(m_decoder, work);
        if (work.kind == SimDecodeWork::Kind::JobStart) {
            m_pbm.reset();
            if (m_decoder && !work.recordDir.empty()) m_pbm = std::make_unique<CPbmStream>(work.recordDir);
        } else if (work.kind == SimDecodeWork::Kind::Band && m_decoder && m_pbm) {
            m_pbm->BandDecoded(m_decoder->Decoded(), m_decoder->RowOfBand(work.value));
        }
        // The words go back to the allocator here, off the serving thread.
        work = SimDecodeWork{};
        lock.lock();
        m_busy = false;
        if (m_queue.empty()) m_idle.notify_all();
    }
}
