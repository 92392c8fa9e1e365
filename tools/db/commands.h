#pragma once
// The subcommands of tarnwick-db. Each takes the arguments after its name and
// returns the process exit status.
#include <string>
#include <vector>

namespace tarnwick::tools {

using Arguments = std::vector<std::string>;

int RunBuild(const Arguments& args);
int RunDump(const Arguments& args);
int RunRender(const Arguments& args);
int RunList(const Arguments& args);
int RunArea(const Arguments& args);
int RunHover(const Arguments& args);
int RunMeasure(const Arguments& args);
int RunInstallations(const Arguments& args);

}  // namespace tarnwick::tools
