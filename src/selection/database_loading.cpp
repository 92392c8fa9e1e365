#include "selection/database_loading.h"

#include "scenery/database_file.h"
#include "state/work_folder.h"

namespace tarnwick {
namespace {

template <typename Record>
LoadStepResult Adopt(DatabaseReadResult<Record>&& read, std::vector<Record>& table,
                     const std::string& description) {
    table = std::move(read.Entries);
    if (table.empty()) table.emplace_back();  // the slot rule holds even for an empty read
    LoadStepResult result;
    if (read.Damaged) {
        result.Ok = false;
        result.Warning = DamagedDatabaseWarning(description, read.Problem);
    }
    return result;
}

}  // namespace

std::string DamagedDatabaseWarning(const std::string& fileDescription, const std::string& problem) {
    return "The " + fileDescription + " could not be read completely (" + problem +
           "). Only what could be read is listed.";
}

LoadStepResult LoadAirports(SelectionState state) {
    const auto path = WorkFile(state.Settings.WorkFolder, kAirportsFileName);
    return Adopt(ReadAirportDatabase(path, state.Settings.AirportCount), state.World.WorldAirports,
                 "airports database " + path.string());
}

LoadStepResult LoadAirspaces(SelectionState state) {
    const auto path = WorkFile(state.Settings.WorkFolder, kAirspacesFileName);
    return Adopt(ReadAirspaceDatabase(path, state.Settings.AirspaceCount), state.World.WorldAirspaces,
                 "airspaces database " + path.string());
}

}  // namespace tarnwick
