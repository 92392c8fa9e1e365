#pragma once
// tarnwick-simhost's command line.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "multiplayer/directplay/wire_basics.h"
#include "simulated_area.h"

namespace tarnwick::tools {

struct SimhostOptions {
    std::string SessionName = "Tarnwick demo";
    std::optional<directplay::Guid> Application;  // default: the demo's
    std::uint32_t MaxPlayers = 16;
    int Aircraft = 0;  // 0: 6 to 12
    SimulatedAreaChoice Area;
    std::uint32_t Address = 0;  // host order; 0 = all interfaces
    std::uint16_t Port = 47624;
    std::optional<std::chrono::seconds> Seconds;
    std::optional<std::chrono::seconds> LeaveAfter;
    bool Refuse = false;
    // The key player ids are XORed with; random (all 32 bits) by default.
    std::optional<std::uint32_t> IdKey;
    bool MigrateHost = false;
    // Ask the home router to open the host's ports.
    bool MapPorts = false;
    std::optional<std::string> LogFile;
};

extern const char* const kSimhostUsage;

// The options the arguments after --help and --version ask for; a UsageError
// names the first fault.
SimhostOptions ParseSimhostCommandLine(const CommandArguments& args);

}  // namespace tarnwick::tools
