#pragma once
// Runs one of the built command-line tools and captures what it prints.
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::testing {

struct ToolRun {
    int ExitStatus = -1;
    std::string Out;
    std::string Err;
};

// `tool` is the executable's name in the build's bin folder; it runs in
// `directory` when given, else in the test's current directory.
ToolRun RunTool(const std::string& tool, const std::vector<std::string>& args,
                const std::filesystem::path& directory = {});

// The same with its environment changed by env(1)'s arguments: "-u" followed
// by "NAME" unsets (these first), "NAME=VALUE" sets.
ToolRun RunToolWithEnvironment(const std::string& tool, const std::vector<std::string>& args,
                               const std::vector<std::string>& environment);

}  // namespace tarnwick::testing
