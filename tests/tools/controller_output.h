#pragma once
// Headless controllers (tarnwick-session --json) in a session served by the
// simulation tools, and what they print, for the tests that run them.
#include <chrono>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "support/spawned_tool.h"

namespace tarnwick::testing {

// The enumeration port a host tool's first line names, or "".
inline std::string EnumerationPortOf(SpawnedTool& host) {
    const auto line = host.ReadLine(std::chrono::milliseconds(10000));
    std::smatch match;
    if (!line || !std::regex_search(*line, match, std::regex("127\\.0\\.0\\.1:(\\d+)"))) return "";
    return match[1];
}

inline std::vector<std::string> ControllerArgs(const std::string& port, const std::string& nickname,
                                               const std::string& seconds) {
    return {"--connect", "127.0.0.1", "--port", port, "--nickname", nickname, "--seconds", seconds, "--json"};
}

// Every JSON line the tool prints until it ends.
inline std::vector<nlohmann::json> OutputOf(SpawnedTool& tool, std::chrono::milliseconds timeout) {
    std::vector<nlohmann::json> lines;
    while (const auto line = tool.ReadLine(timeout)) {
        auto json = nlohmann::json::parse(*line, nullptr, false);
        if (!json.is_discarded()) lines.push_back(std::move(json));
    }
    return lines;
}

inline bool Contains(const std::vector<nlohmann::json>& lines, const std::string& key,
                     const std::string& part) {
    for (const auto& line : lines)
        if (line.contains(key) && line[key].is_string() &&
            line[key].get<std::string>().find(part) != std::string::npos)
            return true;
    return false;
}

// The positions one pilot was seen at, in order.
inline std::vector<std::pair<double, double>> TrackOf(const std::vector<nlohmann::json>& lines,
                                                      const std::string& name) {
    std::vector<std::pair<double, double>> track;
    for (const auto& line : lines)
        if (line.contains("traffic"))
            for (const auto& entry : line["traffic"])
                if (entry["Name"] == name) track.emplace_back(entry["Latitude"], entry["Longitude"]);
    return track;
}

}  // namespace tarnwick::testing
