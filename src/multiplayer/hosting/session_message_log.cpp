#include "multiplayer/hosting/session_message_log.h"

#include <type_traits>

#include "base/json_writer.h"
#include "multiplayer/directplay/utf16_text.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/wire_values.h"
#include "multiplayer/tcpip/directplay_ids.h"

namespace tarnwick {
namespace {

using namespace directplay;

double Seconds(std::chrono::milliseconds time) { return static_cast<double>(time.count()) / 1000.0; }

void Id(JsonWriter& json, std::string_view key, PlayerId id) { json.Key(key).Integer(ProgramPlayerId(id)); }

void Text16(JsonWriter& json, std::string_view key, const std::u16string& text) {
    json.Key(key).Ansi(Utf16ToAnsi(text));
}

void Session(JsonWriter& json, const SessionDesc& desc, const std::u16string& name) {
    Text16(json, "session", name);
    json.Key("application").Utf8(GuidText(desc.application));
    json.Key("instance").Utf8(GuidText(desc.instance));
    json.Key("session_flags").Integer(desc.flags);
    json.Key("max_players").Integer(desc.max_players);
    json.Key("current_players").Integer(desc.current_players);
}

void Record(JsonWriter& json, const PlayerInfo& info) {
    json.BeginObject();
    Id(json, "id", info.id);
    json.Key("flags").Integer(info.flags);
    Id(json, "system_player", info.system_player);
    Text16(json, "short_name", info.short_name);
    Text16(json, "long_name", info.long_name);
    if (info.sp_data) {
        json.Key("tcp").Utf8(EndpointText(info.sp_data->tcp));
        json.Key("udp").Utf8(EndpointText(info.sp_data->udp));
    }
    if (!info.members.empty()) {
        json.Key("members").BeginArray();
        for (const PlayerId member : info.members) json.Integer(ProgramPlayerId(member));
        json.EndArray();
    }
    json.EndObject();
}

void Records(JsonWriter& json, std::string_view key, const std::vector<PlayerInfo>& records) {
    json.Key(key).BeginArray();
    for (const PlayerInfo& record : records) Record(json, record);
    json.EndArray();
}

// Each type keeps one branch of the chain below; clang-tidy 14 takes the
// branches it emptied for copies of each other.
// NOLINTBEGIN(bugprone-branch-clone)
void Fields(JsonWriter& json, const SystemMessage& message) {
    std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, EnumSessions>) {
                json.Key("application").Utf8(GuidText(m.application));
                json.Key("enum_flags").Integer(m.flags);
                json.Key("password").Bool(m.password.has_value());
            } else if constexpr (std::is_same_v<T, EnumSessionsReply>) {
                Session(json, m.desc, m.name);
            } else if constexpr (std::is_same_v<T, RequestPlayerId>) {
                json.Key("player_flags").Integer(m.flags);
            } else if constexpr (std::is_same_v<T, RequestPlayerReply>) {
                Id(json, "id", m.id);
                json.Key("result").Integer(m.result);
            } else if constexpr (std::is_same_v<T, AddForwardRequest> || std::is_same_v<T, AddForward>) {
                Id(json, "player_id", m.player_id);
                json.Key("player");
                Record(json, m.player);
            } else if constexpr (std::is_same_v<T, AddForwardAck>) {
                Id(json, "id", m.id);
            } else if constexpr (std::is_same_v<T, AddForwardReply>) {
                json.Key("error").Integer(m.error);
            } else if constexpr (std::is_same_v<T, SuperEnumPlayersReply> ||
                                 std::is_same_v<T, EnumPlayersReply>) {
                Session(json, m.desc, m.name);
                Records(json, "players", m.players);
                Records(json, "groups", m.groups);
            } else if constexpr (std::is_same_v<T, CreatePlayer> || std::is_same_v<T, CreatePlayerVerify> ||
                                 std::is_same_v<T, CreateGroup>) {
                Id(json, "player_id", m.player_id);
                json.Key("player");
                Record(json, m.info);
            } else if constexpr (std::is_same_v<T, DeletePlayer> || std::is_same_v<T, DeleteGroup> ||
                                 std::is_same_v<T, AddPlayerToGroup> ||
                                 std::is_same_v<T, DeletePlayerFromGroup> ||
                                 std::is_same_v<T, AddShortcutToGroup> ||
                                 std::is_same_v<T, DeleteGroupFromGroup>) {
                Id(json, "player_id", m.player_id);
                Id(json, "group_id", m.group_id);
            } else if constexpr (std::is_same_v<T, PlayerDataChanged> ||
                                 std::is_same_v<T, GroupDataChanged>) {
                Id(json, "id", m.id);
                json.Key("data_size").Integer(static_cast<std::int64_t>(m.data.size()));
            } else if constexpr (std::is_same_v<T, PlayerNameChanged> ||
                                 std::is_same_v<T, GroupNameChanged>) {
                Id(json, "id", m.id);
                Text16(json, "short_name", m.short_name);
                Text16(json, "long_name", m.long_name);
            } else if constexpr (std::is_same_v<T, SessionDescChanged>) {
                Session(json, m.desc, m.name);
            } else if constexpr (std::is_same_v<T, Ping> || std::is_same_v<T, PingReply>) {
                Id(json, "id_from", m.id_from);
                json.Key("tick_count").Integer(m.tick_count);
            } else if constexpr (std::is_same_v<T, IAmNameServer>) {
                Id(json, "host_id", m.host_id);
            } else if constexpr (std::is_same_v<T, PlayerWrapper>) {
                json.Key("inner_size").Integer(static_cast<std::int64_t>(m.inner.size()));
            } else if constexpr (std::is_same_v<T, Packet>) {
                json.Key("index").Integer(m.index);
                json.Key("total_packets").Integer(m.total_packets);
            }
        },
        message);
}
// NOLINTEND(bugprone-branch-clone)

void Position(JsonWriter& json, const PositionWords& words) {
    json.Key("latitude").Number(LatitudeFromWire(words.LatitudeWord));
    json.Key("longitude").Number(LongitudeFromWire(words.LongitudeWord));
    json.Key("altitude_m").Integer(words.AltitudeMetres);
    json.Key("true_heading").Integer(DecodeHeading(words.AttitudeWord));
}

// The payload's fields, or why they could not be read.
void GameFields(JsonWriter& json, const tarnwick::GameMessage& message) {
    std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, MsgJoinAccept> || std::is_same_v<T, MsgObserverAccept>) {
                json.Key("player").Integer(m.PlayerId);
            } else if constexpr (std::is_same_v<T, MsgAircraftInfo>) {
                json.Key("category").Integer(m.CategoryCode).Key("title").Ansi(m.Title);
            } else if constexpr (std::is_same_v<T, MsgPosition> || std::is_same_v<T, MsgPositionLong>) {
                Position(json, m.Words);
            } else if constexpr (std::is_same_v<T, MsgChat>) {
                json.Key("text").Ansi(m.Text);
            } else if constexpr (std::is_same_v<T, MalformedGameMessage>) {
                json.Key("malformed").Utf8(m.Reason);
            }
        },
        message);
}

}  // namespace

std::string GameMessageName(std::int32_t type) {
    switch (type) {
        case MsgJoinRequest::kType:
            return "MsgJoinRequest";
        case MsgObserverJoinRequest::kType:
            return "MsgObserverJoinRequest";
        case MsgJoinAccept::kType:
            return "MsgJoinAccept";
        case MsgObserverAccept::kType:
            return "MsgObserverAccept";
        case MsgJoinRefuse::kType:
            return "MsgJoinRefuse";
        case MsgObserverRefuse::kType:
            return "MsgObserverRefuse";
        case MsgIdentifyRequest::kType:
            return "MsgIdentifyRequest";
        case MsgJoinRetry::kType:
            return "MsgJoinRetry";
        case MsgAircraftInfo::kType:
            return "MsgAircraftInfo";
        case MsgAircraftInfoRequest::kType:
            return "MsgAircraftInfoRequest";
        case MsgHostLeft::kType:
            return "MsgHostLeft";
        case MsgRemovedByHost::kType:
            return "MsgRemovedByHost";
        case MsgPosition::kType:
            return "MsgPosition";
        case MsgPositionLong::kType:
            return "MsgPositionLong";
        case MsgChat::kType:
            return "MsgChat";
        default:
            return {};
    }
}

std::string SystemMessageLogLine(std::chrono::milliseconds time, const Origin& origin,
                                 const SystemFrame& frame) {
    JsonWriter json(false);
    json.BeginObject().Key("time").Number(Seconds(time));
    json.Key("from").Utf8(EndpointText(origin.peer)).Key("via").Utf8(origin.connection ? "tcp" : "udp");
    json.Key("system").Utf8(CommandName(frame.message)).Key("dialect").Integer(frame.dialect);
    Fields(json, frame.message);
    json.EndObject();
    return json.Text();
}

std::string GameMessageLogLine(std::chrono::milliseconds time, const action::Deliver& message,
                               const PlayerNameLookup& nameOf) {
    JsonWriter json(false);
    json.BeginObject().Key("time").Number(Seconds(time));
    Id(json, "from", message.from);
    if (const auto name = nameOf(message.from)) json.Key("from_name").Ansi(*name);
    Id(json, "to", message.to);
    json.Key("via").Utf8(message.guaranteed ? "tcp" : "udp");
    if (const auto header = GameMessageHeader(message.payload)) {
        const std::string name = GameMessageName(header->Type);
        json.Key("game").Utf8(name.empty() ? "unknown" : name).Key("type").Integer(header->Type);
        json.Key("length").Integer(header->PayloadLength);
    }
    GameFields(json, DecodeGameMessage(message.payload));
    json.Key("size").Integer(static_cast<std::int64_t>(message.payload.size()));
    json.EndObject();
    return json.Text();
}

}  // namespace tarnwick
