#include "multiplayer/tcpip/directplay_transport.h"

#include <algorithm>

#include "base/ansi.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/utf16_text.h"
#include "multiplayer/service_providers.h"
#include "multiplayer/tcpip/directplay_ids.h"
#include "multiplayer/tcpip/host_address.h"

namespace tarnwick {
namespace {

using directplay::Millis;
namespace action = directplay::action;

// Slack over the machine's own deadlines, which end every wait first.
constexpr Millis kGrace{1000};
// Opening the ports and letting the last messages out are quick.
constexpr Millis kSocketWait{2000};
constexpr Millis kFlushWait{1000};

constexpr const char* kAddressQuestion =
    "Address of the session's host (name or IPv4; leave empty to search the local network):";

SessionDescription Describe(const directplay::SessionInfo& session) {
    SessionDescription description;
    description.SessionName = directplay::Utf16ToAnsi(session.name);
    description.CurrentPlayers =
        static_cast<std::int32_t>(std::min<std::uint32_t>(session.desc.current_players, 0x7FFFFFFF));
    description.MaxPlayers =
        static_cast<std::int32_t>(std::min<std::uint32_t>(session.desc.max_players, 0x7FFFFFFF));
    description.GuidApplication = directplay::GuidText(session.desc.application);
    description.InstanceKey = directplay::GuidText(session.desc.instance);
    return description;
}

std::string Ansi(std::string_view utf8) { return Utf8ToAnsi(utf8).value_or(std::string(utf8.size(), '?')); }

}  // namespace

PeerDriverFactory PosixPeerDrivers(std::uint32_t bind_ip) {
    return [bind_ip](directplay::SessionPeer& peer, const directplay::Clock& clock) {
        return std::make_unique<directplay::PosixRunner>(peer, clock, bind_ip);
    };
}

DirectPlayTransport::DirectPlayTransport(DirectPlayTransportOptions options)
    : config_(options.Client),
      clock_(std::move(options.Clock)),
      history_(std::move(options.History)),
      log_(std::move(options.Log)),
      client_(std::make_unique<directplay::DirectPlayClient>(config_, *clock_)),
      driver_(options.Driver(*client_, *clock_)) {}

DirectPlayTransport::~DirectPlayTransport() { Close(); }

std::vector<std::string> DirectPlayTransport::ConnectionTypes() { return {kTcpIpConnectionName}; }

void DirectPlayTransport::InitializeConnection(int number, const ProviderPrompt& prompt) {
    if (number != 1) throw SessionError("no such connection type");
    if (initialized_) throw SessionError("the connection is set up already");
    ProviderQuestion question{
        kAddressQuestion, {}, history_ ? history_->Recent() : std::vector<std::string>{}};
    if (!question.Suggestions.empty()) question.DefaultAnswer = question.Suggestions.front();
    const std::optional<std::string> answer = prompt ? prompt(question) : std::nullopt;
    if (!answer) throw SessionError("the host's address was not given");
    address_ = TrimmedAddress(*answer);
    if (!address_.empty()) {
        host_ip_ = ResolveHostAddress(address_);
        if (!host_ip_)
            throw SessionError("unknown host", "Tarnwick could not find the computer \"" + Ansi(address_) +
                                                   "\": check its name, or type its IPv4 address.");
    }
    client_->Start();
    PumpUntil(kSocketWait,
              [this] { return client_->CurrentState() != directplay::DirectPlayClient::State::kOpening; });
    if (!client_->SocketsOpen()) {
        const std::string reason = last_log_.empty() ? "no free ports" : last_log_;
        throw SessionError("ports not open",
                           "Tarnwick " + reason +
                               ". Close another DirectPlay program that holds them, or free "
                               "a TCP port in 2300-2349 and a UDP port in 2350-2399.");
    }
    initialized_ = true;
}

std::vector<SessionDescription> DirectPlayTransport::EnumerateSessions() {
    RequireInitialized();
    enumeration_done_ = false;
    found_.clear();
    client_->Enumerate(host_ip_);
    PumpUntil(config_.enumeration_time + kGrace, [this] { return enumeration_done_; });
    std::vector<SessionDescription> sessions;
    for (const auto& session : found_) sessions.push_back(Describe(session));
    if (!sessions.empty() && history_ && !address_.empty()) history_->Remember(address_);
    return sessions;
}

void DirectPlayTransport::Open(const SessionDescription& session) {
    RequireInitialized();
    if (open_) throw SessionError("a session is open already");
    const auto chosen = std::find_if(found_.begin(), found_.end(), [&](const directplay::SessionInfo& info) {
        return directplay::GuidText(info.desc.instance) == session.InstanceKey;
    });
    if (chosen == found_.end()) throw SessionError("the session was not found by the last search");
    joined_.reset();
    join_failure_.reset();
    lost_.reset();
    directplay::JoinRequest request;
    request.visible_player = false;
    client_->Join(*chosen, request);
    const Millis limit = config_.reply_timeout + config_.name_table_timeout + kGrace;
    if (!PumpUntil(limit, [this] { return joined_ || join_failure_; })) {
        client_->Leave();
        throw SessionError("join timed out", "The host did not finish the join.");
    }
    if (join_failure_) throw SessionError("join failed", *join_failure_);
    open_ = true;
}

std::int32_t DirectPlayTransport::CreatePlayer(const std::string& friendlyName,
                                               const std::string& formalName) {
    RequireOpen();
    if (own_player_ != 0) throw SessionError("this computer has its player already");
    joined_.reset();
    join_failure_.reset();
    if (!client_->CreateVisiblePlayer(friendlyName, formalName))
        throw SessionError("no player can be made now");
    if (!PumpUntil(config_.reply_timeout + kGrace, [this] { return joined_ || join_failure_; }))
        throw SessionError("no player", "The host did not give this computer a player.");
    if (join_failure_) {
        open_ = false;  // the machine has left the session
        throw SessionError("player refused", *join_failure_);
    }
    own_player_ = joined_->player;
    return ProgramPlayerId(own_player_);
}

void DirectPlayTransport::Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) {
    RequireOpen();
    RequireOwn(from);
    if (!client_->SendGameMessage(WirePlayerId(from), WirePlayerId(to), message, true))
        throw SessionError("no player or group " + std::to_string(to) + " in the session");
    Refresh();
}

std::int32_t DirectPlayTransport::MessageCount(std::int32_t player) {
    Refresh();
    RequireOpen();
    RequireOwn(player);
    return static_cast<std::int32_t>(std::min<std::size_t>(inbox_.size(), 0x7FFFFFFF));
}

ReceivedMessage DirectPlayTransport::Receive() {
    RequireOpen();
    if (inbox_.empty()) Refresh();
    if (inbox_.empty()) throw SessionError("no message is waiting");
    ReceivedMessage message = std::move(inbox_.front());
    inbox_.pop_front();
    return message;
}

std::vector<SessionMember> DirectPlayTransport::Groups() {
    Refresh();
    RequireOpen();
    std::vector<SessionMember> groups;
    for (const auto* group : client_->Names().Groups())
        groups.push_back({directplay::Utf16ToAnsi(group->short_name), ProgramPlayerId(group->id)});
    return groups;
}

std::vector<SessionMember> DirectPlayTransport::Players() {
    Refresh();
    RequireOpen();
    std::vector<SessionMember> players;
    for (const auto* player : client_->Names().Players())
        if (!player->IsSystemPlayer())
            players.push_back({directplay::Utf16ToAnsi(player->short_name), ProgramPlayerId(player->id)});
    return players;
}

void DirectPlayTransport::AddPlayerToGroup(std::int32_t group, std::int32_t player) {
    RequireOpen();
    RequireOwn(player);
    if (!client_->AddOwnPlayerToGroup(WirePlayerId(group)))
        throw SessionError("no group " + std::to_string(group) + " in the session");
    Refresh();
}

std::string DirectPlayTransport::FriendlyName(std::int32_t player) {
    RequireOpen();
    if (auto name = client_->PlayerName(WirePlayerId(player))) return *name;
    throw SessionError("no player " + std::to_string(player) + " in the session");
}

void DirectPlayTransport::DestroyPlayer(std::int32_t player) {
    RequireOpen();
    RequireOwn(player);
    client_->DestroyVisiblePlayer();
    own_player_ = 0;
    inbox_.clear();
    Refresh();
}

void DirectPlayTransport::Close() {
    if (!open_) return;
    open_ = false;
    own_player_ = 0;
    inbox_.clear();
    client_->Leave();
    PumpUntil(kFlushWait, [this] { return !driver_->Sending(); });
}

bool DirectPlayTransport::SessionLost() {
    if (!open_) return false;
    Refresh();
    return lost_.has_value();
}

bool DirectPlayTransport::PumpUntil(Millis limit, const std::function<bool()>& done) {
    const Millis end = clock_->Now() + limit;
    Refresh();
    while (!done()) {
        const Millis now = clock_->Now();
        if (now >= end) return false;
        driver_->Pump(end - now);
        for (auto& event : driver_->TakeEvents()) Absorb(event);
    }
    return true;
}

void DirectPlayTransport::Refresh() {
    driver_->Pump(Millis{0});
    for (auto& event : driver_->TakeEvents()) Absorb(event);
}

void DirectPlayTransport::Absorb(directplay::Action& event) {
    if (auto* deliver = std::get_if<action::Deliver>(&event)) {
        // Messages for this computer go to its one player; none come before it exists.
        if (open_ && own_player_ != 0)
            inbox_.push_back(
                {ProgramPlayerId(deliver->from), ProgramPlayerId(own_player_), std::move(deliver->payload)});
    } else if (auto* found = std::get_if<action::SessionFound>(&event)) {
        found_.push_back(std::move(found->session));
    } else if (std::holds_alternative<action::EnumerationDone>(event)) {
        enumeration_done_ = true;
    } else if (auto* joined = std::get_if<action::Joined>(&event)) {
        joined_ = *joined;
    } else if (auto* failed = std::get_if<action::JoinFailed>(&event)) {
        join_failure_ = failed->reason;
    } else if (auto* lost = std::get_if<action::SessionLost>(&event)) {
        lost_ = lost->reason;
        if (log_) log_(lost->reason);
    } else if (auto* log = std::get_if<action::Log>(&event)) {
        last_log_ = log->text;
        if (log_) log_(log->text);
    }
}

void DirectPlayTransport::RequireInitialized() const {
    if (!initialized_) throw SessionError("no connection type chosen");
}

void DirectPlayTransport::RequireOpen() {
    if (!open_) throw SessionError("no session is open");
    if (lost_) throw SessionError("the session was lost", *lost_);
}

void DirectPlayTransport::RequireOwn(std::int32_t player) const {
    if (own_player_ == 0 || WirePlayerId(player) != own_player_)
        throw SessionError("not a player of this computer: " + std::to_string(player));
}

}  // namespace tarnwick
