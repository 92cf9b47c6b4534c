#include "tools/machine-sim/MachineSim.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "tools/machine-sim/JobRecord.h"
#include "tools/machine-sim/SimFrameTable.h"
#include "tools/machine-sim/SimLinkLoss.h"

namespace {
int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool Readable(int fd, int ms)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) > 0;
}

bool SendAll(int fd, const uint8_t* p, size_t n)
{
    while (n > 0) {
        const ssize_t r = send(fd, p, n, MSG_NOSIGNAL);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}
}  // namespace

CMachineSim::~CMachineSim()
{
    Stop();
}

int CMachineSim::Start(int port, uint32_t address)
{
    if (m_thread.joinable()) return m_port;
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0) return -1;
    const int one = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(address);
    socklen_t len = sizeof addr;
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_listen, 8) != 0 ||
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(m_listen);
        m_listen = -1;
        return -1;
    }
    m_port = ntohs(addr.sin_port);
    m_stop.store(false);
    m_thread = std::thread([this] { Serve(); });
    return m_port;
}

void CMachineSim::Stop()
{
    m_stop.store(true);
    if (m_thread.joinable()) m_thread.join();
    if (m_listen >= 0) close(m_listen);
    m_listen = -1;
}

void CMachineSim::SetFaults(const SimFaults& faults)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_faults = faults;
    m_linkGone = false;
    m_silent = false;
}

void CMachineSim::SetRecordDir(const std::string& dir)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_recordDir = dir;
    m_machine.decodeLive = !dir.empty();
}

void CMachineSim::SetKeepUnits(bool on)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_keepUnits = on;
    m_machine.keepChunks = on;
}

void CMachineSim::SetUnitHook(UnitHook hook)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_unitHook = hook ? std::make_shared<const UnitHook>(std::move(hook)) : nullptr;
}

int CMachineSim::JobsEnded()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_jobsEnded;
}

void CMachineSim::DrainSilently(int fd)
{
    uint8_t tmp[kSimChunkBytes];
    while (!m_stop.load()) {
        if (!Readable(fd, 20)) continue;
        const ssize_t r = recv(fd, tmp, sizeof tmp, 0);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return;
    }
}

SimFaults CMachineSim::Faults()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_faults;
}

std::vector<SimUnit> CMachineSim::Received()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_received;
}

void CMachineSim::ClearReceived()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_received.clear();
}

int CMachineSim::Connections()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_connections;
}

void CMachineSim::SleepUnlessStopped(int ms)
{
    const int64_t end = NowMs() + ms;
    while (!m_stop.load() && NowMs() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void CMachineSim::Serve()
{
    pthread_setname_np(pthread_self(), "sim-serve");
    while (!m_stop.load()) {
        if (!Readable(m_listen, 20)) continue;
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        bool refuse;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            ++m_connections;
            refuse = m_faults.refuse || m_linkGone;
        }
        if (refuse) {
            const linger reset{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            close(fd);
            if (m_stderr.load()) std::fprintf(stderr, "machine-sim: connection refused (fault)\n");
            continue;
        }
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ServeConnection(fd);
        close(fd);
    }
}

bool CMachineSim::ReadExact(int fd, std::vector<uint8_t>& buf, size_t total, int timeoutMs)
{
    const int64_t end = NowMs() + timeoutMs;
    while (buf.size() < total) {
        if (m_stop.load()) return false;
        // What is there already is taken at once; only then is there a wait.
        uint8_t tmp[kSimChunkBytes];
        const size_t want = total - buf.size();
        const ssize_t r = recv(fd, tmp, want < sizeof tmp ? want : sizeof tmp, MSG_DONTWAIT);
        if (r > 0) {
            buf.insert(buf.end(), tmp, tmp + r);
            continue;
        }
        if (r == 0) return false;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
        const int64_t left = end - NowMs();
        if (left <= 0) return false;
        Readable(fd, static_cast<int>(left < 20 ? left : 20));
    }
    return true;
}

bool CMachineSim::ReadUnit(int fd, SimUnit& unit, bool inJob)
{
    unit = SimUnit{};
    // Waits as long as the host keeps the connection without sending.
    while (!Readable(fd, 20))
        if (m_stop.load()) return false;
    std::vector<uint8_t>& b = unit.bytes;
    b.reserve(kSimChunkBytes);
    if (!ReadExact(fd, b, 1, 2000)) return false;
    const size_t len = b[0];
    if (!inJob) {
        if (len < 2) return false;
        return ReadExact(fd, b, len, 2000);
    }
    // During a job a unit is a frame only when it is one the table knows and
    // nothing follows it; the host waits for the answer before sending more.
    const bool frameSized = len >= 2 && len <= kSimMaxFrameBytes;
    if (frameSized) {
        if (!ReadExact(fd, b, len, 2000)) return false;
        // The host sends a chunk with one write, so on loopback its bytes
        // arrive together: a known frame with nothing behind it is a frame,
        // without waiting to see whether more comes.
        if (CSimMachine::IsValidFrame(b) && !Readable(fd, 0)) return true;
    }
    unit.chunk = true;
    if (ReadExact(fd, b, kSimChunkBytes, 2000)) return true;
    // Nothing came after a frame the table does not take: the host waits for
    // its answer. It is that frame, refused, not a chunk cut short.
    if (frameSized && b.size() == len) {
        unit.chunk = false;
        return true;
    }
    return false;
}

bool CMachineSim::SendReply(int fd, std::vector<uint8_t> reply, const SimFaults& f)
{
    if (f.lateMs > 0) SleepUnlessStopped(f.lateMs);
    if (f.closeMidExchange) {
        SendAll(fd, reply.data(), reply.size() / 2);
        return false;
    }
    if (f.shortReply && !reply.empty()) reply.pop_back();
    if (!f.splitReply) return SendAll(fd, reply.data(), reply.size());
    // About four pieces, a few milliseconds apart.
    const size_t piece = reply.size() / 4 > 0 ? reply.size() / 4 : 1;
    for (size_t at = 0; at < reply.size(); at += piece) {
        if (!SendAll(fd, reply.data() + at, std::min(piece, reply.size() - at))) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void CMachineSim::ServeConnection(int fd)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_machine.ConnectionStarted();
    }
    for (;;) {
        bool inJob;
        bool silent;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            inJob = m_machine.InJob();
            silent = m_silent;
        }
        if (silent) {
            DrainSilently(fd);
            return;
        }
        SimUnit unit;
        const bool whole = ReadUnit(fd, unit, inJob);
        if (!whole && unit.bytes.empty()) return;
        // A refused frame is told even when the log is off: it is the host's fault.
        const bool refused = whole && !unit.chunk && !CSimMachine::IsValidFrame(unit.bytes);
        if (m_stderr.load() || refused)
            std::fprintf(stderr, "machine-sim: %s%s\n", CSimMachine::Describe(unit).c_str(),
                         whole ? "" : " (incomplete)");
        std::vector<uint8_t> reply;
        SimFaults faults;
        SimLinkLoss loss = SimLinkLoss::None;
        bool ended = false;
        SimJob endedJob;
        DecodedJob decoded;
        bool decodedLive = false;
        std::vector<SimDecodeWork> work;
        MachineParams params{};
        std::string recordDir;
        std::shared_ptr<const UnitHook> hook;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_keepUnits) m_received.push_back(unit);
            if (!whole) return;
            if (refused) {
                // No answer, and the link is reset.
                const linger reset{1, 0};
                setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                return;
            }
            faults = m_faults;
            hook = m_unitHook;
            if (faults.refuse) {
                // Refused while connected: the link is reset without an answer.
                const linger reset{1, 0};
                setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                return;
            }
            const bool wasInJob = m_machine.InJob();
            reply = m_machine.Handle(unit, faults, NowMs());
            work = m_machine.TakeDecodeWork();
            for (SimDecodeWork& w : work)
                if (w.kind == SimDecodeWork::Kind::JobStart && w.live) w.recordDir = m_recordDir;
            loss = TakeLinkLoss(m_machine, faults);
            if (loss == SimLinkLoss::Drop) m_linkGone = true;
            if (loss == SimLinkLoss::Silent) m_silent = true;
            ended = wasInJob && !m_machine.InJob() && (m_machine.job.finished || m_machine.job.aborted);
            if (ended) {
                ++m_jobsEnded;
                recordDir = m_recordDir;
                if (!recordDir.empty()) {
                    decodedLive = m_machine.DecodingLive();
                    endedJob = m_machine.job;
                    params = m_machine.params;
                }
            }
        }
        if (hook) (*hook)(unit);
        // The host's next chunks are read while these are decoded.
        for (SimDecodeWork& w : work) m_decode.Push(std::move(w));
        // The record is on disk before the job's end is answered: whoever
        // ended the job may read it at once.
        std::unique_ptr<CPbmStream> pbm;
        if (decodedLive) decoded = m_decode.Finish(&pbm);
        if (ended && !recordDir.empty() &&
            !(decodedLive ? WriteJobRecord(recordDir, endedJob, decoded, params, pbm.get())
                          : WriteJobRecord(recordDir, endedJob, params)))
            std::fprintf(stderr, "machine-sim: cannot write the job record in %s\n", recordDir.c_str());
        if (!SendReply(fd, std::move(reply), faults)) return;
        if (loss == SimLinkLoss::Drop) {
            const linger reset{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            if (m_stderr.load()) std::fprintf(stderr, "machine-sim: link dropped mid-job (fault)\n");
            return;
        }
    }
}
