#pragma once
// Everything the program shares between its windows for the whole run. The
// application owns one instance and hands it to each window.
#include <cstdint>
#include <memory>
#include <string>

#include "app/settings.h"
#include "geo/declination_grid.h"

namespace tarnwick {

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
