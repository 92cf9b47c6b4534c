// machine-sim [--port N] [--record DIR] [--fault NAME[=VALUE]]...
// The simulated machine on 127.0.0.1 until it is stopped (SIGINT/SIGTERM).
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "tools/machine-sim/MachineSim.h"

namespace {
// Set by the signal handler; read by the main loop.
volatile std::sig_atomic_t g_stopRequested = 0;
void OnSignal(int) { g_stopRequested = 1; }

int Usage()
{
    std::fprintf(stderr, "usage: machine-sim [--port N] [--record DIR] [--fault NAME[=VALUE]]...\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv)
{
    int port = 5188;
    SimFaults faults;
    std::string recordDir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const long v = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || v < 0 || v > 65535) return Usage();
            port = static_cast<int>(v);
        } else if (a == "--record" && i + 1 < argc) {
            recordDir = argv[++i];
        } else if (a == "--fault" && i + 1 < argc) {
            if (!ApplyFault(argv[++i], faults)) {
                std::fprintf(stderr, "machine-sim: unknown fault %s\n", argv[i]);
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    if (!recordDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(recordDir, ec);
        if (ec) {
            std::fprintf(stderr, "machine-sim: cannot make %s: %s\n", recordDir.c_str(), ec.message().c_str());
            return 1;
        }
    }
    CMachineSim sim;
    sim.SetFaults(faults);
    // Nobody asks a running simulator for its units: keep a band at a time.
    sim.SetKeepUnits(false);
    sim.SetRecordDir(recordDir);
    const int bound = sim.Start(port);
    if (bound < 0) {
        std::fprintf(stderr, "machine-sim: cannot listen on 127.0.0.1:%d: %s\n", port, std::strerror(errno));
        return 1;
    }
    std::printf("machine-sim listening on 127.0.0.1:%d\n", bound);
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sim.Stop();
    return 0;
}
