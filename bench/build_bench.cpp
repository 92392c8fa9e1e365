// tarnwick-db build over a synthetic FS2002 folder of 25,000 airports in about
// 3,000 scenery files (plus twice as many other .bgl files), with a warm file
// cache, against the floor of reading every file of the folder once.
//
// Counters: files_per_s and MB_per_s (listed .bgl files and all bytes of the
// folder per second of build), times_floor (build time over the time to read
// every file once), peak_MB (the build process's peak resident memory),
// databases_MB and peak_over_databases. Targets: times_floor at most 1.5,
// peak_over_databases under 2.
//
// The folder is made once by tarnwick-mkscenery next to this program and kept
// in the temporary folder; TARNWICK_BENCH_FS names another folder to use.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kAirports = 25000;

fs::path BinFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

struct ProcessRun {
    int Status = -1;
    double Seconds = 0;
    long PeakKb = 0;
};

// Runs a program with its output discarded; reports its own peak memory.
ProcessRun Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun run;
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) run.Status = WEXITSTATUS(status);
        run.PeakKb = usage.ru_maxrss;
    }
    run.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

struct Folder {
    fs::path Path;
    std::vector<fs::path> Files;  // every regular file, as cat would be given them
    std::int64_t Bytes = 0;
    std::int64_t SceneryListed = 0;  // *.bgl files
};

const Folder* SyntheticFolder() {
    static const Folder* folder = []() -> const Folder* {
        auto* made = new Folder;
        const char* given = std::getenv("TARNWICK_BENCH_FS");
        made->Path = given ? fs::path(given)
                           : fs::temp_directory_path() / ("tarnwick-bench-fs-" + std::to_string(kAirports));
        const fs::path complete = made->Path / ".complete";
        if (!given && !fs::exists(complete)) {
            fs::remove_all(made->Path);
            const ProcessRun run = Run({(BinFolder() / "tarnwick-mkscenery").string(), made->Path.string(),
                                        "--synthetic", std::to_string(kAirports), "--seed", "1"});
            if (run.Status != 0) return nullptr;
            tarnwick::WriteFileAtomically(complete, {});
        }
        for (const auto& entry : fs::recursive_directory_iterator(made->Path)) {
            if (!entry.is_regular_file()) continue;
            made->Files.push_back(entry.path());
            made->Bytes += static_cast<std::int64_t>(entry.file_size());
            if (tarnwick::UpperAscii(entry.path().extension().string()) == ".BGL") ++made->SceneryListed;
        }
        return made;
    }();
    return folder;
}

// Reads every file of the folder once, as `cat` of all of them would.
double ReadEveryFile(const Folder& folder) {
    static std::vector<char> buffer(1 << 20);
    const auto start = Clock::now();
    for (const fs::path& file : folder.Files) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        if (fd < 0) continue;
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double FloorSeconds(const Folder& folder) {
    static const double floor = [&] {
        ReadEveryFile(folder);  // warms the cache
        double best = 1e9;
        for (int i = 0; i < 5; ++i) best = std::min(best, ReadEveryFile(folder));
        return best;
    }();
    return floor;
}

void BM_ReadEveryFileOnce(benchmark::State& state) {
    const Folder* folder = SyntheticFolder();
    if (!folder) return state.SkipWithError("tarnwick-mkscenery could not make the synthetic folder");
    ReadEveryFile(*folder);
    for (auto _ : state) state.SetIterationTime(ReadEveryFile(*folder));
    state.SetBytesProcessed(state.iterations() * folder->Bytes);
    state.counters["files"] = static_cast<double>(folder->Files.size());
}
BENCHMARK(BM_ReadEveryFileOnce)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TarnwickDbBuild(benchmark::State& state) {
    const Folder* folder = SyntheticFolder();
    if (!folder) return state.SkipWithError("tarnwick-mkscenery could not make the synthetic folder");
    const double floor = FloorSeconds(*folder);
    const fs::path work = fs::temp_directory_path() / ("tarnwick-bench-work-" + std::to_string(::getpid()));
    fs::create_directories(work);
    const std::string tool = (BinFolder() / "tarnwick-db").string();

    double total = 0;
    long peakKb = 0;
    for (auto _ : state) {
        const ProcessRun run = Run({tool, "build", folder->Path.string(), work.string()});
        if (run.Status != 0) {
            state.SkipWithError("tarnwick-db build failed");
            break;
        }
        state.SetIterationTime(run.Seconds);
        total += run.Seconds;
        peakKb = std::max(peakKb, run.PeakKb);
    }
    const double databases = static_cast<double>(fs::file_size(work / "world_airports.dat") +
                                                 fs::file_size(work / "world_airspaces.dat"));
    fs::remove_all(work);
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["files_per_s"] = static_cast<double>(folder->SceneryListed) / mean;
    state.counters["MB_per_s"] = static_cast<double>(folder->Bytes) / 1e6 / mean;
    state.counters["floor_ms"] = floor * 1000;
    state.counters["times_floor"] = mean / floor;
    state.counters["peak_MB"] = static_cast<double>(peakKb) * 1024 / 1e6;
    state.counters["databases_MB"] = databases / 1e6;
    state.counters["peak_over_databases"] = static_cast<double>(peakKb) * 1024 / databases;
}
BENCHMARK(BM_TarnwickDbBuild)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
