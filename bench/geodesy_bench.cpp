// Geodesy runs many times per redraw; these count operations per second.
#include <benchmark/benchmark.h>

#include "geo/geodesy.h"

namespace {

using namespace tarnwick::geo;

void BM_DistanceNm(benchmark::State& state) {
    double lon = -122.3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DistanceNm(47.449, -122.309, 45.588, lon));
        lon += 1e-9;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DistanceFeet(benchmark::State& state) {
    double lon = -122.3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DistanceFeet(47.449, -122.309, 47.45, lon));
        lon += 1e-9;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MagneticCourse(benchmark::State& state) {
    static const tarnwick::DeclinationGrid grid{};
    double lon = -73.7;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MagneticCourse(grid, 47.449, -122.309, 40.64, lon));
        lon += 1e-9;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DestinationNm(benchmark::State& state) {
    std::int16_t course = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DestinationNm(47.449, -122.309, course, 30));
        course = static_cast<std::int16_t>((course + 1) % 360);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TrueToMagnetic(benchmark::State& state) {
    static const tarnwick::DeclinationGrid grid{};
    double lat = 47.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrueToMagnetic(grid, 164, lat, -122.3));
        lat += 1e-9;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_DistanceNm);
BENCHMARK(BM_DistanceFeet);
BENCHMARK(BM_MagneticCourse);
BENCHMARK(BM_DestinationNm);
BENCHMARK(BM_TrueToMagnetic);
BENCHMARK_MAIN();
