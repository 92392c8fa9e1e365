#include "scenery/database_build.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

#include "app/settings_writes.h"
#include "app/work_folder.h"
#include "base/ansi.h"
#include "base/file_system.h"
#include "base/rounding.h"
#include "scenery/database_file.h"
#include "scenery/magdec_file.h"
#include "scenery/record_table.h"
#include "scenery/scenery_buffer.h"
#include "scenery/scenery_file.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHeaderBytes = static_cast<std::size_t>(kSceneryMarkerOffset) + 4;

// Closes the file on every way out of a read.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool HasMarker(const std::uint8_t* header) {
    const std::uint8_t* p = header + kSceneryMarkerOffset;
    const std::uint32_t value = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                (static_cast<std::uint32_t>(p[2]) << 16) |
                                (static_cast<std::uint32_t>(p[3]) << 24);
    return value == kSceneryMarker;
}

// Leaves each world table with its one empty slot, releasing the records.
void ReleaseTables(ProgramState& state) {
    ShrinkTable(state.WorldAirports, 0);
    ShrinkTable(state.WorldAirspaces, 0);
}

// Returns the tables to `airports` and `airspaces` entries (plus the empty slot).
void RollBackTables(ProgramState& state, std::int32_t airports, std::int32_t airspaces) {
    ShrinkTable(state.WorldAirports, static_cast<std::size_t>(airports));
    state.AirportCount = airports;
    ShrinkTable(state.WorldAirspaces, static_cast<std::size_t>(airspaces));
    state.AirspaceCount = airspaces;
}

// A listed name as ANSI text where it has one, otherwise its bytes as they are.
std::string Utf8ToAnsiOrKeep(const std::string& name) { return Utf8ToAnsi(name).value_or(name); }

}  // namespace

DatabaseBuild::DatabaseBuild(ProgramState& state, fs::path baseFolder)
    : state_(state), baseFolder_(std::move(baseFolder)) {}

void DatabaseBuild::Status(const std::string& text) {
    if (status_) status_(text);
}

PrepareResult DatabaseBuild::Prepare() {
    Status(kStatusMagdec);
    const DeclinationLoadResult declination =
        LoadDeclination(MagdecPathFor(state_.FsFolder), *state_.Declination);
    if (!declination.Ok) throw BuildError(declination.Problem);
    if (!state_.RebuildPending) return PrepareResult::Waiting;

    areas_ = SceneryAreaTable{};
    if (state_.FsVersion == 1) {
        Status(kStatusSceneryCfg);
        const fs::path config = SceneryConfigPathFor(state_.FsFolder, baseFolder_);
        std::error_code error;
        if (!fs::exists(config, error)) {
            throw BuildError("The scenery configuration " + config.string() + " is missing.");
        }
        try {
            areas_ = ReadSceneryConfig(config);
        } catch (const FileError& failure) {
            throw BuildError("The scenery configuration " + config.string() + " cannot be read (" +
                             failure.what() + ").");
        }
        ResolveAreaFolders(areas_, state_.FsFolder, baseFolder_);
    }

    summary_ = BuildSummary{};
    for (std::int32_t i = 0; i < areas_.AreaCount; ++i) {
        const SceneryArea& area = areas_.Areas[static_cast<std::size_t>(i)];
        if (area.Local.empty()) {
            ++summary_.AreasSkipped;
            continue;
        }
        ++summary_.AreasUsed;
        summary_.FilesCounted += static_cast<std::int64_t>(ListSceneryFiles(area.LocalPath).size());
    }
    try {
        airportsOut_.reset();
        airspacesOut_.reset();
        airportsOut_ = std::make_unique<StreamedFile>(WorkFile(state_.WorkFolder, kAirportsFileName));
        airspacesOut_ = std::make_unique<StreamedFile>(WorkFile(state_.WorkFolder, kAirspacesFileName));
    } catch (const FileError& failure) {
        airportsOut_.reset();
        throw BuildError(std::string("The database files cannot be created: ") + failure.what() + ".");
    }
    // The build starts from empty world tables, as the first-run path leaves them.
    state_.AirportCount = 0;
    state_.AirspaceCount = 0;
    ReleaseTables(state_);
    currentArea_ = 0;
    currentFolder_.clear();
    currentFile_.clear();
    listing_.clear();
    nextName_ = 0;
    progress_ = 0;
    Status(kStatusDone);
    return PrepareResult::Ready;
}

BuildStep DatabaseBuild::Step() {
    if (ScanFinished()) return BuildStep::ScanFinished;
    const SceneryArea& area = areas_.Areas[static_cast<std::size_t>(currentArea_)];
    if (area.Local.empty()) {
        ++currentArea_;
        return BuildStep::AreaSkipped;
    }
    Status(area.Title);
    // A listing runs on while the next area names the same folder, so two
    // areas on one folder scan its files once.
    if (area.Local != currentFolder_) {
        currentFolder_ = area.Local;
        listing_ = ListSceneryFiles(area.LocalPath);
        nextName_ = 0;
    }
    if (nextName_ >= listing_.size()) {
        ++currentArea_;
        return BuildStep::AreaDone;
    }
    const std::string& name = listing_[nextName_++];
    currentFile_ = LCaseAnsi(currentFolder_ + "\\" + Utf8ToAnsiOrKeep(name));
    ScanFile(area.LocalPath / name);
    ++progress_;
    ++summary_.FilesScanned;
    return BuildStep::FileScanned;
}

void DatabaseBuild::NoteMalformed(const fs::path& path, std::string reason) {
    ++summary_.MalformedCount;
    if (summary_.Malformed.size() < kMalformedKept)
        summary_.Malformed.push_back({path.string(), std::move(reason)});
}

void DatabaseBuild::ScanFile(const fs::path& path) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        NoteMalformed(path, std::string("cannot be opened: ") + std::strerror(errno));
        return;
    }
    struct stat info {};
    if (::fstat(fileno(file.get()), &info) != 0) {
        NoteMalformed(path, std::string("cannot be read: ") + std::strerror(errno));
        return;
    }

    // Only the marker is read from files that are not scenery files, which
    // are most of the listed ones (terrain, textures in .bgl form).
    std::vector<std::uint8_t> bytes(kHeaderBytes);
    if (std::fread(bytes.data(), 1, kHeaderBytes, file.get()) != kHeaderBytes || !HasMarker(bytes.data())) {
        if (std::ferror(file.get()))
            NoteMalformed(path, std::string("cannot be read: ") + std::strerror(errno));
        return;
    }
    ++summary_.FilesAccepted;

    // Room for the whole file and the buffer's spare byte, so that the bytes
    // are never moved once read.
    const auto expected = std::max<std::size_t>(static_cast<std::size_t>(info.st_size), kHeaderBytes);
    bytes.reserve(expected + 1);
    bytes.resize(expected);
    std::size_t size = kHeaderBytes;
    for (;;) {
        size += std::fread(bytes.data() + size, 1, bytes.size() - size, file.get());
        if (size < bytes.size()) break;           // the end of the file, or an error
        const int next = std::fgetc(file.get());  // the file may have grown since its size was taken
        if (next == EOF) break;
        bytes.resize(size + (1 << 16));
        bytes[size++] = static_cast<std::uint8_t>(next);
    }
    if (std::ferror(file.get())) {
        NoteMalformed(path, std::string("cannot be read: ") + std::strerror(errno));
        return;
    }
    bytes.resize(size);
    file.reset();
    summary_.BytesRead += static_cast<std::int64_t>(size);

    ParseIntoDatabases(SceneryBuffer(std::move(bytes), path.string()), path);
}

void DatabaseBuild::ParseIntoDatabases(const SceneryBuffer& buffer, const fs::path& path) {
    // The file is parsed into empty tables, and what it adds goes to the
    // database files at once.
    const std::int32_t airportsBefore = state_.AirportCount;
    const std::int32_t airspacesBefore = state_.AirspaceCount;
    state_.AirportCount = 0;
    state_.AirspaceCount = 0;
    try {
        const SceneryFileOutcome outcome = ParseSceneryFile(buffer, state_);
        if (outcome.Malformed) NoteMalformed(path, outcome.Reason);
    } catch (const std::exception& failure) {
        // The parser refuses bad content itself; anything else that escapes
        // still must not leave half a file in the tables.
        RollBackTables(state_, 0, 0);
        NoteMalformed(path, failure.what());
    }
    const std::int32_t airportsAdded = state_.AirportCount;
    const std::int32_t airspacesAdded = state_.AirspaceCount;
    state_.AirportCount = airportsBefore;
    state_.AirspaceCount = airspacesBefore;
    try {
        if (airportsAdded > 0) {
            airportsOut_->Append(EncodeAirports(std::span<const AirportRecord>(
                state_.WorldAirports.data(), static_cast<std::size_t>(airportsAdded))));
        }
        if (airspacesAdded > 0) {
            airspacesOut_->Append(EncodeAirspaces(std::span<const AirspaceRecord>(
                state_.WorldAirspaces.data(), static_cast<std::size_t>(airspacesAdded))));
        }
        state_.AirportCount = CheckedI32(std::int64_t{airportsBefore} + airportsAdded);
        state_.AirspaceCount = CheckedI32(std::int64_t{airspacesBefore} + airspacesAdded);
    } catch (const FileError& failure) {
        throw BuildError(std::string("The database files could not be written: ") + failure.what() + ".");
    } catch (const OverflowError&) {
        throw BuildError("The scenery holds more airports or airspaces than the database files can count.");
    }
    ReleaseTables(state_);
}

void DatabaseBuild::Finish() {
    std::vector<fs::path> committed;
    try {
        if (!airportsOut_ || !airspacesOut_) throw FileError("the scan was not prepared");
        // Each file ends with the tables' empty last slot.
        Status(kStatusAirports);
        airportsOut_->Append(EncodeAirports(std::span<const AirportRecord>(state_.WorldAirports.data(), 1)));
        airportsOut_->Commit();
        committed.push_back(airportsOut_->FinalPath());
        Status(kStatusAirspaces);
        airspacesOut_->Append(
            EncodeAirspaces(std::span<const AirspaceRecord>(state_.WorldAirspaces.data(), 1)));
        airspacesOut_->Commit();
        committed.push_back(airspacesOut_->FinalPath());
        Status(kStatusSettings);
        WriteBuilderSettings(state_);
    } catch (const FileError& failure) {
        // Databases without matching counts in the settings would be read
        // wrongly at the next start; without them, that start builds again.
        airportsOut_.reset();
        airspacesOut_.reset();
        for (const fs::path& file : committed) {
            std::error_code ignored;
            fs::remove(file, ignored);
        }
        throw BuildError(std::string("The database files could not be written: ") + failure.what() + ".");
    }
    airportsOut_.reset();
    airspacesOut_.reset();

    // The choice window reads the files back with the counts kept here.
    ReleaseTables(state_);
    state_.RebuildPending = false;
    progress_ = 0;
    Status(kStatusDone);
}

std::string CompletionMessage(const BuildSummary& summary) {
    std::string text = "The creation process, of the database files, was completed!";
    if (summary.MalformedCount == 0) return text;
    text += "\n\n" + std::to_string(summary.MalformedCount) +
            (summary.MalformedCount == 1 ? " scenery file was" : " scenery files were") +
            " skipped as malformed:";
    for (const SkippedSceneryFile& file : summary.Malformed) text += "\n" + file.Path + ": " + file.Reason;
    const auto named = static_cast<std::int64_t>(summary.Malformed.size());
    if (summary.MalformedCount > named)
        text += "\n... and " + std::to_string(summary.MalformedCount - named) + " more";
    return text;
}

}  // namespace tarnwick
