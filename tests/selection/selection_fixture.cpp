#include "selection_fixture.h"

#include "scenery/database_file.h"
#include "scenery/magdec_file.h"
#include "scenery_kit/magdec_writer.h"
#include "state/settings.h"

namespace tarnwick::testing {

AirportRecord Airport(const std::string& name, const std::string& icao, double lat, double lon) {
    AirportRecord airport;
    airport.Name = name;
    airport.IcaoId = icao;
    airport.Lat = lat;
    airport.Lon = lon;
    return airport;
}

AirspaceRecord Artcc(const std::string& fullName, const char* classText, double north, double south,
                     double west, double east) {
    AirspaceRecord airspace;
    airspace.FullName = fullName;
    airspace.AirspaceName = fullName.substr(0, 4);
    airspace.ClassText = classText;
    airspace.FrequencyText = "125.1 Mhz";
    airspace.Corner1Lat = north;
    airspace.Corner2Lat = south;
    airspace.Corner1Lon = west;
    airspace.Corner2Lon = east;
    airspace.CenterLat = (north + south) / 2;
    airspace.CenterLon = (west + east) / 2;
    BoundaryPoint& point = airspace.Points.Grow(0);
    point.Lat = north;
    point.Lon = west;
    airspace.PointCount = 1;
    return airspace;
}

AirspaceRecord ClassB(const std::string& name, double north, double south, double west, double east) {
    AirspaceRecord airspace = Artcc("", kClassB, north, south, west, east);
    airspace.AirspaceName = name;
    airspace.FrequencyText.clear();
    return airspace;
}

void SetWorld(ProgramState& state, std::vector<AirportRecord> airports,
              std::vector<AirspaceRecord> airspaces) {
    state.Settings.AirportCount = static_cast<std::int32_t>(airports.size());
    state.Settings.AirspaceCount = static_cast<std::int32_t>(airspaces.size());
    state.World.WorldAirports = Table(std::move(airports));
    state.World.WorldAirspaces = Table(std::move(airspaces));
}

WorkFolderFixture::WorkFolderFixture(const std::vector<AirportRecord>& airports,
                                     const std::vector<AirspaceRecord>& airspaces, bool withMagdec,
                                     std::int16_t declinationRaw) {
    SettingsRecord settings;
    settings.ProgramTitle = kSettingsFileTitle;
    settings.SetupDone = 1;
    settings.FsVersion = 1;
    settings.FsFolder = (Folder.Path() / "fs").string();
    settings.AirportCount = static_cast<std::int32_t>(airports.size());
    settings.AirspaceCount = static_cast<std::int32_t>(airspaces.size());
    WriteSettingsFile(Folder.Path() / kSettingsFileName, settings);
    WriteAirportDatabase(Folder.Path() / kAirportsFileName, Table(airports));
    WriteAirspaceDatabase(Folder.Path() / kAirspacesFileName, Table(airspaces));
    std::filesystem::create_directories(Folder.Path() / "fs" / "Scenery");
    if (withMagdec) {
        auto grid = std::make_unique<DeclinationGrid>();
        grid->Cells.fill(declinationRaw);
        Folder.Write("fs/Scenery/MagDec.bgl", MagdecFileBytes(*grid));
    }
}

void WorkFolderFixture::PrepareState(ProgramState& state) const {
    state.Settings.WorkFolder = Folder.String();
    state.Settings.Apply(ReadSettingsFile(Folder.Path() / kSettingsFileName).Record);
}

std::vector<AirportRecord> SeattleAirports() {
    AirportRecord ksea = Airport("Seattle-Tacoma Intl", "KSEA", 47.449, -122.309);
    ksea.ElevationFt = 433;
    ksea.TowerFreq = "119.9";
    ksea.DepartureFreq = "119.2";
    ksea.ApproachFreq = "120.4";
    AirportRecord kbfi = Airport("Boeing Field", "KBFI", 47.53, -122.302);
    kbfi.TowerFreq = "120.6";
    AirportRecord kpdx = Airport("Portland Intl", "KPDX", 45.589, -122.597);  // about 112 nm south
    AirportRecord cyvr = Airport("Vancouver Intl", "CYVR", 49.194, -123.184);
    return {ksea, kbfi, kpdx, cyvr};
}

std::vector<AirspaceRecord> SeattleAirspaces() {
    return {
        Artcc("SEATTLE CENTER", kArtccLow, 49.0, 45.5, -125.0, -120.0),
        ClassB("SEATTLE CLASS B", 47.7, 47.2, -122.6, -122.0),
        Artcc("SEATTLE CENTER", kArtccHigh, 49.5, 45.0, -126.0, -119.0),
        Artcc("VANCOUVER FIR", kArtccLow, 51.0, 49.0, -127.0, -121.0),
    };
}

}  // namespace tarnwick::testing
