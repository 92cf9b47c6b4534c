// send-job FILE (--tcp HOST:PORT | --usb) [--settings INI]
// Imports and prepares one plot file as the program does and sends it as one
// job through the program's job start and sending thread. Typing p, r or c
// (and Enter) pauses, resumes or cancels; Ctrl+C cancels.
#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "jobs/JobEnd.h"
#include "jobs/PlotFileRead.h"
#include "link/job/JobObserver.h"
#include "link/job/JobStart.h"
#include "link/KeyQueue.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/MyEth.h"
#include "link/ParamsLink.h"
#include "model/MachineParams.h"
#include "model/Page.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"
#include "model/Text.h"

namespace {

// Set by the signal handler; read by the main loop.
volatile std::sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) { g_interrupted = 1; }

struct Options {
    std::string file;
    bool tcp = false;
    bool usb = false;
    uint32_t host = 0;  // host order
    int port = 0;
    std::string settings;
};

int Usage()
{
    std::fprintf(stderr, "usage: send-job FILE (--tcp HOST:PORT | --usb) [--settings INI]\n");
    return 2;
}

bool ParseHostPort(const std::string& s, Options& o)
{
    const auto colon = s.rfind(':');
    if (colon == std::string::npos) return false;
    std::string host = s.substr(0, colon);
    if (host == "localhost") host = "127.0.0.1";
    in_addr a{};
    if (inet_pton(AF_INET, host.c_str(), &a) != 1) return false;
    char* end = nullptr;
    const long port = std::strtol(s.c_str() + colon + 1, &end, 10);
    if (*end != 0 || port <= 0 || port > 65535) return false;
    o.host = ntohl(a.s_addr);
    o.port = static_cast<int>(port);
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--tcp" && i + 1 < argc) {
            if (!ParseHostPort(argv[++i], o)) return false;
            o.tcp = true;
        } else if (a == "--usb") {
            o.usb = true;
        } else if (a == "--settings" && i + 1 < argc) {
            o.settings = argv[++i];
        } else if (!a.empty() && a[0] != '-' && o.file.empty()) {
            o.file = a;
        } else {
            return false;
        }
    }
    return !o.file.empty() && o.tcp != o.usb;
}

// One line per report, on standard output.
class PrintingObserver final : public CJobObserver {
public:
    void BandSent(int32_t band, int result, int32_t bytes) override
    {
        if (result != 0) std::printf("band %d failed, sent again\n", band);
        else if (bytes > 0) std::printf("band %d sent, %d bytes\n", band, bytes);
        else std::printf("band %d: no ink\n", band);
        std::fflush(stdout);
    }
    void CutPassSent(int32_t pass, int32_t records, int result) override
    {
        if (result != 0) std::printf("knife pass %d failed\n", pass);
        else if (records > 0) std::printf("knife pass %d sent, %d records\n", pass, records);
        else std::printf("knife pass %d: nothing to cut\n", pass);
        std::fflush(stdout);
    }
    void Message(const char* key, const std::u16string& text) override
    {
        std::printf("message %s: %s\n", key, ToUtf8(text).c_str());
        std::fflush(stdout);
    }
    void JobFinished(int r) override
    {
        result.store(r);
    }
    std::atomic<int> result{-1};
};

// Operator keys from standard input while the job runs.
void ServeInput(bool& inputOpen, bool& cancelled)
{
    if (!inputOpen) return;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return;
    char buf[64];
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        inputOpen = false;
        return;
    }
    for (ssize_t i = 0; i < n; ++i) {
        if (buf[i] == 'p') KeyQueuePush(LinkCommand::Pause);
        else if (buf[i] == 'r') KeyQueuePush(LinkCommand::Resume);
        else if (buf[i] == 'c') cancelled = KeyQueuePush(LinkCommand::JobAbort) == 0 || cancelled;
    }
}

bool WaitForReady(int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end && !g_interrupted) {
        if (theCommu.SendShortCommand(LinkCommand::StatusPoll) == 0 && MachineStatus.load() == MachineState::Ready)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, o)) return Usage();

    theSettings.InitPaths();
    theSettings.EnsureFontFiles();
    // The program's own reading of its settings file: the defaults for
    // every key the file lacks.
    ProfileFile profile;
    if (!o.settings.empty()) {
        std::string error;
        if (!std::filesystem::is_regular_file(o.settings)) {
            std::fprintf(stderr, "send-job: cannot read %s\n", o.settings.c_str());
            return 2;
        }
        if (!ReadProfileFile(o.settings, profile, &error)) {
            std::fprintf(stderr, "send-job: %s\n", error.c_str());
            return 2;
        }
    }
    ApplySettings(profile);

    // Read as the program reads a file added by hand (the read the watched
    // folders use too, with its refusals and its test for a file still being
    // written): HP-GL scaled when PltFileUnit says 0.0254 mm.
    PlotReadResult read = ReadPlotFile(FromUtf8(o.file), PltFileUnit.load() == 1, false);
    if (read.message)
        std::fprintf(stderr, "send-job: %s: %s (result %d)\n", o.file.c_str(), ToUtf8(read.message.english).c_str(),
                     read.import.code);
    if (read.outcome == PlotRead::NoCurves)
        std::fprintf(stderr, "send-job: %s has nothing to plot\n", o.file.c_str());
    else if (read.outcome == PlotRead::NotReady && !read.message)
        std::fprintf(stderr, "send-job: %s cannot be opened now\n", o.file.c_str());
    if (!read.page) {
        std::printf("result: failed\n");
        return 1;
    }
    // The job list of one job, ended by the program's own rule.
    PageList jobs;
    jobs.push_back(std::move(read.page));
    COnePage& page = *jobs.front();

    SetDefaultMachineParams();
    theSettings.Set(Slot::ConnectViaEth, o.tcp ? 1 : 0);
    if (o.tcp) {
        theEthOptions.addressOverride = o.host;
        theEthOptions.port = o.port;
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    if (ReadMachineParams() != 0) {
        std::fprintf(stderr, "send-job: cannot read the machine's parameter block\n");
        std::printf("result: failed\n");
        return 1;
    }
    LinkConnected = 1;
    if (!WaitForReady(30)) {
        std::fprintf(stderr, "send-job: the machine is not ready (status %u)\n", unsigned(MachineStatus.load()));
        std::printf("result: failed\n");
        return 1;
    }

    PrintingObserver observer;
    if (StartPlot(page, observer) != 0) {
        std::printf("result: failed\n");
        return 1;
    }
    bool inputOpen = true;
    bool cancelled = false;
    while (observer.result.load() < 0) {
        ServeInput(inputOpen, cancelled);
        if (g_interrupted && !cancelled) {
            // As the operator does it: pause, then delete the task.
            KeyQueuePush(LinkCommand::Pause);
            KeyQueuePush(LinkCommand::JobAbort);
            cancelled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    g_pSendJobThread->Join();
    g_pSendJobThread.reset();
    page.m_state = JobState::Printing;
    ApplyJobEnd(jobs, observer.result.load());
    const bool finished = page.m_state == JobState::Done;
    std::printf("result: %s\n", finished ? "finished" : cancelled ? "cancelled" : "failed");
    return finished ? 0 : 1;
}
