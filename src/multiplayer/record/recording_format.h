#pragma once
// A recorded session as a text file: what the program received from a
// session, with the time each thing arrived, so that the session can be
// played back as the program saw it. One JSON object a line (UTF-8), the
// message bytes in hex; docs/recording.md describes every line.
//
// The first line names the format and its version and says where the
// recording came from; every later line has "t", the milliseconds since the
// recording started, and "kind". Texts are Windows-1252 in memory.
#include <chrono>
#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "multiplayer/session_transport.h"
#include "state/session_member.h"

namespace tarnwick {

inline constexpr int kRecordingVersion = 1;

class RecordingError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

struct RecordingHeader {
    int Version = kRecordingVersion;
    // The program and its version that made it, or the capture it was read from.
    std::string Source;
    // The area being controlled: its kind (Airport or ARTCC/FIR sector) and title.
    std::string AreaKind;
    std::string AreaTitle;
    // The program's join had been accepted before the recording started: a
    // replay accepts the join itself.
    bool JoinAccepted = false;
};

// A game message for a player of this machine.
struct RecordedMessage {
    std::int32_t From = 0;
    std::int32_t To = 0;
    std::vector<std::uint8_t> Bytes;
    // Received before the recording started and kept as the last word of its
    // kind from that sender: its identification, aircraft and position.
    bool Earlier = false;
};

// The session joined.
struct RecordedSession {
    SessionDescription Description;
};

// The program's own player.
struct RecordedOwnPlayer {
    std::int32_t Id = 0;
    std::string Name;
};

// The session's players, or its groups, as they were from this time on.
struct RecordedMembers {
    bool Groups = false;
    std::vector<SessionMember> Members;
};

// A friendly name the session gave for a player, where the player lists did
// not already say it.
struct RecordedName {
    std::int32_t Id = 0;
    std::string Name;
};

// The session went away without a word from its host.
struct RecordedLoss {};

// The recording was stopped here.
struct RecordedEnd {};

using RecordingEvent = std::variant<RecordedMessage, RecordedSession, RecordedOwnPlayer, RecordedMembers,
                                    RecordedName, RecordedLoss, RecordedEnd>;

struct RecordingLine {
    std::chrono::milliseconds Time{0};
    RecordingEvent Event;
};

// One line each, without the line end.
std::string FormatRecordingHeader(const RecordingHeader& header);
std::string FormatRecordingLine(const RecordingLine& line);
// Throw RecordingError saying what is wrong.
RecordingHeader ParseRecordingHeader(std::string_view text);
RecordingLine ParseRecordingLine(std::string_view text);

struct Recording {
    RecordingHeader Header;
    std::vector<RecordingLine> Lines;  // in time order
    // What could not be read, "line N: reason"; the lines before it stand.
    std::vector<std::string> Problems;
};

// Reads a whole recording. A first line that is not a recording's header
// throws RecordingError; a damaged later line ends the reading there with a
// problem told, as does a last line cut short.
Recording ReadRecording(std::istream& in);

// Hex digits, two a byte; HexBytes throws RecordingError for anything else.
std::string HexText(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> HexBytes(std::string_view hex);

}  // namespace tarnwick
