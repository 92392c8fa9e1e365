#pragma once
// The whole database build as a machine of small steps, shared by the builder
// window (which runs steps from its timer) and the headless tool: prepare
// (declination grid, scenery configuration, file count), one step per listed
// scenery file or finished area, then finish (both databases and the settings).
//
// The records of each scenery file go to the database files (under temporary
// names) as soon as the file is read, so memory stays at one file's worth
// whatever the size of the world while the counts grow. The files get their
// real names in Finish.
//
// The build may be cut short at any moment (killed, a full disk, the window
// closed), and the next start must never take what it left for a finished
// build. So the old databases go before anything is scanned, and a finished
// build completes the set of three program files with its very last step,
// the airspaces database's rename, after the settings hold the counts.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "geo/declination_grid.h"
#include "scenery/scenery_config.h"
#include "scenery/scenery_sink.h"
#include "scenery/streamed_file.h"
#include "state/settings_state.h"

namespace tarnwick {

// A failure the user must hear about; the text names the file and what is
// wrong with it. No database has been written when it is thrown.
class BuildError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// Status texts shown while preparing and finishing.
inline constexpr const char* kStatusMagdec = "Magdec.bgl File";
inline constexpr const char* kStatusSceneryCfg = "Scenery.cfg File";
inline constexpr const char* kStatusDone = "Done";
inline constexpr const char* kStatusAirports = "Creating airports database";
inline constexpr const char* kStatusAirspaces = "Creating airspaces database";
inline constexpr const char* kStatusSettings = "Updating Settings";

struct SkippedSceneryFile {
    std::string Path;    // the real path, UTF-8
    std::string Reason;  // why the file was refused
};

struct BuildSummary {
    std::int32_t AreasUsed = 0;             // areas whose folder was found
    std::int32_t AreasSkipped = 0;          // areas without a folder
    std::vector<SkippedArea> SkippedAreas;  // each of them, in file order
    std::int64_t FilesCounted = 0;          // the progress bar's N
    std::int64_t FilesScanned = 0;          // listed files visited by the scan
    std::int64_t FilesAccepted = 0;         // of those, files with the scenery marker
    std::int64_t BytesRead = 0;             // bytes of accepted files read
    std::int64_t MalformedCount = 0;
    std::vector<SkippedSceneryFile> Malformed;  // the first kMalformedKept of them
};

inline constexpr std::size_t kMalformedKept = 5;

enum class PrepareResult { Waiting, Ready };
enum class BuildStep { AreaSkipped, AreaDone, FileScanned, ScanFinished };

class SceneryBuffer;

class DatabaseBuild : private ScenerySink {
   public:
    using StatusListener = std::function<void(const std::string& ansiText)>;

    // `baseFolder` is the folder against which relative folders of the
    // settings and the scenery configuration are resolved (the work folder).
    // Prepare loads `grid`; the counts go to `settings`.
    DatabaseBuild(SettingsState& settings, DeclinationGrid& grid, std::filesystem::path baseFolder);

    // Called with every status text (ANSI), as the builder's status line shows it.
    void SetStatusListener(StatusListener listener) { status_ = std::move(listener); }

    // Loads the declination grid; then, while a rebuild is pending, removes
    // the old databases, reads the scenery configuration, resolves the area
    // folders, counts the files and opens the database files under their
    // temporary names. Waiting when no rebuild is pending. Throws BuildError
    // when the declination file or the scenery configuration cannot be used,
    // or the work folder not written.
    PrepareResult Prepare();

    // One step of the scan: an area without folder skipped, an area's listing
    // ended, or one listed file read (and parsed when it is a scenery file).
    // ScanFinished once every area is done; then call Finish. Throws
    // BuildError when the database files cannot be written.
    BuildStep Step();
    bool ScanFinished() const { return currentArea_ >= areas_.AreaCount; }

    // Writes both databases and the settings (counts kept) and clears
    // RebuildPending. Throws BuildError; whatever it
    // wrote is removed again so that the next start builds afresh.
    void Finish();

    std::int64_t ProgressMax() const { return summary_.FilesCounted + 1; }
    std::int64_t ProgressValue() const { return progress_; }
    const BuildSummary& Summary() const { return summary_; }
    const SceneryAreaTable& Areas() const { return areas_; }
    const std::string& CurrentFolder() const { return currentFolder_; }
    const std::string& CurrentFile() const { return currentFile_; }

   private:
    void Status(const std::string& text);
    void ScanFile(const std::filesystem::path& path);
    void NoteMalformed(const std::filesystem::path& path, std::string reason);
    void ParseIntoDatabases(const SceneryBuffer& buffer, const std::filesystem::path& path);
    void Accept(std::span<const AirportRecord> airports, std::span<const AirspaceRecord> airspaces) override;

    SettingsState& settings_;
    DeclinationGrid& grid_;
    std::filesystem::path baseFolder_;
    StatusListener status_;

    SceneryAreaTable areas_;
    std::int16_t currentArea_ = 0;
    std::string currentFolder_;
    std::string currentFile_;
    std::vector<std::string> listing_;
    std::size_t nextName_ = 0;
    std::int64_t progress_ = 0;
    BuildSummary summary_;
    std::unique_ptr<StreamedFile> airportsOut_;
    std::unique_ptr<StreamedFile> airspacesOut_;
};

// The completion message, followed by the refused files when there were any.
std::string CompletionMessage(const BuildSummary& summary);

// One skipped area for the user (UTF-8): its title, its folder as written and
// why no folder was found.
std::string DescribeSkippedArea(const SkippedArea& area);

// Removes both databases of the work folder (their names in any case) and
// the pieces an interrupted build left of them. False when one of them stays.
bool RemoveDatabaseFiles(const std::string& workFolder);

}  // namespace tarnwick
