// CRC-32 throughput in memory, one 64 KiB chunk at a time as the runs feed it.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/Crc32.h"

static void BM_CrcUpdate64KiB(benchmark::State& state)
{
    std::vector<std::uint8_t> chunk(65536);
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<std::uint8_t>(i * 31 + 7);
    std::uint32_t crc = kavrin::kCrcInitial;
    for (auto _ : state) {
        crc = kavrin::CrcUpdate(crc, chunk.data(), chunk.size());
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 65536);
}
BENCHMARK(BM_CrcUpdate64KiB);

BENCHMARK_MAIN();
