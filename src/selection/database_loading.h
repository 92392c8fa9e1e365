#pragma once
// Loading the two world tables from the database files in the work folder. A
// damaged or missing file never stops the program: the table keeps what could
// be read and the step returns a warning for the user.
#include <string>

#include "selection/selection_state.h"

namespace tarnwick {

inline constexpr const char* kStatusReadingAirports = "Reading Airports...";
inline constexpr const char* kStatusReadingAirspaces = "Reading Airspaces...";

struct LoadStepResult {
    bool Ok = true;
    std::string Warning;  // UTF-8, for a message box; empty when Ok
};

// Fill WorldAirports / WorldAirspaces with the entries of the file, AirportCount
// (AirspaceCount) + 1 of them, read from WorkFolder. The counts keep their values.
LoadStepResult LoadAirports(SelectionState state);
LoadStepResult LoadAirspaces(SelectionState state);

// The warning for a database file that could not be read completely.
std::string DamagedDatabaseWarning(const std::string& fileDescription, const std::string& problem);

}  // namespace tarnwick
