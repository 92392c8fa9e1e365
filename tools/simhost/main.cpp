// tarnwick-simhost: a DirectPlay 4 session host on TCP/IP with simulated FS2002
// pilots, for trying Tarnwick's network connection without FS2002.
#include <cstdio>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "base/command_line.h"
#include "base/program_version.h"
#include "simhost_run.h"
#include "simulated_area.h"
#include "stop_signals.h"

namespace tarnwick::tools {
namespace {

int Run(const CommandArguments& args) {
    const SimhostOptions options = ParseSimhostCommandLine(args);

    const StopSignals stop;
    auto area = SimulatedArea(options.Area, "tarnwick-simhost");
    if (const auto* problem = std::get_if<std::string>(&area)) {
        std::fprintf(stderr, "tarnwick-simhost: %s\n", problem->c_str());
        return 1;
    }
    auto traffic = std::get<TrafficSimulatorSetup>(std::move(area));
    traffic.Aircraft = options.Aircraft;
    traffic.RefuseJoins = options.Refuse;
    return ServeSession(options, std::move(traffic), stop);
}

}  // namespace
}  // namespace tarnwick::tools

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-simhost", tarnwick::tools::kSimhostUsage,
                                       tarnwick::kProgramVersion, tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, tarnwick::tools::Run);
}
