#pragma once
// Small worlds for the selection tests: records built by hand and a work folder
// holding the settings, both databases and a simulator folder with magdec.bgl.
#include <cstdint>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "state/records.h"
#include "support/temp_folder.h"

namespace tarnwick::testing {

AirportRecord Airport(const std::string& name, const std::string& icao, double lat, double lon);
AirspaceRecord Artcc(const std::string& fullName, const char* classText, double north, double south,
                     double west, double east);
AirspaceRecord ClassB(const std::string& name, double north, double south, double west, double east);

// Tables by the slot rule: the records followed by one empty slot.
template <typename Record>
std::vector<Record> Table(std::vector<Record> records) {
    records.emplace_back();
    return records;
}

// World tables put straight into a state, counts set to match.
void SetWorld(ProgramState& state, std::vector<AirportRecord> airports,
              std::vector<AirspaceRecord> airspaces);

// A work folder as a finished build leaves it, plus an FS folder ("fs") whose
// Scenery/MagDec.bgl (mixed case on purpose) holds a grid with `declinationRaw`
// in every cell, unless `withMagdec` is false.
struct WorkFolderFixture {
    WorkFolderFixture(const std::vector<AirportRecord>& airports,
                      const std::vector<AirspaceRecord>& airspaces, bool withMagdec = true,
                      std::int16_t declinationRaw = -2730);
    TempFolder Folder;
    // A state as a normal start leaves it: WorkFolder and the settings applied.
    void PrepareState(ProgramState& state) const;
};

// The Seattle-area world used by several tests.
std::vector<AirportRecord> SeattleAirports();
std::vector<AirspaceRecord> SeattleAirspaces();

}  // namespace tarnwick::testing
