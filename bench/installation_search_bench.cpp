// The search for FS2002 in a Wine prefix of 100,000 files, as the setup window
// and tarnwick-db installations run it: a registry of 4 MB that does not name
// the simulator (so drive_c is searched), and drive_c holding 100,000 files in
// 2,000 folders three deep plus folders deeper than the search goes, with
// FS2002 in its usual folder. Warm file cache (the folder is made once and
// kept in the temporary folder; TARNWICK_BENCH_PREFIX names another prefix).
//
// Counters: entries_per_s (folder entries looked at per second), found (1),
// longest_step_ms (the longest Advance of the setup window's 256 entries:
// what one look at the clock can hold the window up by). Targets: the whole
// search under 1 s; longest_step_ms under the window's 20 ms slice.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scenery/fs_installations.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 100000;

void WriteEmpty(const fs::path& file) { std::ofstream(file, std::ios::binary); }

// A system.reg of about 4 MB of keys and values, none of them the simulator's.
void WriteRegistry(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";
    for (int key = 0; key < 30000; ++key) {
        out << "[Software\\\\Classes\\\\CLSID\\\\{" << key << "-0000-0000-C000-000000000046}] 1700000000\n"
            << "#time=1da0000000000\n@=\"Filler " << key << "\"\n\"ThreadingModel\"=\"Both\"\n\n";
    }
}

fs::path MakePrefix() {
    if (const char* given = std::getenv("TARNWICK_BENCH_PREFIX")) return given;
    const fs::path prefix = fs::temp_directory_path() / ("tarnwick-bench-prefix-" + std::to_string(kFiles));
    if (fs::exists(prefix / "complete")) return prefix;
    fs::remove_all(prefix);
    const fs::path drive = prefix / "drive_c";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    WriteRegistry(prefix / "system.reg");
    int files = 0;
    for (int a = 0; a < 20; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                const fs::path folder = drive / ("folder" + std::to_string(a)) / ("sub" + std::to_string(b)) /
                                        ("leaf" + std::to_string(c));
                fs::create_directories(folder);
                for (int f = 0; f < kFiles / 2000; ++f, ++files)
                    WriteEmpty(folder / ("file" + std::to_string(f) + ".dll"));
            }
        }
    }
    // Below the search's depth: never looked at.
    fs::create_directories(drive / "a/b/c/d/e/f/g/h");
    const fs::path simulator = drive / "Program Files" / "Microsoft Games" / "FS2002";
    fs::create_directories(simulator);
    WriteEmpty(simulator / "FS2002.EXE");
    WriteEmpty(prefix / "complete");
    return prefix;
}

void BM_InstallationSearch(benchmark::State& state) {
    const fs::path prefix = MakePrefix();
    std::size_t entries = 0;
    std::size_t found = 0;
    double longestStepMs = 0;
    for (auto _ : state) {
        tarnwick::InstallationSearch search(std::vector<fs::path>{prefix});
        for (bool more = true; more;) {
            const auto start = Clock::now();
            more = search.Advance(256);
            longestStepMs = std::max(longestStepMs,
                                     std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        entries = search.EntriesSeen();
        found = search.Found().size();
    }
    state.counters["entries_per_s"] =
        benchmark::Counter(static_cast<double>(entries), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["found"] = static_cast<double>(found);
    state.counters["longest_step_ms"] = longestStepMs;
}
BENCHMARK(BM_InstallationSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
