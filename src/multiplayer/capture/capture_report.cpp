#include "multiplayer/capture/capture_report.h"

#include <cstdio>
#include <utility>

#include "base/ansi.h"
#include "multiplayer/directplay/protocol_constants.h"

namespace tarnwick {

namespace dp = directplay;

std::string SessionFlagNames(std::uint32_t flags) {
    namespace f = dp::session_flags;
    static constexpr std::pair<std::uint32_t, const char*> kNames[] = {
        {f::kNewPlayersDisabled, "NEWPLAYERSDISABLED"},
        {f::kMigrateHost, "MIGRATEHOST"},
        {f::kNoMessageId, "NOMESSAGEID"},
        {0x10, "NOPLAYERMGMT"},
        {f::kJoinDisabled, "JOINDISABLED"},
        {f::kKeepAlive, "KEEPALIVE"},
        {0x80, "NODATAMESSAGES"},
        {f::kSecureServer, "SECURESERVER"},
        {f::kPrivate, "PRIVATE"},
        {f::kPasswordRequired, "PASSWORDREQUIRED"},
        {f::kMulticastServer, "MULTICASTSERVER"},
        {f::kClientServer, "CLIENTSERVER"},
        {f::kDirectPlayProtocol, "DIRECTPLAYPROTOCOL"},
        {0x4000, "NOPRESERVEORDER"},
        {0x8000, "OPTIMIZELATENCY"},
        {0x10000, "ALLOWVOICERETRO"},
        {0x20000, "NOSESSIONDESCMESSAGES"}};
    std::string names;
    std::uint32_t rest = flags;
    for (const auto& [bit, name] : kNames) {
        if ((flags & bit) == 0) continue;
        names += (names.empty() ? "" : " | ") + std::string(name);
        rest &= ~bit;
    }
    if (rest != 0) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", rest);
        names += (names.empty() ? "" : " | ") + std::string(text);
    }
    return names.empty() ? "none" : names;
}

std::vector<std::string> CaptureReportLines(const CaptureReport& report) {
    std::vector<std::string> lines;
    char text[160];
    std::snprintf(text, sizeof text, "%llu packets, %llu bytes",
                  static_cast<unsigned long long>(report.Packets),
                  static_cast<unsigned long long>(report.Bytes));
    lines.push_back(text);
    if (report.SessionName) {
        std::snprintf(text, sizeof text, "0x%X", report.SessionFlags);
        lines.push_back("session \"" + AnsiToUtf8(*report.SessionName) + "\", flags " + text + " (" +
                        SessionFlagNames(report.SessionFlags) + "), at most " +
                        std::to_string(report.MaxPlayers) + " players, application " + report.Application);
    } else {
        lines.push_back("no session description in the capture (it began after the join)");
    }
    std::string dialects = "dialect versions:";
    for (std::uint16_t dialect : report.Dialects) dialects += " " + std::to_string(dialect);
    lines.push_back(report.Dialects.empty() ? "dialect versions: none seen" : dialects);
    bool topBit = false;
    lines.push_back("players, machines and groups:");
    for (const CapturedPlayer& player : report.Players) {
        topBit = topBit || (player.Id & 0x80000000u) != 0;
        std::snprintf(text, sizeof text, "  0x%08X %11d %-7s ", player.Id,
                      static_cast<std::int32_t>(player.Id),
                      player.Group          ? "group"
                      : player.SystemPlayer ? "machine"
                                            : "player");
        lines.push_back(text + AnsiToUtf8(player.Name));
    }
    lines.push_back(topBit ? "some ids have the top bit set (negative as the program holds them)"
                           : "no id has the top bit set");
    std::snprintf(
        text, sizeof text,
        "%llu system messages, %llu game messages (%llu copies to other machines recorded once, %llu not for "
        "the chosen player), %llu reliable-protocol frames, %llu other packets",
        static_cast<unsigned long long>(report.SystemMessages),
        static_cast<unsigned long long>(report.GameMessages),
        static_cast<unsigned long long>(report.CopiesLeftOut),
        static_cast<unsigned long long>(report.NotForThePlayer),
        static_cast<unsigned long long>(report.ReliableFrames),
        static_cast<unsigned long long>(report.OtherPackets));
    lines.push_back(text);
    for (const CaptureProblem& problem : report.Problems) {
        std::snprintf(text, sizeof text, "not read: packet %llu (file offset %llu): ",
                      static_cast<unsigned long long>(problem.Packet),
                      static_cast<unsigned long long>(problem.Offset));
        lines.push_back(text + problem.Text);
    }
    if (report.Problems.empty()) lines.push_back("every message was read");
    return lines;
}

}  // namespace tarnwick
