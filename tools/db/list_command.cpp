#include <cstdio>

#include "base/ansi.h"
#include "base/command_line.h"
#include "commands.h"
#include "selection/choice_lists.h"
#include "world_loading.h"

namespace tarnwick::tools {

int RunList(const Arguments& args) {
    std::string folder;
    bool airports = true;
    bool sectors = true;
    for (const std::string& arg : args) {
        if (arg == "--airports") {
            sectors = false;
        } else if (arg == "--sectors") {
            airports = false;
        } else if (folder.empty() && !arg.starts_with("--")) {
            folder = arg;
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty() || (!airports && !sectors)) {
        throw UsageError("list takes WORK_FOLDER [--airports | --sectors]");
    }

    ProgramState state;
    const WorldLoad load = LoadWorld(folder, state, false);
    auto print = [](const std::vector<std::string>& lines) {
        for (const std::string& line : lines) std::printf("%s\n", AnsiToUtf8(line).c_str());
    };
    if (airports) print(AirportListTexts(SelectionOf(state)));
    if (sectors) print(SectorListNames(SelectionOf(state)));

    for (const std::string& problem : load.Problems)
        std::fprintf(stderr, "tarnwick-db list: %s\n", problem.c_str());
    return load.Problems.empty() ? 0 : 1;
}

}  // namespace tarnwick::tools
