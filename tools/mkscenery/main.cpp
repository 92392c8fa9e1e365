// tarnwick-mkscenery: writes a simulator folder to build databases from, either
// the Seattle demo region or synthetic worldwide scenery for benchmarks.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/program_folders.h"
#include "base/program_version.h"
#include "scenery_kit/demo_folder.h"
#include "scenery_kit/synthetic_world.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kHelp =
    "Usage: tarnwick-mkscenery OUT_FOLDER [--synthetic N [--seed S]] [--data DIR]\n"
    "Writes an FS2002-like folder to build Tarnwick's databases from: FS2002.EXE, SCENERY.CFG,\n"
    "Scenery/magdec.bgl (from the World Magnetic Model at 1 January 2026) and scenery .bgl files.\n"
    "Without --synthetic: the Seattle demo region.\n"
    "\n"
    "Options:\n"
    "  --synthetic N  N synthetic airports worldwide in many files instead of the demo region\n"
    "  --seed S       the seed of the synthetic airports (default 1; the same output for the same\n"
    "                 N and S)\n"
    "  --data DIR     read WMM2025.COF and demo/seattle.json from DIR instead of the data installed\n"
    "                 with the program (../share/tarnwick beside this executable's folder)\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  the folder was written\n"
    "  1  the data could not be read or the folder could not be written\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick-mkscenery demo/FS2002 && tarnwick-db build \"$PWD/demo/FS2002\" demo\n";

bool ParseCount(const std::string& text, unsigned long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18)
        return false;
    value = std::stoull(text);
    return true;
}

int Run(const std::vector<std::string>& args) {
    std::string outFolder;
    fs::path dataDir = tarnwick::ShippedDataFolder(tarnwick::ExecutableFolder());
    bool synthetic = false;
    unsigned long long airports = 0, seed = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--synthetic") {
            if (!ParseCount(tarnwick::OptionValue(args, i), airports) || airports == 0)
                throw tarnwick::UsageError("--synthetic takes a number of airports above 0");
            synthetic = true;
        } else if (arg == "--seed") {
            if (!ParseCount(tarnwick::OptionValue(args, i), seed))
                throw tarnwick::UsageError("--seed takes a whole number");
        } else if (arg == "--data") {
            dataDir = tarnwick::OptionValue(args, i);
        } else if (!arg.empty() && arg[0] != '-' && outFolder.empty()) {
            outFolder = arg;
        } else {
            throw tarnwick::UsageError("unexpected argument '" + arg + "'");
        }
    }
    if (outFolder.empty()) throw tarnwick::UsageError("no OUT_FOLDER");
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

}  // namespace

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-mkscenery", kHelp, tarnwick::kProgramVersion,
                                       tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, Run);
}
