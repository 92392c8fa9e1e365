#include "support/directplay_test_client.h"

#include "multiplayer/game/message_decoder.h"
#include "support/socket_time.h"

#include <algorithm>

namespace tarnwick::testing {

using namespace directplay;

DirectPlayTestClient::DirectPlayTestClient(std::uint16_t enumerationPort, std::function<void()> eachTurn,
                                           std::uint32_t address, const TestClientMaker& make)
    : eachTurn_(std::move(eachTurn)) {
    ClientConfig config;
    config.peer.tcp_ports = {0, 0};
    config.peer.udp_ports = {0, 0};
    config.enumeration_port = enumerationPort;
    config.enumeration_time = Millis{300};
    client_ = make ? make(config, clock_) : std::make_unique<DirectPlayClient>(config, clock_);
    runner_.emplace(*client_, clock_, address);
}

void DirectPlayTestClient::Turn() {
    runner_->PollOnce(Millis{0});
    for (auto& event : runner_->TakeEvents()) events_.push_back(std::move(event));
}

bool DirectPlayTestClient::RunUntil(const std::function<bool()>& done) {
    for (const auto giveUp = SocketDeadlineFromNow(); !done() && std::chrono::steady_clock::now() < giveUp;) {
        if (eachTurn_) eachTurn_();
        runner_->PollOnce(Millis{eachTurn_ ? 2 : 10});
        for (auto& event : runner_->TakeEvents()) events_.push_back(std::move(event));
    }
    return done();
}

bool DirectPlayTestClient::Join(const std::string& playerName, std::uint32_t hostIp) {
    client_->Enumerate(hostIp);
    if (!RunUntil([&] { return !Got<action::EnumerationDone>().empty(); })) return false;
    const auto found = Got<action::SessionFound>();
    if (found.empty()) return false;
    JoinRequest request;
    request.player_name = playerName;
    client_->Join(found.front().session, request);
    return RunUntil([&] { return !Got<action::Joined>().empty(); });
}

void DirectPlayTestClient::Send(const MessageBytes& message, bool guaranteed) {
    client_->SendGameMessage(client_->OwnPlayer(), directplay::kAllPlayers, message, guaranteed);
    runner_->PollOnce(Millis{0});
}

void DirectPlayTestClient::Leave() {
    client_->Leave();
    runner_->PollOnce(Millis{0});
}

bool DirectPlayTestClient::GotGame(std::int32_t type) const {
    const auto messages = Got<action::Deliver>();
    return std::any_of(messages.begin(), messages.end(), [&](const action::Deliver& m) {
        return GameMessageType(DecodeGameMessage(m.payload)) == type;
    });
}

}  // namespace tarnwick::testing
