#include "support/foreign_name_server.h"

namespace tarnwick::testing {

using namespace directplay;

bool ForeignNameServer::HandleRoleMessage(const Origin& origin, const SystemFrame& frame) {
    if (Serving()) {
        if (const auto* request = std::get_if<AddForwardRequest>(&frame.message)) {
            Forward(origin, frame, *request);
            return true;
        }
        if (const auto* ack = std::get_if<AddForwardAck>(&frame.message)) {
            Acknowledge(origin, frame, *ack);
            return true;
        }
    }
    return DirectPlayClient::HandleRoleMessage(origin, frame);
}

void ForeignNameServer::Forward(const Origin& origin, const SystemFrame& frame,
                                const AddForwardRequest& request) {
    const Endpoint listener = SenderListener(origin, frame);
    PlayerInfo record = request.player;
    record.id = request.player_id;
    record.system_player = request.player_id;
    record.flags = player_flags::kSystemPlayer | player_flags::kInGroup;
    SpData written = record.sp_data.value_or(SpData{});
    written.tcp = listener;  // the UDP address stays as the joiner wrote it
    record.sp_data = written;
    names_.AddPlayer(record, listener.ip);

    Joining joining{listener, {}};
    for (const PlayerId machine : names_.SystemPlayers()) {
        if (machine == OwnSystemPlayer() || machine == record.id) continue;
        const auto to = ListenerOf(machine);
        if (!to) continue;
        delivery_.SendSystem(*to, AddForward{machine, record.id, 0, record});
        joining.waiting.insert(machine);
        ++forwarded_;
    }
    joining_[record.id] = joining;
    if (joining.waiting.empty()) SendNameTable(record.id);
}

void ForeignNameServer::Acknowledge(const Origin& origin, const SystemFrame& frame,
                                    const AddForwardAck& ack) {
    const auto joining = joining_.find(ack.id);
    const PlayerInfo* machine = SendingMachine(origin, frame);
    if (joining == joining_.end() || machine == nullptr || joining->second.waiting.erase(machine->id) == 0)
        return;
    ++acknowledged_;
    if (joining->second.waiting.empty()) SendNameTable(ack.id);
}

void ForeignNameServer::SendNameTable(PlayerId joiner) {
    const auto joining = joining_.find(joiner);
    if (joining == joining_.end()) return;
    SessionDesc desc = session_;
    desc.current_players = static_cast<std::uint32_t>(names_.VisiblePlayerCount());
    SuperEnumPlayersReply reply{desc, sessionName_, std::nullopt, {}, {}, {}};
    for (const PlayerInfo* player : names_.Players()) reply.players.push_back(ForWire(*player));
    for (const PlayerInfo* group : names_.Groups()) reply.groups.push_back(*group);
    delivery_.SendSystem(joining->second.listener, reply);
    joining_.erase(joining);
}

}  // namespace tarnwick::testing
