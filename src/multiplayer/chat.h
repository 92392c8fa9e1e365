#pragma once
// The chat window's logic: its banner, its player list and sending a line.
// The window appends log lines as they come (from here and from the receive
// tick); it never rebuilds the whole log. Texts are Windows-1252 unless named
// UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "multiplayer/session_transport.h"
#include "state/traffic_table.h"

namespace tarnwick {

// The log's first line: the program's name in brackets.
std::string ChatBanner();
// What the message box holds until the user writes in it.
inline constexpr const char* kChatPlaceholder = "[Write your message here]";

// RefreshChatPlayerList: the entries' names in table order.
std::vector<std::string> ChatPlayerNames(const TrafficTable& table);

// One log line: who, ": ", what.
std::string ChatLogLine(std::string_view name, std::string_view text);

struct ChatSendResult {
    // The line for the log, or nothing without a session.
    std::optional<std::string> LogLine;
    bool Sent = false;
};

// Sends the typed text to every participant. A character Windows-1252 cannot
// hold goes out as "?", and the log line shows the text as it went out. When
// sending fails the line says the message was not sent. Either way the
// window empties its text box afterwards.
ChatSendResult SendChat(SessionTransport& transport, std::int32_t ownPlayerId, std::string_view textUtf8);

}  // namespace tarnwick
