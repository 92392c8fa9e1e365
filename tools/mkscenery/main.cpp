// tarnwick-mkscenery: writes a simulator folder to build databases from, either
// the Seattle demo region or synthetic worldwide scenery for benchmarks.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "scenery_kit/demo_folder.h"
#include "scenery_kit/synthetic_world.h"

namespace {

namespace fs = std::filesystem;

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: tarnwick-mkscenery OUT_FOLDER [--synthetic N [--seed S]] [--data DIR]\n\n"
                 "Writes an FS2002-like folder (FS2002.EXE, SCENERY.CFG, Scenery/magdec.bgl and\n"
                 "scenery .bgl files). Without --synthetic: the Seattle demo region. With it: N\n"
                 "synthetic airports worldwide in many files (default seed 1).\n"
                 "--data DIR reads WMM2025.COF and demo/seattle.json from DIR instead of\n"
                 "%s.\n",
                 TARNWICK_DATA_DIR);
}

bool ParseCount(const std::string& text, unsigned long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18)
        return false;
    value = std::stoull(text);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string outFolder;
    fs::path dataDir = TARNWICK_DATA_DIR;
    bool synthetic = false;
    unsigned long long airports = 0, seed = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--synthetic" && hasValue && ParseCount(args[i + 1], airports) && airports > 0) {
            synthetic = true;
            ++i;
        } else if (arg == "--seed" && hasValue && ParseCount(args[i + 1], seed)) {
            ++i;
        } else if (arg == "--data" && hasValue) {
            dataDir = args[++i];
        } else if (arg == "-h" || arg == "--help") {
            PrintUsage();
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && outFolder.empty()) {
            outFolder = arg;
        } else {
            std::fprintf(stderr, "tarnwick-mkscenery: unexpected or incomplete argument '%s'\n", arg.c_str());
            PrintUsage();
            return 2;
        }
    }
    if (outFolder.empty()) {
        PrintUsage();
        return 2;
    }

    try {
        const auto start = std::chrono::steady_clock::now();
        fs::create_directories(outFolder);
        tarnwick::mkscenery::FolderWriter out(outFolder);
        const auto summary = synthetic
                                 ? tarnwick::mkscenery::WriteSyntheticFolder(out, dataDir, airports, seed)
                                 : tarnwick::mkscenery::WriteDemoFolder(out, dataDir);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(
            "%s: %zu airports and %zu airspaces in %zu scenery files, %zu other .bgl files; "
            "%zu files, %.1f MB in %.1f s\n",
            outFolder.c_str(), summary.Airports, summary.Airspaces, summary.AirportFiles, summary.OtherFiles,
            out.FilesWritten(), static_cast<double>(out.BytesWritten()) / 1e6, seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnwick-mkscenery: %s\n", error.what());
        return 1;
    }
}
