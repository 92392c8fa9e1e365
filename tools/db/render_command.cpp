#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/program_folders.h"
#include "commands.h"

namespace tarnwick::tools {

// Drawing the picture needs Qt, which the rest of tarnwick-db does without:
// the work is done by tarnwick-render, installed beside this program.
int RunRender(const Arguments& args) {
    const std::filesystem::path renderer = ExecutableFolder() / "tarnwick-render";
    std::vector<std::string> owned{renderer.string()};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : owned) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    execv(renderer.c_str(), argv.data());
    std::fprintf(stderr, "tarnwick-db render: cannot run %s: %s\n", renderer.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace tarnwick::tools
