#pragma once
// Turns a packet capture of a DirectPlay 4 session (pcap or pcapng, read with
// libpcap) into a recording, as if the program had been a machine in that
// session that never said a word: every game message once, at the time it
// was captured, with the players and groups as the session's own messages
// announced them. With a player named, the recording is that player's:
// only what reached its machine, the player as the program's own.
//
// It puts each TCP stream back together in both directions, takes the UDP
// datagrams, reads the reliable protocol's frames in DIRECTPLAYPROTOCOL
// sessions, and decodes every message with the program's own decoders. What
// it cannot read is reported with its place in the capture; the rest is read.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "multiplayer/record/recording_format.h"

namespace tarnwick {

class CaptureError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

struct CaptureReadOptions {
    // Record the session as this player saw it (Windows-1252); empty: as a
    // silent machine.
    std::string PlayerName;
    // What the recording names as its source.
    std::string Source;
};

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

struct CaptureReading {
    Recording Recorded;
    CaptureReport Report;
};

// Throws CaptureError when the file is not a capture libpcap can open.
CaptureReading ReadCaptureFile(const std::filesystem::path& file, const CaptureReadOptions& options);
// The same from the file's bytes.
CaptureReading ReadCaptureBytes(std::span<const std::uint8_t> bytes, const CaptureReadOptions& options);

// The report as lines for people: the session's name, flags and dialects,
// the players (and whether an id has its top bit set), and every problem.
std::vector<std::string> CaptureReportLines(const CaptureReport& report);

// "MIGRATEHOST | KEEPALIVE" for a session's flags.
std::string SessionFlagNames(std::uint32_t flags);

}  // namespace tarnwick
