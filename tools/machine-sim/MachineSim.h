#pragma once
// The simulated machine on loopback TCP: one connection at a time, one unit
// (frame or data chunk) at a time, answered as the machine would, with the
// faults it is told to show. Runs in a thread of its own.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/machine-sim/SimFaults.h"
#include "tools/machine-sim/SimMachine.h"

class CMachineSim {
public:
    CMachineSim() = default;
    ~CMachineSim();
    CMachineSim(const CMachineSim&) = delete;
    CMachineSim& operator=(const CMachineSim&) = delete;

    // Listens on 127.0.0.1:port (0 picks a free port) and serves in a thread.
    // Returns the port, or -1. Another loopback address (host order, such as
    // 127.0.0.2) stands for a machine at a second address.
    int Start(int port = 5188, uint32_t address = 0x7F000001);
    void Stop();
    int Port() const { return m_port; }

    void SetFaults(const SimFaults& faults);
    SimFaults Faults();
    // One line per unit on standard error (on by default).
    void SetLogToStderr(bool on) { m_stderr.store(on); }
    // Writes print.pbm, knife.svg and summary.json into dir at the end of
    // every job (code 10 or 11); empty: no record.
    void SetRecordDir(const std::string& dir);
    // Keep every unit received and every chunk of a job (on by default, for
    // tests); the program turns it off so a long job is held a band at a time.
    void SetKeepUnits(bool on);
    // Jobs ended (10 or 11) since the start.
    int JobsEnded();
    // Called on the serving thread with each unit once the machine has
    // handled it and before it is answered, outside the lock (it may look at
    // the machine): a test acts at the instant a frame arrives. Empty: none.
    using UnitHook = std::function<void(const SimUnit&)>;
    void SetUnitHook(UnitHook hook);

    // What arrived, in order; connections accepted so far.
    std::vector<SimUnit> Received();
    void ClearReceived();
    int Connections();

    // Runs f on the machine's state under the lock.
    template <class F>
    auto WithMachine(F f)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return f(m_machine);
    }

private:
    void Serve();
    void ServeConnection(int fd);
    // False when the connection ended or broke.
    bool ReadUnit(int fd, SimUnit& unit, bool inJob);
    bool ReadExact(int fd, std::vector<uint8_t>& buf, size_t total, int timeoutMs);
    bool SendReply(int fd, std::vector<uint8_t> reply, const SimFaults& faults);
    void SleepUnlessStopped(int ms);
    // Reads and throws away everything until the host closes (silent fault).
    void DrainSilently(int fd);

    // The serving thread ("sim-serve"); runs Serve until m_stop.
    std::thread m_thread;
    // Written by Stop (any thread); read by the serving thread.
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_stderr{true};
    int m_listen = -1;  // owned by Start/Stop and the serving thread
    int m_port = -1;
    // Guards the machine, the faults and the record below. Written by the
    // serving thread (units) and the test (faults, state); read by both.
    std::mutex m_lock;
    CSimMachine m_machine;
    SimFaults m_faults;
    std::vector<SimUnit> m_received;
    bool m_keepUnits = true;
    int m_connections = 0;
    // Mid-job link faults in force (cleared by SetFaults): every connection
    // reset, or nothing answered.
    bool m_linkGone = false;
    bool m_silent = false;
    std::string m_recordDir;
    int m_jobsEnded = 0;
    std::shared_ptr<const UnitHook> m_unitHook;
    // Draws the bands of a recorded job on its own thread. Fed and emptied
    // by the serving thread only, outside m_lock.
    CSimDecodeThread m_decode;
};
