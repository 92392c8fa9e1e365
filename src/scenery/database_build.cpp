#include "scenery/database_build.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

#include "base/ansi.h"
#include "base/file_system.h"
#include "base/rounding.h"
#include "scenery/database_file.h"
#include "scenery/magdec_file.h"
#include "scenery/scenery_buffer.h"
#include "scenery/scenery_file.h"
#include "scenery/scenery_layout.h"
#include "state/settings_writes.h"
#include "state/work_folder.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHeaderBytes = static_cast<std::size_t>(bgl::kMarkerOffset) + 4;

// Closes the file on every way out of a read.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool HasMarker(const std::uint8_t* header) {
    const std::uint8_t* p = header + bgl::kMarkerOffset;
    const std::uint32_t value = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                (static_cast<std::uint32_t>(p[2]) << 16) |
                                (static_cast<std::uint32_t>(p[3]) << 24);
    return value == bgl::kMarker;
}

// A listed name as ANSI text where it has one, otherwise its bytes as they are.
std::string Utf8ToAnsiOrKeep(const std::string& name) { return Utf8ToAnsi(name).value_or(name); }

}  // namespace

DatabaseBuild::DatabaseBuild(SettingsState& settings, DeclinationGrid& grid, fs::path baseFolder)
    : settings_(settings), grid_(grid), baseFolder_(std::move(baseFolder)) {}

void DatabaseBuild::Status(const std::string& text) {
    if (status_) status_(text);
}

PrepareResult DatabaseBuild::Prepare() {
    Status(kStatusMagdec);
    const DeclinationLoadResult declination =
        LoadDeclination(MagdecPathFor(settings_.FsFolder, baseFolder_), grid_);
    if (!declination.Ok) throw BuildError(declination.Problem);
    if (!settings_.RebuildPending) return PrepareResult::Waiting;

    if (!RemoveDatabaseFiles(settings_.WorkFolder)) {
        throw BuildError("The old database files in " + WorkFolderPath(settings_.WorkFolder).string() +
                         " cannot be removed.");
    }
    areas_ = SceneryAreaTable{};
    std::vector<SkippedArea> skipped;
    if (settings_.FsVersion == 1) {
        Status(kStatusSceneryCfg);
        const fs::path config = SceneryConfigPathFor(settings_.FsFolder, baseFolder_);
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
        skipped = ResolveAreaFolders(areas_, settings_.FsFolder, baseFolder_);
    }

    summary_ = BuildSummary{};
    summary_.SkippedAreas = std::move(skipped);
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
        airportsOut_ = std::make_unique<StreamedFile>(WorkFile(settings_.WorkFolder, kAirportsFileName));
        airspacesOut_ = std::make_unique<StreamedFile>(WorkFile(settings_.WorkFolder, kAirspacesFileName));
    } catch (const FileError& failure) {
        airportsOut_.reset();
        throw BuildError(std::string("The database files cannot be created: ") + failure.what() + ".");
    }
    // The build counts from nothing, as the first-run path leaves the tables.
    settings_.AirportCount = 0;
    settings_.AirspaceCount = 0;
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
    SceneryFileOutcome outcome;
    try {
        outcome = ParseSceneryFile(buffer, grid_, *this);
    } catch (const FileError& failure) {
        throw BuildError(std::string("The database files could not be written: ") + failure.what() + ".");
    } catch (const OverflowError&) {
        throw BuildError("The scenery holds more airports or airspaces than the database files can count.");
    }
    if (outcome.Malformed) NoteMalformed(path, outcome.Reason);
}

// A sound file's records go to the database files at once.
void DatabaseBuild::Accept(std::span<const AirportRecord> airports,
                           std::span<const AirspaceRecord> airspaces) {
    const std::int32_t airportCount = CheckedI32(std::int64_t{settings_.AirportCount} + std::ssize(airports));
    const std::int32_t airspaceCount =
        CheckedI32(std::int64_t{settings_.AirspaceCount} + std::ssize(airspaces));
    if (!airports.empty()) airportsOut_->Append(EncodeAirports(airports));
    if (!airspaces.empty()) airspacesOut_->Append(EncodeAirspaces(airspaces));
    settings_.AirportCount = airportCount;
    settings_.AirspaceCount = airspaceCount;
}

void DatabaseBuild::Finish() {
    std::vector<fs::path> committed;
    try {
        if (!airportsOut_ || !airspacesOut_) throw FileError("the scan was not prepared");
        // Each file ends with the tables' empty last slot.
        Status(kStatusAirports);
        const AirportRecord emptyAirport;
        airportsOut_->Append(EncodeAirports(std::span<const AirportRecord>(&emptyAirport, 1)));
        airportsOut_->Commit();
        committed.push_back(airportsOut_->FinalPath());
        Status(kStatusAirspaces);
        const AirspaceRecord emptyAirspace;
        airspacesOut_->Append(EncodeAirspaces(std::span<const AirspaceRecord>(&emptyAirspace, 1)));
        Status(kStatusSettings);
        WriteBuilderSettings(settings_);
        // The last file of the set appears only now, beside settings that
        // already count what it holds.
        airspacesOut_->Commit();
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
    settings_.RebuildPending = false;
    progress_ = 0;
    Status(kStatusDone);
}

bool RemoveDatabaseFiles(const std::string& workFolder) {
    const fs::path folder = WorkFolderPath(workFolder);
    bool removed = true;
    for (const std::string name : {kAirportsFileName, kAirspacesFileName}) {
        removed = RemoveEntriesNoCase(folder, name) && removed;
        removed = RemoveEntriesNoCase(folder, name + ".part") && removed;
    }
    return removed;
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

std::string DescribeSkippedArea(const SkippedArea& area) {
    std::string text = "\"" + AnsiToUtf8(area.Title) + "\"";
    if (!area.Folder.empty()) text += " (" + AnsiToUtf8(area.Folder) + ")";
    return text + ": " + area.Reason;
}

}  // namespace tarnwick
