#pragma once
// What the capture reader found: the session, its flags and dialects, the
// players, how many messages of each kind, and every place it could not
// read; as lines for people, the report a tester sends us.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

struct CapturedPlayer {
    std::uint32_t Id = 0;
    std::string Name;  // Windows-1252
    bool SystemPlayer = false;
    bool Group = false;
    friend auto operator<=>(const CapturedPlayer&, const CapturedPlayer&) = default;
};

// Something the reader could not read, where it was: the packet's number
// (from 1) and the packet record's offset in the file.
struct CaptureProblem {
    std::uint64_t Packet = 0;
    std::uint64_t Offset = 0;
    std::string Text;
};

struct CaptureReport {
    std::uint64_t Packets = 0;
    std::uint64_t Bytes = 0;
    std::optional<std::string> SessionName;
    std::uint32_t SessionFlags = 0;
    std::uint32_t MaxPlayers = 0;
    std::string Application;
    std::set<std::uint16_t> Dialects;
    // Every player, machine and group the session announced.
    std::set<CapturedPlayer> Players;
    std::uint64_t SystemMessages = 0;
    std::uint64_t GameMessages = 0;
    // Copies of one message to several machines, recorded once.
    std::uint64_t CopiesLeftOut = 0;
    // Game messages that did not reach the chosen player's machine.
    std::uint64_t NotForThePlayer = 0;
    std::uint64_t ReliableFrames = 0;
    std::uint64_t OtherPackets = 0;
    std::vector<CaptureProblem> Problems;
};

// The report as lines for people: the session's name, flags and dialects,
// the players (and whether an id has its top bit set), and every problem.
std::vector<std::string> CaptureReportLines(const CaptureReport& report);

// "MIGRATEHOST | KEEPALIVE" for a session's flags.
std::string SessionFlagNames(std::uint32_t flags);

}  // namespace tarnwick
