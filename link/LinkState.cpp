#include "link/LinkState.h"

std::atomic<uint8_t> MachineStatus{0};
std::atomic<int32_t> HeadPosition{0};
std::atomic<int32_t> LinkConnected{0};
std::atomic<bool> g_jobActive{false};
std::mutex g_linkOwnerLock;

void BeginJobLink()
{
    std::lock_guard<std::mutex> lock(g_linkOwnerLock);
    g_jobActive.store(true);
}

void EndJobLink()
{
    g_jobActive.store(false);
}
