// The last-task file kept true with a day's list (200 jobs of 20,000 points,
// about 33 MB of task file): the look at the list every second on the UI
// thread (nothing changed, nothing written); the encoding of the list; the
// time a Keep after a change holds the UI thread (encoding, then handing the
// bytes over); the writing thread's write (temporary file, sync, rename,
// folder sync); and a change until its list is on disk. The UI thread's
// figure must stay below 50 ms.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "jobs/LastTaskKeeper.h"
#include "jobs/LastTaskWriter.h"
#include "jobs/OrlatCenterDoc.h"
#include "bench/LargeList.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

using namespace std::chrono_literals;

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
    // A job ended: its copies counted down.
    void Change() { doc.m_pages.front()->m_copies = ++copies; }

    std::filesystem::path dir;
    COrlatCenterDoc doc;
    CLastTaskKeeper keeper{doc};
    int copies = 1;
};

void BM_LastTaskLookUnchanged(benchmark::State& state)
{
    KeptList l;
    l.keeper.Keep();
    l.keeper.Flush();
    l.keeper.Keep();  // takes the finished write in
    for (auto _ : state) {
        if (l.keeper.Keep().kind != KeepOutcome::Unchanged) state.SkipWithError("written");
    }
}
BENCHMARK(BM_LastTaskLookUnchanged)->Unit(benchmark::kMicrosecond);

void BM_LastTaskEncode(benchmark::State& state)
{
    KeptList l;
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> out = l.doc.StoredBytes();
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_LastTaskEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window waits for: Keep returns once the list is handed over.
void BM_LastTaskKeepOnTheUiThread(benchmark::State& state)
{
    KeptList l;
    for (auto _ : state) {
        l.Change();
        if (l.keeper.Keep().kind != KeepOutcome::Written) state.SkipWithError("not handed");
        state.PauseTiming();
        // Each change meets an idle writer, as a day's changes do.
        if (l.keeper.Flush().kind != KeepOutcome::Written) state.SkipWithError("not written");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LastTaskKeepOnTheUiThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The writing thread's part, from the hand-over until the ticket is durable.
void BM_LastTaskWriterWrite(benchmark::State& state)
{
    KeptList l;
    const std::vector<uint8_t> bytes = l.doc.StoredBytes();
    const std::string path = ToUtf8(theSettings.Path(Slot::LastTaskPath));
    CLastTaskWriter writer;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<uint8_t> copy = bytes;
        state.ResumeTiming();
        if (!writer.WaitDurable(writer.Hand(path, std::move(copy)), 60s)) state.SkipWithError("not written");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LastTaskWriterWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// A change until its list is on disk: what a job's start or end waits for.
void BM_LastTaskRewrite(benchmark::State& state)
{
    KeptList l;
    for (auto _ : state) {
        l.Change();
        if (l.keeper.Keep().kind != KeepOutcome::Written) state.SkipWithError("not handed");
        if (!l.keeper.WaitDurable(l.keeper.Ticket(), 60s)) state.SkipWithError("not written");
    }
}
BENCHMARK(BM_LastTaskRewrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
