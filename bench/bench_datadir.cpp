// A watched data directory of 10,000 plot files none of which is ready (all
// still held open by the program writing them): a scan imports nothing. The
// first scan opens every file; later scans (every 1.6 s) list the folder and
// try again only what a notification names, plus a few in turn.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "jobs/DataDirScan.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

struct BusyFolder {
    explicit BusyFolder(int files)
    {
        rlimit lim{};
        getrlimit(RLIMIT_NOFILE, &lim);
        lim.rlim_cur = lim.rlim_max;
        setrlimit(RLIMIT_NOFILE, &lim);
        dir = std::filesystem::temp_directory_path() / ("orlat_bench_datadir_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        for (int i = 0; i < files; ++i) {
            const std::string path = (dir / ("marker" + std::to_string(i) + ".plt")).string();
            std::ofstream(path) << "IN;SP1;PU0,0;PD400,0,400,400;";
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (fd >= 0) held.push_back(fd);
        }
    }
    ~BusyFolder()
    {
        for (int fd : held) ::close(fd);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path dir;
    std::vector<int> held;
};

void BM_ScanTenThousandNoneReady(benchmark::State& state)
{
    BusyFolder folder(static_cast<int>(state.range(0)));
    if (folder.held.size() != static_cast<size_t>(state.range(0))) {
        state.SkipWithError("cannot hold the files open");
        return;
    }
    theSettings.Set(Slot::AutoStart, 1);
    const bool first = state.range(1) != 0;
    CDataDirScanner warm;
    const std::u16string dir = FromUtf8(folder.dir.string() + "/");
    if (!first) warm.ScanOnce(dir, false);
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            auto fresh = std::make_unique<CDataDirScanner>();
            state.ResumeTiming();
            ScanOutcome o = fresh->ScanOnce(dir, false);
            if (o.kind != ScanKind::Nothing) state.SkipWithError("a file was taken");
            benchmark::DoNotOptimize(o);
            state.PauseTiming();
            fresh.reset();
            state.ResumeTiming();
        } else {
            ScanOutcome o = warm.ScanOnce(dir, false);
            if (o.kind != ScanKind::Nothing) state.SkipWithError("a file was taken");
            benchmark::DoNotOptimize(o);
        }
    }
}
// Arguments: files, first scan (1) or a later one (0).
BENCHMARK(BM_ScanTenThousandNoneReady)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

}  // namespace
