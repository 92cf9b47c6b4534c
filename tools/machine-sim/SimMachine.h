#pragma once
// The simulated machine's behaviour, apart from any socket: its state, its
// parameter block, and its answer to each frame or data chunk.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/MachineParams.h"
#include "tools/machine-sim/SimDecodeThread.h"
#include "tools/machine-sim/SimFaults.h"
#include "tools/machine-sim/SimJob.h"

// One unit received from the host: a frame, or (during a job) a data chunk.
struct SimUnit {
    bool chunk = false;
    std::vector<uint8_t> bytes;
};

class CSimMachine {
public:
    CSimMachine();

    // The reply to a unit the machine takes, before any transport fault.
    std::vector<uint8_t> Handle(const SimUnit& unit, const SimFaults& faults, int64_t nowMs);
    // A frame the machine takes: a code its frame table knows, with the
    // length the table gives that code.
    static bool IsValidFrame(const std::vector<uint8_t>& bytes);
    // One readable line for the log; a frame the machine does not take says why.
    static std::string Describe(const SimUnit& unit);

    // The status byte now (a cleaning run ends by time).
    uint8_t Status(const SimFaults& faults, int64_t nowMs);
    bool InJob() const { return job.started && !job.finished && !job.aborted && !job.lost; }
    // A new connection during a job: data before it belongs to no header.
    void ConnectionStarted();
    // The decoding steps since the last call, in order: the caller runs them
    // (through a CSimDecodeThread), so the answer never waits for a band to be drawn.
    std::vector<SimDecodeWork> TakeDecodeWork();
    // Whether this job is decoded as it arrives (decodeLive at its start).
    bool DecodingLive() const { return m_decoding; }

    uint8_t state;
    int32_t headPosition = 0;
    int jog = 0;  // 0 still, else the jog code moving
    bool fanOn = false;
    bool knifeOn = false;
    MachineParams params;
    std::array<uint8_t, 2> paramsTail{};  // the block's two reserved link bytes
    int cleanMs = 300;
    int64_t cleanUntilMs = 0;
    int32_t jogStepPulses = 400;  // carriage pulses per poll while jogging across
    SimJob job;
    int jobs = 0;
    bool answeredOne = false;  // answer-one-after used in this job
    // Keep every chunk in job.chunks (tests read them); off, a job's data is
    // held only until its header has been decoded.
    bool keepChunks = true;
    // Decode bands and passes as their headers arrive, with the block in force
    // at the job start (the record of the job).
    bool decodeLive = false;

private:
    void Dropped();  // the data in hand belongs to no header
    void Hand(SimDecodeWork::Kind kind, int32_t value);  // the data in hand is the header's
    bool m_decoding = false;                 // this job is decoded as it arrives
    std::vector<uint16_t> m_pending;         // data words since the last header or drop
    std::vector<SimDecodeWork> m_work;       // steps not yet taken by TakeDecodeWork
};
