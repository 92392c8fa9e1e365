#include "support/run_tool.h"

#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarnwick::testing {
namespace {

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs `tool` in `directory` (the current one when empty) with its
// environment changed by env(1)'s arguments.
ToolRun Run(const std::string& tool, const std::vector<std::string>& args,
            const std::filesystem::path& directory, const std::vector<std::string>& environment) {
    const auto scratch =
        std::filesystem::temp_directory_path() / ("tarnwick-tool-" + std::to_string(::getpid()) + "-" + tool);
    std::string command = directory.empty() ? "" : "cd " + Quote(directory.string()) + " && ";
    if (!environment.empty()) {
        command += "env";
        for (const auto& setting : environment) command += " " + Quote(setting);
        command += " ";
    }
    command += Quote(std::string(TARNWICK_BIN_DIR) + "/" + tool);
    for (const auto& arg : args) command += " " + Quote(arg);
    command +=
        " >" + Quote(scratch.string() + ".out") + " 2>" + Quote(scratch.string() + ".err") + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Slurp(scratch.string() + ".out");
    run.Err = Slurp(scratch.string() + ".err");
    std::filesystem::remove(scratch.string() + ".out");
    std::filesystem::remove(scratch.string() + ".err");
    return run;
}

}  // namespace

ToolRun RunTool(const std::string& tool, const std::vector<std::string>& args,
                const std::filesystem::path& directory) {
    return Run(tool, args, directory, {});
}

ToolRun RunToolWithEnvironment(const std::string& tool, const std::vector<std::string>& args,
                               const std::vector<std::string>& environment) {
    return Run(tool, args, {}, environment);
}

}  // namespace tarnwick::testing
