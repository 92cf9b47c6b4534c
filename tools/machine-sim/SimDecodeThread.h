#pragma once
// The simulated machine's decoder on a thread of its own: the serving thread
// hands over each header's data words as the header arrives and goes back to
// the socket; the bands are drawn into the job's image here meanwhile.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/MachineParams.h"
#include "tools/machine-sim/JobRecord.h"
#include "tools/machine-sim/PbmStream.h"

// One step of a job's decoding, in the order the headers arrived.
struct SimDecodeWork {
    enum class Kind { JobStart, Band, KnifePass };
    Kind kind = Kind::Band;
    // JobStart: the band columns and whether the job is decoded at all (a job
    // that is not still drops the last one's image); Band: the band index;
    // KnifePass: the pass's records.
    int32_t value = 0;
    bool live = false;
    MachineParams params{};  // JobStart: the block in force at the job start
    std::string recordDir;   // JobStart: where print.pbm is written behind, or empty
    std::vector<uint16_t> words;  // Band and KnifePass: the header's data
};

// Runs the queued steps through a CJobDecoder, in order.
void ApplyDecodeWork(std::unique_ptr<CJobDecoder>& decoder, const SimDecodeWork& work);

class CSimDecodeThread {
public:
    // Starts the thread ("sim-decode").
    CSimDecodeThread();
    // Stops the thread; steps still queued are dropped.
    ~CSimDecodeThread();
    CSimDecodeThread(const CSimDecodeThread&) = delete;
    CSimDecodeThread& operator=(const CSimDecodeThread&) = delete;

    // Queues a step (its words are moved, not copied). Called by one thread
    // only (the serving thread), so the steps keep their order. Waits while
    // more than kMaxQueuedWords wait to be decoded: a host faster than the
    // decoding is held back instead of the machine's memory growing.
    void Push(SimDecodeWork work);
    static constexpr size_t kMaxQueuedWords = size_t{4} << 20;
    // Waits until every step pushed so far is decoded and takes the job's
    // decoded record (empty when no job is decoded), and into *pbm its
    // print.pbm as far as it is written (null when none is).
    DecodedJob Finish(std::unique_ptr<CPbmStream>* pbm = nullptr);

private:
    void Run();

    // Guards the queue and the flags below. Written by the serving thread
    // (Push, Finish, the destructor) and the decoder thread (Run); read by both.
    std::mutex m_lock;
    std::condition_variable m_wake;  // a step queued, or m_stop: the decoder thread waits
    std::condition_variable m_idle;  // the queue ran empty: Finish waits
    std::condition_variable m_room;  // a step taken off the queue: Push waits
    std::deque<SimDecodeWork> m_queue;
    size_t m_queuedWords = 0;  // data words in m_queue
    bool m_busy = false;  // the decoder thread is working on a step it took
    bool m_stop = false;
    // The job being decoded, and its print.pbm. Touched by the decoder thread while it holds a
    // step, and by Finish only when the queue is empty and the decoder thread
    // idle (both under m_lock), so never by both at once.
    std::unique_ptr<CJobDecoder> m_decoder;
    std::unique_ptr<CPbmStream> m_pbm;  // the same: its print.pbm written behind
    // The decoder thread, "sim-decode": runs Run until m_stop.
    std::thread m_thread;
};
