#pragma once
// A work folder with one small area for the scope commands of tarnwick-db.
#include <fstream>
#include <string>
#include <vector>

#include "scenery/database_file.h"
#include "state/settings.h"
#include "support/temp_folder.h"

namespace tarnwick::testing {

// One airport with a runway, and one ARTCC airspace whose rectangle holds it.
inline void WriteArea(const TempFolder& folder) {
    SettingsRecord settings;
    settings.ProgramTitle = kSettingsFileTitle;
    settings.SetupDone = 1;
    settings.FsVersion = 1;
    settings.FsFolder = (folder.Path() / "fs").string();
    settings.AirportCount = 1;
    settings.AirspaceCount = 1;
    WriteSettingsFile(folder.Path() / kSettingsFileName, settings);
    // A declination file that announces no grid: directions stay uncorrected.
    folder.Write("fs/scenery/magdec.bgl", std::vector<std::uint8_t>(200, 0));

    std::vector<AirportRecord> airports(2);
    AirportRecord& airport = airports[0];
    airport.Name = "Z\xFCrich Test";  // Windows-1252 u-umlaut
    airport.IcaoId = "LSZT";
    airport.Lat = 47.0;
    airport.Lon = 8.0;
    RunwayEntry& runway = airport.Runways.Grow(0);
    runway.PrimaryId = "14";
    runway.SecondaryId = "32";
    runway.CenterLat = 47.0;
    runway.CenterLon = 8.0;
    runway.End1Lat = 47.01;
    runway.End1Lon = 7.99;
    runway.End2Lat = 46.99;
    runway.End2Lon = 8.01;
    airport.RunwayCount = 1;
    WriteAirportDatabase(folder.Path() / kAirportsFileName, airports);

    std::vector<AirspaceRecord> airspaces(2);
    AirspaceRecord& sector = airspaces[0];
    sector.ClassText = kArtccLow;
    sector.FullName = "TEST CENTER";
    sector.Corner1Lat = 48;
    sector.Corner2Lat = 46;
    sector.Corner1Lon = 7;
    sector.Corner2Lon = 9;
    sector.CenterLat = 47.5;
    sector.CenterLon = 8.5;
    sector.Points.Grow(0) = BoundaryPoint{0, 48, 7, 0};
    sector.Points.Grow(1) = BoundaryPoint{5, 48, 9, 0};
    sector.PointCount = 2;
    WriteAirspaceDatabase(folder.Path() / kAirspacesFileName, airspaces);
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The own participant and N123 on the airport, as a traffic file.
inline std::string WriteTraffic(const TempFolder& folder) {
    const std::string path = (folder.Path() / "traffic.json").string();
    std::ofstream(path) << R"({"OwnPlayerId": 1, "OwnName": "ATC Controller", "Players": [
        {"Name": "ATC Controller", "PlayerId": 1, "Kind": "player", "Latitude": 47.0, "Longitude": 8.0},
        {"Name": "N123", "PlayerId": 2, "Kind": "player", "Altitude": 3500, "Heading": 90,
         "Longitude": 8.0, "Latitude": 47.0, "Category": "Jet", "Aircraft": "Boeing 737-400"}]})";
    return path;
}

}  // namespace tarnwick::testing
