#include "support/next_start.h"

#include <array>
#include <optional>

#include "base/file_system.h"
#include "scenery/database_file.h"
#include "state/settings.h"

namespace tarnwick::testing {

::testing::AssertionResult NextStartRecognises(const std::filesystem::path& workFolder) {
    const std::array<const char*, 3> names = {kSettingsFileName, kAirportsFileName, kAirspacesFileName};
    std::array<std::filesystem::path, 3> files;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::optional<std::filesystem::path> found = FindEntryNoCase(workFolder, names[i]);
        if (!found) return ::testing::AssertionSuccess() << names[i] << " is missing";
        files[i] = *found;
    }
    const SettingsReadResult settings = ReadSettingsFile(files[0]);
    if (!settings.Problem.empty()) return ::testing::AssertionFailure() << settings.Problem;
    const auto airports = ReadAirportDatabase(files[1], settings.Record.AirportCount);
    if (airports.Damaged) return ::testing::AssertionFailure() << airports.Problem;
    const auto airspaces = ReadAirspaceDatabase(files[2], settings.Record.AirspaceCount);
    if (airspaces.Damaged) return ::testing::AssertionFailure() << airspaces.Problem;
    return ::testing::AssertionSuccess() << "a whole set of " << settings.Record.AirportCount << " airports";
}

}  // namespace tarnwick::testing
