#pragma once
// tarnwick-simhost's command line.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick::tools {

struct SimhostOptions {
    std::string SessionName = "Tarnwick demo";
    std::optional<directplay::Guid> Application;  // default: the demo's
    std::uint32_t MaxPlayers = 16;
    int Aircraft = 0;  // 0: 6 to 12
    std::optional<std::string> AirportIcao;
    std::optional<std::pair<double, double>> Center;  // latitude, longitude
    std::string Work = ".";
    std::uint32_t Address = 0;  // host order; 0 = all interfaces
    std::uint16_t Port = 47624;
    std::optional<std::chrono::seconds> Seconds;
    std::optional<std::chrono::seconds> LeaveAfter;
    bool Refuse = false;
    std::optional<std::string> LogFile;
};

extern const char* const kSimhostUsage;

// What the command line asks for: run with these options, or exit at once
// with this status after printing (usage, version or the one-line error).
struct ParsedCommandLine {
    std::optional<SimhostOptions> Options;
    int ExitStatus = 0;
};
ParsedCommandLine ParseSimhostCommandLine(const std::vector<std::string>& args);

}  // namespace tarnwick::tools
