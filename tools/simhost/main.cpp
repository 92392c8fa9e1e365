// tarnwick-simhost: a DirectPlay 4 session host on TCP/IP with simulated FS2002
// pilots, for trying Tarnwick's network connection without FS2002.
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "base/command_line.h"
#include "base/program_version.h"
#include "simhost_area.h"
#include "simhost_run.h"

namespace tarnwick::tools {
namespace {

int Run(const CommandArguments& args) {
    const SimhostOptions options = ParseSimhostCommandLine(args);

    // Taken between two turns of the session, so that the host leaves cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stopSignals, signal);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

    auto area = SimulatedArea(options);
    if (const auto* problem = std::get_if<std::string>(&area)) {
        std::fprintf(stderr, "tarnwick-simhost: %s\n", problem->c_str());
        return 1;
    }
    return ServeSession(options, std::get<tarnwick::TrafficSimulatorSetup>(std::move(area)), stopSignals);
}

}  // namespace
}  // namespace tarnwick::tools

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-simhost", tarnwick::tools::kSimhostUsage,
                                       tarnwick::kProgramVersion, tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, tarnwick::tools::Run);
}
