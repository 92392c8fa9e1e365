#include <cstdio>

#include "base/command_line.h"
#include "base/file_system.h"
#include "base/json_writer.h"
#include "commands.h"
#include "scenery/database_file.h"
#include "scenery/record_json.h"
#include "state/settings.h"
#include "state/work_folder.h"

namespace tarnwick::tools {

int RunDump(const Arguments& args) {
    if (args.size() != 1) {
        throw UsageError("dump takes WORK_FOLDER");
    }
    const std::string folder = WorkFolderFrom(args[0]);
    const SettingsReadResult settings = ReadSettingsFile(WorkFile(folder, kSettingsFileName));
    const auto airports =
        ReadAirportDatabase(WorkFile(folder, kAirportsFileName), settings.Record.AirportCount);
    const auto airspaces =
        ReadAirspaceDatabase(WorkFile(folder, kAirspacesFileName), settings.Record.AirspaceCount);

    JsonWriter json;
    json.BeginObject();
    json.Key("settings");
    WriteJson(json, settings.Record);
    json.Key("airports").BeginArray();
    for (std::int32_t i = 0; i < airports.Count(); ++i)
        WriteJson(json, airports.Entries[static_cast<std::size_t>(i)]);
    json.EndArray();
    json.Key("airspaces").BeginArray();
    for (std::int32_t i = 0; i < airspaces.Count(); ++i)
        WriteJson(json, airspaces.Entries[static_cast<std::size_t>(i)]);
    json.EndArray();
    json.EndObject();
    std::fputs(json.Text().c_str(), stdout);

    int status = 0;
    for (const std::string* problem : {&settings.Problem, &airports.Problem, &airspaces.Problem}) {
        if (!problem->empty()) {
            std::fprintf(stderr, "tarnwick-db dump: damaged file: %s\n", problem->c_str());
            status = 1;
        }
    }
    return status;
}

}  // namespace tarnwick::tools
