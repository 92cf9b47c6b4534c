#include "tools/machine-sim/SimMachine.h"

#include <cstdio>
#include <cstring>

#include "link/LinkState.h"
#include "tools/machine-sim/SimFrameTable.h"

CSimMachine::CSimMachine() : state(MachineState::Ready), params{}
{
    FillDefaultMachineParams(params);
    params.machineIp = 0x0100007F;  // 127.0.0.1, first octet low
}

bool CSimMachine::IsValidFrame(const std::vector<uint8_t>& b)
{
    if (b.size() < 2 || b[0] != b.size()) return false;
    const SimFrameKind* f = FindSimFrame(b[1]);
    return f != nullptr && f->payloadBytes + 2 == b[0];
}

std::string CSimMachine::Describe(const SimUnit& u)
{
    char line[160];
    if (u.chunk) {
        std::snprintf(line, sizeof line, "data chunk %zu bytes", u.bytes.size());
        return line;
    }
    if (u.bytes.size() < 2) return "frame too short";
    const SimFrameKind* f = FindSimFrame(u.bytes[1]);
    std::snprintf(line, sizeof line, "frame len=%u code=%u (%s)", unsigned(u.bytes[0]), unsigned(u.bytes[1]),
                  f ? f->name : "unknown");
    std::string s = line;
    if (f == nullptr) return s + " refused: the machine knows no such code";
    if (!IsValidFrame(u.bytes)) {
        std::snprintf(line, sizeof line, " refused: its frames are %d bytes, this one is %zu", f->payloadBytes + 2,
                      u.bytes.size());
        return s + line;
    }
    const uint8_t* p = u.bytes.data() + 2;
    const size_t n = u.bytes.size() - 2;
    if (u.bytes[1] == SimCode::JobStart && n == 8) {
        std::snprintf(line, sizeof line, " length=%d columns=%d", SimGetInt32(p), SimGetInt32(p + 4));
        s += line;
    } else if (u.bytes[1] == SimCode::BandHeader && n == 6) {
        std::snprintf(line, sizeof line, " band=%d bidir=%u", SimGetInt32(p), unsigned(p[4]));
        s += line;
    } else if (u.bytes[1] == SimCode::KnifeHeader && n == 4) {
        std::snprintf(line, sizeof line, " records=%d", SimGetInt32(p));
        s += line;
    } else if (n > 0) {
        std::snprintf(line, sizeof line, " payload %zu bytes", n);
        s += line;
    }
    return s;
}

void CSimMachine::Dropped()
{
    m_pending.clear();
    // A band's worth of words is all it ever holds; a long job's largest band
    // need not stay reserved.
    if (m_pending.capacity() > (size_t{1} << 20)) m_pending.shrink_to_fit();
}

void CSimMachine::ConnectionStarted()
{
    if (!InJob()) return;
    job.connectionStarts.push_back(job.chunksReceived);
    Dropped();
}

void CSimMachine::Hand(SimDecodeWork::Kind kind, int32_t value)
{
    if (m_decoding) {
        SimDecodeWork w;
        w.kind = kind;
        w.value = value;
        const size_t size = m_pending.size();
        w.words = std::move(m_pending);
        // The next header's data is about as long as this one's.
        m_pending = {};
        m_pending.reserve(size);
        m_work.push_back(std::move(w));
    }
    Dropped();
}

std::vector<SimDecodeWork> CSimMachine::TakeDecodeWork()
{
    std::vector<SimDecodeWork> w;
    w.swap(m_work);
    return w;
}

uint8_t CSimMachine::Status(const SimFaults& faults, int64_t nowMs)
{
    if (state == MachineState::PlotTest && nowMs >= cleanUntilMs) state = MachineState::Ready;
    if (faults.memError) return MachineState::MemError;
    if (faults.holdAfterBands >= 0 && InJob() && job.bands.size() >= static_cast<size_t>(faults.holdAfterBands))
        return static_cast<uint8_t>(state | 0x10);
    return state;
}

std::vector<uint8_t> CSimMachine::Handle(const SimUnit& u, const SimFaults& faults, int64_t nowMs)
{
    if (u.chunk) {
        if (keepChunks) job.chunks.push_back(u.bytes);
        ++job.chunksReceived;
        job.bytesReceived += static_cast<int64_t>(u.bytes.size());
        if (m_decoding) {
            // Little-endian words, as the decoder reads them (the host is little-endian too).
            const size_t at = m_pending.size();
            m_pending.resize(at + u.bytes.size() / 2);
            std::memcpy(m_pending.data() + at, u.bytes.data(), u.bytes.size() / 2 * 2);
        }
        if (faults.answerOneAfter >= 0 && !answeredOne &&
            job.chunksReceived > static_cast<size_t>(faults.answerOneAfter)) {
            answeredOne = true;
            job.refusedChunks.push_back(job.chunksReceived);
            Dropped();
            return {1};
        }
        return {Status(faults, nowMs)};
    }
    // A frame the machine does not take gets no answer.
    if (!IsValidFrame(u.bytes)) return {};
    const uint8_t code = u.bytes[1];
    const uint8_t* p = u.bytes.data() + 2;
    const size_t n = u.bytes.size() - 2;
    Status(faults, nowMs);
    switch (code) {
    case SimCode::JogStop:
        jog = 0;
        break;
    case SimCode::JogUp:
    case SimCode::JogDown:
    case SimCode::JogLeft:
    case SimCode::JogRight:
        if (state == MachineState::Ready) jog = code;
        break;
    case SimCode::FanOn: fanOn = true; break;
    case SimCode::FanOff: fanOn = false; break;
    case SimCode::KnifeOn: knifeOn = true; break;
    case SimCode::KnifeOff: knifeOn = false; break;
    case SimCode::Clean:
        if (state == MachineState::Ready) {
            state = MachineState::PlotTest;
            cleanUntilMs = nowMs + cleanMs;
        }
        break;
    case SimCode::JobFinished:
        if (InJob()) job.finished = true;
        state = MachineState::Ready;
        break;
    case SimCode::JobAbort:
        if (InJob()) job.aborted = true;
        state = MachineState::Ready;
        break;
    case SimCode::Resume:
        if (state == MachineState::Paused) state = MachineState::Plotting;
        break;
    case SimCode::Pause:
        if (state == MachineState::Plotting) state = MachineState::Paused;
        break;
    case SimCode::JobStart:
        job = SimJob{};
        job.started = true;
        m_pending.clear();
        answeredOne = false;
        ++jobs;
        if (n >= 8) {
            job.lengthPulses = SimGetInt32(p);
            job.bandColumns = SimGetInt32(p + 4);
        }
        if (decodeLive || m_decoding) {
            // A job not decoded still drops the last one's image.
            SimDecodeWork w;
            w.kind = SimDecodeWork::Kind::JobStart;
            w.value = job.bandColumns;
            w.live = decodeLive;
            w.params = params;
            m_work.push_back(std::move(w));
        }
        m_decoding = decodeLive;
        state = MachineState::Plotting;
        break;
    case SimCode::BandHeader:
        if (n >= 6) {
            job.bands.push_back({SimGetInt32(p), p[4], job.chunksReceived});
            Hand(SimDecodeWork::Kind::Band, job.bands.back().band);
        }
        break;
    case SimCode::KnifeHeader:
        if (n >= 4) {
            job.knifePasses.push_back({SimGetInt32(p), job.chunksReceived});
            Hand(SimDecodeWork::Kind::KnifePass, job.knifePasses.back().records);
        }
        break;
    case SimCode::ReadHeadPosition: {
        std::vector<uint8_t> r(4);
        SimPutInt32(r.data(), headPosition);
        return r;
    }
    case SimCode::ReadParams: {
        std::vector<uint8_t> r(kSimParamsBytes);
        std::memcpy(r.data(), &params, sizeof params);
        r[56] = paramsTail[0];
        r[57] = paramsTail[1];
        return r;
    }
    case SimCode::WriteParams:
        if (n >= sizeof params) std::memcpy(&params, p, sizeof params);
        break;
    case SimCode::StatusPoll:
        if (jog == SimCode::JogLeft) headPosition += jogStepPulses;
        if (jog == SimCode::JogRight) headPosition -= jogStepPulses;
        break;
    default:
        break;
    }
    return {Status(faults, nowMs)};
}
