#include "scenery_kit/demo_folder.h"

#include <algorithm>
#include <iterator>

#include "scenery_kit/bgl_writer.h"
#include "scenery_kit/demo_region.h"

namespace tarnwick::mkscenery {

namespace {

// On disk the folders are spelled differently from the configuration, as on a
// copy from Windows.
constexpr const char* kAddonFolder = "Addon Scenery/Puget Sound/Scenery/";

std::vector<ConfigArea> DemoAreas() {
    return {
        {"Default Terrain", "Scenery\\World", true, true},
        {"North America", "scenery\\namr", true, true},
        {"Base Scenery", "Scenery", true, true},
        {"Puget Sound Airports", "Addon Scenery\\Puget Sound", true, false},
        // The same folder again, spelled another way: its files are scanned once.
        {"Puget Sound Airports (copy)", "ADDON SCENERY/PUGET SOUND/scenery", true, false},
        {"Not Installed Addon", "Addon Scenery\\Not Installed", false, false},
    };
}

// File names in mixed case: the scan orders them ignoring case, so these come
// in the order of their numbers.
constexpr const char* kAirportFileNames[] = {"ApPuget1.bgl", "APPUGET2.BGL", "appuget3.Bgl", "APPuget4.BGL",
                                             "apPUGET5.bgl"};

}  // namespace

WriteSummary WriteDemoFolder(FolderWriter& out, const std::filesystem::path& dataDir) {
    DemoRegion region = LoadDemoRegion(dataDir / "demo" / "seattle.json");
    // Records the airport reader passes over, so the demo exercises that too.
    for (std::size_t i = 0; i < region.Airports.size(); ++i) {
        if (i % 4 == 0) region.Airports[i].OtherRecords = 3;
        for (bgl::Runway& runway : region.Airports[i].Runways)
            runway.OtherTrailers = runway.IlsList.empty() ? 0 : 1;
    }
    WriteFolderBasics(out, DemoAreas(), dataDir);
    WriteSummary summary;

    // Airports in source order, split over five files.
    constexpr std::size_t kFiles = std::size(kAirportFileNames);
    const std::size_t perFile = (region.Airports.size() + kFiles - 1) / kFiles;
    for (std::size_t f = 0; f < kFiles; ++f) {
        bgl::SceneryFile file;
        const std::size_t first = std::min(f * perFile, region.Airports.size());
        const std::size_t last = std::min(first + perFile, region.Airports.size());
        file.Airports.assign(region.Airports.begin() + static_cast<std::ptrdiff_t>(first),
                             region.Airports.begin() + static_cast<std::ptrdiff_t>(last));
        file.DirectoryEntriesPerBlock = 6;  // several directory blocks per file
        out.Write(std::string(kAddonFolder) + kAirportFileNames[f], bgl::WriteSceneryFile(file));
        summary.Airports += file.Airports.size();
        ++summary.AirportFiles;
    }

    // Airspaces in a file of their own.
    bgl::SceneryFile airspaces;
    airspaces.Airspaces = region.Airspaces;
    out.Write(std::string(kAddonFolder) + "BndPuget.bgl", bgl::WriteSceneryFile(airspaces));
    summary.Airspaces = region.Airspaces.size();
    ++summary.AirportFiles;

    // Files the scan must pass over: other scenery without the marker, an
    // object file with the marker but not the airport layout, and a file too
    // short to hold the marker at all.
    const auto other = [&](const std::string& name, std::vector<std::uint8_t> bytes) {
        out.Write(name, bytes);
        ++summary.OtherFiles;
    };
    other("Scenery/World/Scenery/TERRAIN.BGL", bgl::NonAirportFile(24000, 1));
    other("Scenery/World/Scenery/Roads.bgl", bgl::NonAirportFile(9000, 2));
    other("Scenery/World/Scenery/coast.BGL", bgl::NonAirportFile(15000, 3));
    std::vector<std::uint8_t> objects = bgl::NonAirportFile(6000, 4);
    const auto marker = static_cast<std::int32_t>(bgl::kMarker);
    for (int i = 0; i < 4; ++i)
        objects[118 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(marker >> (8 * i));
    for (int i = 0; i < 4; ++i)
        objects[144 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i == 0 ? 2 : 0);
    other("Scenery/NAMR/Scenery/OBJSEA.BGL", objects);
    other("Scenery/NAMR/Scenery/tiny.bgl", bgl::NonAirportFile(64, 5));
    out.WriteText("Scenery/NAMR/Scenery/readme.txt", "Not a scenery file.\r\n");
    return summary;
}

}  // namespace tarnwick::mkscenery
