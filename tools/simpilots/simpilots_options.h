#pragma once
// tarnwick-simpilots' command line.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "simulated_area.h"

namespace tarnwick::tools {

struct SimpilotsOptions {
    std::string Host;  // name or IPv4
    std::uint16_t Port = 47624;
    std::string SessionName;  // UTF-8; the first found when empty
    int Aircraft = 0;
    SimulatedAreaChoice Area;
    // Host order, one machine on each at a time.
    std::vector<std::uint32_t> Addresses;
    bool SystemPorts = false;
    std::optional<std::chrono::seconds> Seconds;
    std::optional<std::chrono::seconds> LeaveAfter;
    std::optional<std::chrono::seconds> VanishAfter;
    std::optional<std::string> LogFile;
};

extern const char* const kSimpilotsUsage;

// The options the arguments after --help and --version ask for; a UsageError
// names the first fault.
SimpilotsOptions ParseSimpilotsCommandLine(const CommandArguments& args);

}  // namespace tarnwick::tools
