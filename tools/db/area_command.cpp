#include <cstdio>
#include <optional>

#include "base/ansi.h"
#include "base/command_line.h"
#include "base/json_writer.h"
#include "commands.h"
#include "scenery/record_json.h"
#include "selection/gather_area.h"
#include "world_loading.h"

namespace tarnwick::tools {
namespace {

[[noreturn]] void Usage() {
    throw UsageError("area takes WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\")");
}

void WriteArea(JsonWriter& json, const ProgramState& state) {
    json.BeginObject();
    json.Key("AreaTitle").Ansi(state.Area.AreaTitle);
    json.Key("AreaKind").Ansi(state.Area.AreaKind);
    json.Key("AreaCenterLat").Number(state.Area.AreaCenterLat);
    json.Key("AreaCenterLon").Number(state.Area.AreaCenterLon);
    json.Key("DisplayHighArtcc").Bool(state.Display.DisplayHighArtcc);
    json.Key("DisplayLowArtcc").Bool(state.Display.DisplayLowArtcc);
    json.Key("airports").BeginArray();
    for (std::int32_t i = 0; i < state.Area.AreaAirportCount; ++i)
        WriteJsonSummary(json, state.Area.AreaAirports[static_cast<std::size_t>(i)]);
    json.EndArray();
    json.Key("airspaces").BeginArray();
    for (std::int32_t j = 0; j < state.Area.AreaAirspaceCount; ++j)
        WriteJsonSummary(json, state.Area.AreaAirspaces[static_cast<std::size_t>(j)]);
    json.EndArray();
    json.EndObject();
}

}  // namespace

int RunArea(const Arguments& args) {
    std::string folder;
    std::optional<AreaChoice> choice;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--airport" || arg == "--sector") && i + 1 < args.size() && !choice) {
            const std::optional<std::string> text = Utf8ToAnsi(args[++i]);
            if (!text) {
                std::fprintf(stderr,
                             "tarnwick-db area: '%s' cannot be written in the databases' character set\n",
                             args[i].c_str());
                return 2;
            }
            choice = AreaChoice{arg == "--airport" ? AreaChoiceKind::Airport : AreaChoiceKind::Sector, *text};
        } else if (folder.empty() && !arg.starts_with("--")) {
            folder = arg;
        } else {
            Usage();
        }
    }
    if (folder.empty() || !choice) Usage();

    ProgramState state;
    const WorldLoad load = LoadWorld(folder, state, true);
    for (const std::string& problem : load.Problems)
        std::fprintf(stderr, "tarnwick-db area: %s\n", problem.c_str());

    SelectionState selection = SelectionOf(state);
    if (GatherArea(selection, *choice) == GatherOutcome::NotFound) {
        std::fprintf(
            stderr, "tarnwick-db area: no %s '%s' in the databases (see tarnwick-db list)\n",
            choice->Kind == AreaChoiceKind::Airport ? "airport with the list text" : "ARTCC/FIR sector named",
            AnsiToUtf8(choice->Text).c_str());
        return 1;
    }
    JsonWriter json;
    WriteArea(json, state);
    std::fputs(json.Text().c_str(), stdout);
    return load.Problems.empty() ? 0 : 1;
}

}  // namespace tarnwick::tools
