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
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "multiplayer/capture/capture_report.h"
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

struct CaptureReading {
    Recording Recorded;
    CaptureReport Report;
};

// Throws CaptureError when the file is not a capture libpcap can open.
CaptureReading ReadCaptureFile(const std::filesystem::path& file, const CaptureReadOptions& options);
// The same from the file's bytes.
CaptureReading ReadCaptureBytes(std::span<const std::uint8_t> bytes, const CaptureReadOptions& options);

}  // namespace tarnwick
