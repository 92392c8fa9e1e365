#include "multiplayer/chat.h"

#include "base/program_name.h"
#include "base/rounding.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/game/wire_text.h"
#include "state/session_state.h"

namespace tarnwick {

std::string ChatBanner() { return std::string("[") + kProgramName + "]"; }

std::vector<std::string> ChatPlayerNames(const TrafficTable& table) {
    std::vector<std::string> names;
    names.reserve(table.Entries().size());
    for (const PlayerRecord& entry : table.Entries()) names.push_back(entry.Name);
    return names;
}

std::string ChatLogLine(std::string_view name, std::string_view text) {
    std::string line;
    line.reserve(name.size() + 2 + text.size());
    line.append(name).append(": ").append(text);
    return line;
}

ChatSendResult SendChat(SessionTransport& transport, std::int32_t ownPlayerId, std::string_view textUtf8) {
    if (!IsPlayerId(ownPlayerId)) return {};
    const std::string text = ToWireText(textUtf8);
    try {
        const std::string ownName = transport.FriendlyName(ownPlayerId);
        transport.Send(ownPlayerId, kAllPlayers, Encode(MsgChat{text}));
        return {ChatLogLine(ownName, text), true};
    } catch (const SessionError&) {
    } catch (const OverflowError&) {
        // Far too long for the length field.
    }
    return {"(The message was not sent: " + text + ")", false};
}

}  // namespace tarnwick
