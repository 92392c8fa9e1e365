// Writing and reading a world-sized airport database, against copying the same
// number of bytes in memory (the floor for any encoder).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>

#include "scenery/database_file.h"
#include "synthetic_database.h"

namespace {

const std::vector<tarnwick::AirportRecord>& Airports() {
    static const auto table = tarnwick::bench::SyntheticAirports(25000);
    return table;
}

std::filesystem::path BenchFile() {
    return std::filesystem::temp_directory_path() / "tarnwick-bench-world_airports.dat";
}

void BM_EncodeAirports(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto encoded = tarnwick::EncodeAirports(Airports());
        bytes = encoded.size();
        benchmark::DoNotOptimize(encoded.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_DecodeAirports(benchmark::State& state) {
    const auto encoded = tarnwick::EncodeAirports(Airports());
    for (auto _ : state) {
        auto result = tarnwick::DecodeAirports(encoded, 25000);
        benchmark::DoNotOptimize(result.Entries.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * encoded.size()));
}

void BM_WriteThenReadFile(benchmark::State& state) {
    const auto size = tarnwick::EncodeAirports(Airports()).size();
    for (auto _ : state) {
        tarnwick::WriteAirportDatabase(BenchFile(), Airports());
        auto result = tarnwick::ReadAirportDatabase(BenchFile(), 25000);
        benchmark::DoNotOptimize(result.Entries.data());
    }
    std::filesystem::remove(BenchFile());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * size));
}

void BM_MemoryCopyFloor(benchmark::State& state) {
    const auto encoded = tarnwick::EncodeAirports(Airports());
    std::vector<std::uint8_t> target(encoded.size());
    for (auto _ : state) {
        std::memcpy(target.data(), encoded.data(), encoded.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * encoded.size()));
}

}  // namespace

BENCHMARK(BM_EncodeAirports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAirports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteThenReadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryCopyFloor)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
