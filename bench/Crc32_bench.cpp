// CRC-32 throughput in memory, one 64 KiB chunk at a time as the runs feed it: every path this
// processor offers, CrcUpdate as the program calls it, and zlib's crc32() as the reference.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/Crc32.h"
#include "engine/CrcPaths.h"

#if defined(KAVRIN_BENCH_ZLIB)
#include <zlib.h>
#endif

namespace {

constexpr std::size_t kChunk = 65536;

const std::vector<std::uint8_t>& Chunk()
{
    static const std::vector<std::uint8_t> chunk = [] {
        std::vector<std::uint8_t> bytes(kChunk);
        std::uint32_t seed = 12345;
        for (auto& b : bytes) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(seed >> 24);
        }
        return bytes;
    }();
    return chunk;
}

// Decimal gigabytes per second, beside Google Benchmark's binary bytes_per_second.
void Report(benchmark::State& state)
{
    const double bytes = static_cast<double>(state.iterations()) * kChunk;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["GB/s"] = benchmark::Counter(bytes / 1e9, benchmark::Counter::kIsRate);
}

void BM_Path(benchmark::State& state, kavrin::CrcPath path)
{
    const auto& chunk = Chunk();
    std::uint32_t crc = kavrin::kCrcInitial;
    for (auto _ : state) {
        crc = kavrin::CrcUpdateOn(path, crc, chunk.data(), chunk.size());
        benchmark::DoNotOptimize(crc);
    }
    Report(state);
}

void BM_CrcUpdate(benchmark::State& state)
{
    const auto& chunk = Chunk();
    std::uint32_t crc = kavrin::kCrcInitial;
    for (auto _ : state) {
        crc = kavrin::CrcUpdate(crc, chunk.data(), chunk.size());
        benchmark::DoNotOptimize(crc);
    }
    Report(state);
}

#if defined(KAVRIN_BENCH_ZLIB)
void BM_Zlib(benchmark::State& state)
{
    const auto& chunk = Chunk();
    uLong crc = crc32(0L, Z_NULL, 0);
    for (auto _ : state) {
        crc = crc32(crc, chunk.data(), static_cast<uInt>(chunk.size()));
        benchmark::DoNotOptimize(crc);
    }
    Report(state);
}
#endif

} // namespace

int main(int argc, char** argv)
{
    for (kavrin::CrcPath path : kavrin::AvailableCrcPaths())
        benchmark::RegisterBenchmark((std::string("crc/") + kavrin::CrcPathName(path) + "/64KiB").c_str(), BM_Path,
                                     path);
    benchmark::RegisterBenchmark((std::string("crc/CrcUpdate(") + kavrin::CrcPathName(kavrin::ActiveCrcPath()) +
                                  ")/64KiB").c_str(),
                                 BM_CrcUpdate);
#if defined(KAVRIN_BENCH_ZLIB)
    benchmark::RegisterBenchmark((std::string("crc/zlib-") + zlibVersion() + "/64KiB").c_str(), BM_Zlib);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
