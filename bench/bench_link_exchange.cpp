// The host-side cost of the link protocol, without any device: job data cut
// into 1400-byte chunks, frames built for commands, codes through the queue.
#include <benchmark/benchmark.h>

#include <vector>

#include "link/KeyQueue.h"
#include "link/LinkFrame.h"
#include "link/LinkPort.h"
#include "link/LinkProtocol.h"

namespace {

// Takes every write and answers every read with status 3 (Plotting).
class NullPort final : public CLinkPort {
public:
    int Begin() override { return 0; }
    int WriteFrame(const uint8_t*, int n) override { return n; }
    int WriteData(const uint8_t* b, int n) override
    {
        benchmark::DoNotOptimize(b);
        return n;
    }
    int ReadReply(uint8_t* reply, int want, int) override
    {
        for (int i = 0; i < want; ++i) reply[i] = 3;
        return want;
    }
    void End(bool) override {}
    bool ChunkedData() const override { return true; }
};

void BM_ChunkedJobData(benchmark::State& state)
{
    NullPort port;
    std::vector<uint8_t> band(static_cast<size_t>(state.range(0)), 0x5A);
    for (auto _ : state) benchmark::DoNotOptimize(ExchangeData(port, band.data(), static_cast<int>(band.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ChunkedJobData)->Arg(1401)->Arg(64 << 10)->Arg(1 << 20);

void BM_BandHeaderExchange(benchmark::State& state)
{
    NullPort port;
    uint8_t payload[6] = {7, 0, 0, 0, 1, 1};
    uint8_t reply[1];
    for (auto _ : state) benchmark::DoNotOptimize(ExchangeCommand(port, 17, 6, payload, 1, reply));
}
BENCHMARK(BM_BandHeaderExchange);

void BM_KeyQueuePushPop(benchmark::State& state)
{
    CKeyQueue q;
    for (auto _ : state) {
        q.Push(3);
        benchmark::DoNotOptimize(q.Pop());
    }
}
BENCHMARK(BM_KeyQueuePushPop);

}  // namespace
