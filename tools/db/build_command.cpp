// tarnwick-db build: the first-run path without windows, through the same
// build steps as the builder window, so that the files come out identical.
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "base/ansi.h"
#include "base/command_line.h"
#include "base/file_system.h"
#include "commands.h"
#include "scenery/database_build.h"
#include "scenery/fs_folder.h"
#include "state/program_state.h"
#include "state/settings_writes.h"
#include "state/work_folder.h"

namespace tarnwick::tools {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Duration(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

// Progress on standard error: a redrawn bar on a terminal, a line per tenth
// of the files otherwise.
class ProgressReport {
   public:
    explicit ProgressReport(std::int64_t total) : total_(total), terminal_(::isatty(fileno(stderr)) != 0) {}

    void Update(std::int64_t done, bool last = false) {
        const auto now = Clock::now();
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        if (terminal_) {
            if (!last && now - shown_ < std::chrono::milliseconds(100)) return;
            shown_ = now;
            const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
            const double fraction =
                total_ > 0 ? std::min(1.0, static_cast<double>(done) / static_cast<double>(total_)) : 1.0;
            constexpr int kWidth = 30;
            const int filled = static_cast<int>(fraction * kWidth);
            std::string bar(static_cast<std::size_t>(filled), '#');
            bar.append(static_cast<std::size_t>(kWidth - filled), '.');
            const std::string left =
                rate > 0 && done < total_ ? Duration(static_cast<double>(total_ - done) / rate) : "0:00";
            std::fprintf(stderr, "\r[%s] %lld/%lld files  %.0f files/s  %s left ", bar.c_str(),
                         static_cast<long long>(done), static_cast<long long>(total_), rate, left.c_str());
            if (last) std::fputc('\n', stderr);
        } else {
            const std::int64_t tenth = total_ > 0 ? done * 10 / total_ : 10;
            if (tenth <= shownTenth_ && !(last && done != shownDone_)) return;
            shownTenth_ = tenth;
            shownDone_ = done;
            std::fprintf(stderr, "scanned %lld of %lld files (%.1f s)\n", static_cast<long long>(done),
                         static_cast<long long>(total_), elapsed);
        }
        std::fflush(stderr);
    }

   private:
    std::int64_t total_;
    bool terminal_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point shown_{};
    std::int64_t shownTenth_ = 0;
    std::int64_t shownDone_ = -1;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "tarnwick-db build: %s\n", message.c_str());
    return 1;
}

void PrintSummary(const SettingsState& settings, const BuildSummary& summary, double seconds) {
    std::printf("areas:     %d used, %d skipped (no folder)\n", summary.AreasUsed, summary.AreasSkipped);
    for (const SkippedArea& area : summary.SkippedAreas)
        std::printf("  skipped area %s\n", DescribeSkippedArea(area).c_str());
    std::printf("files:     %lld listed, %lld scanned, %lld accepted, %lld malformed\n",
                static_cast<long long>(summary.FilesCounted), static_cast<long long>(summary.FilesScanned),
                static_cast<long long>(summary.FilesAccepted),
                static_cast<long long>(summary.MalformedCount));
    for (const SkippedSceneryFile& file : summary.Malformed) {
        std::printf("  skipped %s: %s\n", file.Path.c_str(), file.Reason.c_str());
    }
    if (summary.MalformedCount > static_cast<std::int64_t>(summary.Malformed.size())) {
        std::printf("  ... and %lld more\n",
                    static_cast<long long>(summary.MalformedCount -
                                           static_cast<std::int64_t>(summary.Malformed.size())));
    }
    std::printf("airports:  %d\n", settings.AirportCount);
    std::printf("airspaces: %d\n", settings.AirspaceCount);
    std::printf("elapsed:   %.2f s (%.1f MB of scenery read)\n", seconds,
                static_cast<double>(summary.BytesRead) / 1e6);
}

}  // namespace

int RunBuild(const Arguments& args) {
    if (args.empty() || args.size() > 2) {
        throw UsageError("build takes FS_FOLDER [WORK_FOLDER]");
    }
    const auto start = Clock::now();
    const fs::path current = fs::current_path();
    const std::string& fsFolder = args[0];
    const std::string work = args.size() > 1 ? args[1] : current.string();

    std::error_code error;
    if (!fs::is_directory(work, error)) return Fail("the work folder " + work + " is not a folder");
    if (!HoldsFs2002Exe(fsFolder, current))
        return Fail(fsFolder + " is not an FS2002 main folder: it has no FS2002.EXE");
    const std::optional<std::string> ansiFolder = Utf8ToAnsi(fsFolder);
    if (!ansiFolder)
        return Fail("the path " + fsFolder + " has characters the settings file cannot hold (Windows-1252)");
    // The settings keep the folder as given, and every later start reads a
    // relative one from the work folder, as the program always has.
    if (!HoldsFs2002Exe(fsFolder, WorkFolderPath(WorkFolderFrom(work)))) {
        std::fprintf(stderr,
                     "tarnwick-db build: note: %s is stored as given; from the work folder %s, where the "
                     "program and the other commands look for it, it names no FS2002 folder. Give an "
                     "absolute path to build a work folder they can use.\n",
                     fsFolder.c_str(), work.c_str());
    }

    ProgramState state;
    SettingsState& settings = state.Settings;
    settings.WorkFolder = WorkFolderFrom(work);
    settings.RebuildPending = true;
    const fs::path settingsFile = WorkFile(settings.WorkFolder, kSettingsFileName);
    // As on the first-run path, the old files go first: settings written
    // beside old databases would be taken for a finished build if this one
    // were cut short. A fresh settings file also keeps an older, longer
    // record's tail out of it (setup writes over the start of the file).
    if (!RemoveEntriesNoCase(WorkFolderPath(settings.WorkFolder), kSettingsFileName) ||
        !RemoveDatabaseFiles(settings.WorkFolder)) {
        return Fail("the old files in " + work + " cannot be removed");
    }
    try {
        WriteSetupSettings(settings, *ansiFolder, true);
    } catch (const FileError& failure) {
        return Fail(failure.what());
    }

    // The simulator folder is stored as given; a relative one is taken from
    // where the command runs, as it was checked.
    DatabaseBuild build(settings, *state.Declination, current);
    try {
        build.Prepare();
        ProgressReport progress(build.Summary().FilesCounted);
        while (build.Step() != BuildStep::ScanFinished) progress.Update(build.ProgressValue());
        progress.Update(build.ProgressValue(), true);
        build.Finish();
    } catch (const BuildError& failure) {
        // As after a failed first run: without databases the next start runs setup again.
        fs::remove(settingsFile, error);
        return Fail(std::string(failure.what()) + " No database files were written.");
    }
    PrintSummary(settings, build.Summary(), std::chrono::duration<double>(Clock::now() - start).count());
    return 0;
}

}  // namespace tarnwick::tools
