// tarnwick-simpilots: simulated FS2002 pilots, each a DirectPlay machine of its
// own, joining a session as the simulators of a real FS2002 session do, for
// trying Tarnwick in a session of many machines.
#include <cstdio>
#include <string>
#include <variant>

#include "base/command_line.h"
#include "base/program_version.h"
#include "simpilots_run.h"
#include "simulated_area.h"
#include "stop_signals.h"

namespace tarnwick::tools {
namespace {

int Run(const CommandArguments& args) {
    const SimpilotsOptions options = ParseSimpilotsCommandLine(args);
    const StopSignals stop;
    auto area = SimulatedArea(options.Area, "tarnwick-simpilots");
    if (const auto* problem = std::get_if<std::string>(&area)) {
        std::fprintf(stderr, "tarnwick-simpilots: %s\n", problem->c_str());
        return 1;
    }
    return FlyPilots(options, std::get<TrafficSimulatorSetup>(std::move(area)), stop);
}

}  // namespace
}  // namespace tarnwick::tools

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-simpilots", tarnwick::tools::kSimpilotsUsage,
                                       tarnwick::kProgramVersion, tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, tarnwick::tools::Run);
}
