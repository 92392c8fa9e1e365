#include "app/demo_work_folder.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "scenery/database_file.h"
#include "state/settings.h"

extern char** environ;

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Runs a tool and waits for it; what went wrong, or "".
std::string RunTool(const fs::path& tool, std::vector<std::string> args) {
    args.insert(args.begin(), tool.string());
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error = posix_spawn(&child, tool.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) return "Tarnwick cannot run " + tool.string() + ": " + std::strerror(error) + ".";
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return "Tarnwick lost track of " + tool.string() + ".";
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return tool.filename().string() + " could not make the demo in " + args.back() +
               " (its messages went to the standard error output).";
    return "";
}

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

}  // namespace

std::string PrepareDemoWorkFolder(const fs::path& demoFolder, const fs::path& toolFolder) {
    std::error_code error;
    fs::create_directories(demoFolder, error);
    if (error) return "Tarnwick cannot make the folder " + demoFolder.string() + ": " + error.message() + ".";
    // The settings keep the simulator folder as given: absolute, so that it
    // holds from wherever the program starts.
    const fs::path folder = fs::absolute(demoFolder, error);
    const fs::path fs2002 = folder / "FS2002";
    if (!Exists(fs2002 / "FS2002.EXE")) {
        std::string problem = RunTool(toolFolder / "tarnwick-mkscenery", {fs2002.string()});
        if (!problem.empty()) return problem;
    }
    for (const char* name : {kSettingsFileName, kAirportsFileName, kAirspacesFileName}) {
        if (!Exists(folder / name))
            return RunTool(toolFolder / "tarnwick-db", {"build", fs2002.string(), folder.string()});
    }
    return "";
}

}  // namespace tarnwick
