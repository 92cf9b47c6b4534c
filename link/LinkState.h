#pragma once
// The values the link shares between threads: what the machine last said,
// whether the link is up, and who owns it.
#include <atomic>
#include <cstdint>
#include <mutex>

namespace MachineState {
enum : uint8_t {
    Offline = 0,
    Ready = 1,
    PlotTest = 2,
    Plotting = 3,
    Paused = 4,
    MemError = 5,
    Disconnected = 6,
    SeekZero = 7,
};
}

// The state in the low nibble of a status byte; 8-15 count as Disconnected.
inline uint8_t MachineStateOf(uint8_t status)
{
    const uint8_t s = status & 0x0F;
    return s > MachineState::SeekZero ? uint8_t(MachineState::Disconnected) : s;
}

// Last one-byte reply of any exchange. Written by whichever thread received it
// (link thread, sending thread, UI at job start); read by the control bar timer.
extern std::atomic<uint8_t> MachineStatus;
// Carriage position in carriage-axis pulses. Written by the link thread (reply
// of command 19); read by the control bar timer.
extern std::atomic<int32_t> HeadPosition;
// 1 while the link is up. Written by the link thread and the job start; read by
// the control bar, the job start and the link thread.
extern std::atomic<int32_t> LinkConnected;

// Set while a job's sending thread owns the link. Written by the job start and
// the end of a job (through the two functions below); read by the link thread
// (stands still while set) and the TCP transport (keeps its connection open).
extern std::atomic<bool> g_jobActive;
// Held by the link thread for each pass that may talk to the machine, and by
// BeginJobLink while it sets g_jobActive, so once BeginJobLink returns the link
// thread is neither mid-exchange nor popping the queue.
extern std::mutex g_linkOwnerLock;

// Hands the link to a job (waits for the link thread's current pass to end).
void BeginJobLink();
// Gives the link back to the link thread.
void EndJobLink();
