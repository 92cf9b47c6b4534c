// The last-task file kept true: the look at the list every second on the UI
// thread (nothing changed, nothing written), and the rewrite after a change
// (a job started or ended), for a list of 200 jobs of 20,000 points each.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "jobs/LastTaskKeeper.h"
#include "jobs/OrlatCenterDoc.h"
#include "bench/LargeList.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

struct KeptList {
    KeptList()
    {
        dir = std::filesystem::temp_directory_path() / ("orlat_bench_last_task_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        theSettings.InitPathsFrom(FromUtf8(dir.string() + "/"));
        doc.m_pages = LargeJobList();
        keeper.Begin();
    }
    ~KeptList() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    COrlatCenterDoc doc;
    CLastTaskKeeper keeper{doc};
};

void BM_LastTaskLookUnchanged(benchmark::State& state)
{
    KeptList l;
    l.keeper.Keep();
    for (auto _ : state) {
        if (l.keeper.Keep().kind != KeepOutcome::Unchanged) state.SkipWithError("written");
    }
}
BENCHMARK(BM_LastTaskLookUnchanged)->Unit(benchmark::kMicrosecond);

void BM_LastTaskRewrite(benchmark::State& state)
{
    KeptList l;
    int copies = 1;
    for (auto _ : state) {
        l.doc.m_pages.front()->m_copies = ++copies;  // a job ended: its copies counted down
        if (l.keeper.Keep().kind != KeepOutcome::Written) state.SkipWithError("not written");
    }
}
BENCHMARK(BM_LastTaskRewrite)->Unit(benchmark::kMillisecond);

}  // namespace
