#pragma once
// A session in this process with a scripted host player, and the program's
// session objects offering it as the demo connection type (line 1 of the
// connection types; line 0 is TCP/IP, which this build does not have).
#include <memory>
#include <vector>

#include "multiplayer/game/message_decoder.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/play_objects.h"
#include "multiplayer/service_providers.h"
#include "multiplayer/session_connection.h"
#include "state/session_state.h"

namespace tarnwick::testing {

class SessionFixture {
   public:
    SessionFixture() {
        hub.HostSession("Test session", 16, "{APP-GUID}");
        host = hub.AddPlayer("Host");
        refuseGroup = hub.AddGroup(kRefuseParamsGroup);
        hub.AddGroup(kRequestParamsGroup);
    }

    // Located and joined as `nickname`, waiting for the host's answer.
    void JoinAs(const std::string& nickname = kDefaultNickname) {
        connection.Load();
        connection.LocateSession(1);
        connection.JoinSession(0, nickname);
        while (hub.Receive(host)) {
        }
    }

    // Joined and accepted, the own entry in the table.
    void Connect(const std::string& nickname = kDefaultNickname) {
        JoinAs(nickname);
        hub.Send(host, session.OwnPlayerId, Encode(MsgJoinAccept{session.OwnPlayerId}));
        connection.WaitForAcceptance();
    }

    // The types of the messages waiting for `player`, emptying its queue.
    std::vector<std::int32_t> TypesFor(std::int32_t player) {
        std::vector<std::int32_t> types;
        while (auto message = hub.Receive(player)) {
            types.push_back(GameMessageType(DecodeGameMessage(message->Bytes)).value_or(0));
        }
        return types;
    }

    SessionTransport& Transport() { return play.Play(); }

    InProcessSessionHub hub{100};
    std::int32_t host = 0;
    std::int32_t refuseGroup = 0;
    SessionState session;
    PlayObjects play{[this] {
        return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes(
            [this] { return std::make_unique<InProcessTransport>(hub, kDemoConnectionName); }));
    }};
    SessionConnection connection{session, play};
};

}  // namespace tarnwick::testing
