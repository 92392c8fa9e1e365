#pragma once
// The settings record and the working copies of its fields that the rest of
// the program reads; they are separate variables on purpose, because the
// builder counts into the copies before the record is written again.
#include <cstdint>
#include <string>

#include "state/settings.h"

namespace tarnwick {

struct SettingsState {
    // The folder holding the program's three files, handed in at start-up.
    std::string WorkFolder;
    bool RebuildPending = false;

    SettingsRecord Record;
    std::uint8_t FsVersion = 0;
    std::string FsFolder;  // ANSI bytes, as stored
    std::int32_t AirportCount = 0;
    std::int32_t AirspaceCount = 0;

    // Copies a record read from the settings file into the record and its copies.
    void Apply(const SettingsRecord& record) {
        Record = record;
        FsVersion = record.FsVersion;
        FsFolder = record.FsFolder;
        AirportCount = record.AirportCount;
        AirspaceCount = record.AirspaceCount;
    }
};

}  // namespace tarnwick
