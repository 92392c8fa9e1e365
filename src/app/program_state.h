#pragma once
// Everything the program shares between its windows for the whole run. The
// application owns one instance and hands it to each window.
#include <cstdint>
#include <memory>
#include <string>

#include <vector>

#include "app/display_options.h"
#include "app/settings.h"
#include "geo/declination_grid.h"
#include "scenery/records.h"

namespace tarnwick {

// The two kinds of area the user can choose to control (AreaKind).
inline constexpr const char* kAreaKindAirport = "Airport";
inline constexpr const char* kAreaKindSector = "ARTCC/FIR sector";

struct ProgramState {
    // Start-up
    std::string WorkFolder;
    bool RebuildPending = false;

    // The settings record and the working copies of its fields that the rest
    // of the program reads; they are separate variables on purpose.
    SettingsRecord Settings;
    std::uint8_t FsVersion = 0;
    std::string FsFolder;
    std::int32_t AirportCount = 0;
    std::int32_t AirspaceCount = 0;

    // Magnetic declination, loaded with the databases and kept for the run.
    // On the heap: it is 130 KB.
    std::unique_ptr<DeclinationGrid> Declination = std::make_unique<DeclinationGrid>();

    // World tables, loaded from the databases; slots 0..count, the last empty.
    std::vector<AirportRecord> WorldAirports = std::vector<AirportRecord>(1);
    std::vector<AirspaceRecord> WorldAirspaces = std::vector<AirspaceRecord>(1);

    // Area tables, gathered for the chosen airport or sector; same slot rule.
    std::vector<AirportRecord> AreaAirports = std::vector<AirportRecord>(1);
    std::int32_t AreaAirportCount = 0;
    std::vector<AirspaceRecord> AreaAirspaces = std::vector<AirspaceRecord>(1);
    std::int32_t AreaAirspaceCount = 0;

    // The chosen area
    std::string AreaTitle;
    std::string AreaKind;
    double AreaCenterLat = 0.0;
    double AreaCenterLon = 0.0;

    DisplayOptions Display;

    // Multiplayer session
    bool SessionConnected = false;
    bool TrafficEnabled = false;

    // Copies a record read from the settings file into the record and its globals.
    void ApplySettings(const SettingsRecord& record) {
        Settings = record;
        FsVersion = record.FsVersion;
        FsFolder = record.FsFolder;
        AirportCount = record.AirportCount;
        AirspaceCount = record.AirspaceCount;
    }
};

}  // namespace tarnwick
