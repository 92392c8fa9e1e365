#include "multiplayer/tcpip/directplay_transport.h"

#include <algorithm>
#include <chrono>
#include <utility>

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
// Opening the ports is quick; a name server gives up well within the lookup's time.
constexpr Millis kSocketWait{2000};
constexpr Millis kLookupWait{30000};
// How long a driver that goes lets the last bytes out.
constexpr Millis kFlushWait{1000};
// Players announced between two receive ticks; more are left to the upkeep
// pass, so that a machine announcing ever new players cannot grow the list.
constexpr std::size_t kArrivalsKept = 512;
// The router is given a few seconds to be found and to answer; a search
// goes on without it after that.
constexpr Millis kMappingWait{10000};
// Mappings lapse on their own soon after the program is gone, whatever
// happened to it; they are renewed well before.
constexpr std::uint32_t kMappingLeaseSeconds = 120;
constexpr Millis kMappingRenewal{40000};
// Routers that gave the ports to other computers: the next ones are tried,
// a few times.
constexpr int kPortMoves = 8;
constexpr const char* kMappingDescription = "Tarnwick DirectPlay";

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

// The tools' POSIX driver, which may wait when it goes: leaving a session
// sends the machine's last messages, and they are let out before the sockets
// close.
class LingeringPosixRunner final : public directplay::PeerDriver {
   public:
    LingeringPosixRunner(directplay::SessionPeer& peer, const directplay::Clock& clock, std::uint32_t bind_ip)
        : clock_(clock), runner_(peer, clock, bind_ip) {}
    ~LingeringPosixRunner() override {
        const Millis end = clock_.Now() + kFlushWait;
        while (runner_.Sending() && clock_.Now() < end) runner_.PollOnce(Millis{10});
    }
    LingeringPosixRunner(const LingeringPosixRunner&) = delete;
    LingeringPosixRunner& operator=(const LingeringPosixRunner&) = delete;

    void Pump(Millis max_wait) override { runner_.Pump(max_wait); }
    std::vector<directplay::Action> TakeEvents() override { return runner_.TakeEvents(); }
    bool Sending() const override { return runner_.Sending(); }

   private:
    const directplay::Clock& clock_;
    directplay::PosixRunner runner_;
};

}  // namespace

PeerDriverFactory PosixPeerDrivers(std::uint32_t bind_ip) {
    return [bind_ip](directplay::SessionPeer& peer, const directplay::Clock& clock) {
        return std::make_unique<LingeringPosixRunner>(peer, clock, bind_ip);
    };
}

DirectPlayTransport::DirectPlayTransport(DirectPlayTransportOptions options)
    : config_(options.Client),
      clock_(std::move(options.Clock)),
      history_(std::move(options.History)),
      resolver_(options.Resolver ? std::move(options.Resolver) : SystemHostResolver()),
      mapper_(std::move(options.Mapper)),
      mappingSetting_(std::move(options.MappingSetting)),
      needsRouter_(options.NeedsRouter ? std::move(options.NeedsRouter)
                                       : std::function<bool(std::uint32_t)>(BeyondHomeRouter)),
      log_(std::move(options.Log)),
      driverFactory_(std::move(options.Driver)),
      client_(std::make_unique<directplay::DirectPlayClient>(config_, *clock_)),
      driver_(driverFactory_(*client_, *clock_)) {}

DirectPlayTransport::~DirectPlayTransport() {
    Close();
    if (mapper_ && mappingRequest_) mapper_->Unmap(*mappingRequest_);
}

std::vector<std::string> DirectPlayTransport::ConnectionTypes() { return {kTcpIpConnectionName}; }

void DirectPlayTransport::StartInitializeConnection(int number) {
    if (number != 1) throw SessionError("no such connection type");
    RequireIdle();
    if (initialized_) throw SessionError("the connection is set up already");
    Begin(Operation::kAsking, Millis{0});
}

ProviderQuestion DirectPlayTransport::Question() {
    if (operation_ != Operation::kAsking) throw SessionError("nothing is asked");
    ProviderQuestion question{
        kAddressQuestion, {}, history_ ? history_->Recent() : std::vector<std::string>{}};
    if (!question.Suggestions.empty()) question.DefaultAnswer = question.Suggestions.front();
    if (mapper_) question.OpenRouterPorts = !mappingSetting_ || mappingSetting_->Enabled();
    return question;
}

void DirectPlayTransport::Answer(std::optional<std::string> answer) {
    if (operation_ != Operation::kAsking) throw SessionError("nothing is asked");
    if (!answer) return Fail("the host's address was not given", {});
    mappingWanted_ = mapper_ && (!mappingSetting_ || mappingSetting_->Enabled());
    address_ = TrimmedAddress(*answer);
    if (address_.empty()) return OpenSockets();
    if (const auto ip = directplay::ParseIp(address_)) {
        hostIp_ = ip;
        return OpenSockets();
    }
    lookup_ = resolver_->Lookup(address_);
    Begin(Operation::kLookingUp, kLookupWait);
}

void DirectPlayTransport::OpenSockets() {
    client_->Start();
    Begin(Operation::kOpeningSockets, kSocketWait);
}

void DirectPlayTransport::StartEnumerateSessions() {
    RequireIdle();
    RequireInitialized();
    enumerationDone_ = false;
    found_.clear();
    sessions_.clear();
    client_->Enumerate(hostIp_);
    Begin(Operation::kEnumerating, config_.enumeration_time + kGrace);
}

void DirectPlayTransport::StartOpen(const SessionDescription& session) {
    RequireIdle();
    RequireInitialized();
    if (open_) throw SessionError("a session is open already");
    const auto chosen = std::find_if(found_.begin(), found_.end(), [&](const directplay::SessionInfo& info) {
        return directplay::GuidText(info.desc.instance) == session.InstanceKey;
    });
    if (chosen == found_.end()) throw SessionError("the session was not found by the last search");
    joined_.reset();
    joinFailure_.reset();
    lost_.reset();
    directplay::JoinRequest request;
    request.visible_player = false;
    client_->Join(*chosen, request);
    Begin(Operation::kJoining, config_.reply_timeout + config_.name_table_timeout + kGrace);
}

void DirectPlayTransport::StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) {
    RequireIdle();
    RequireOpen();
    if (ownPlayer_ != 0) throw SessionError("this computer has its player already");
    joined_.reset();
    joinFailure_.reset();
    if (!client_->CreateVisiblePlayer(friendlyName, formalName))
        throw SessionError("no player can be made now");
    Begin(Operation::kCreatingPlayer, config_.reply_timeout + kGrace);
}

std::int32_t DirectPlayTransport::CreatedPlayer() {
    if (ownPlayer_ == 0) throw SessionError("no player made");
    return ProgramPlayerId(ownPlayer_);
}

Progress DirectPlayTransport::Advance() {
    Refresh();
    // A stage that ends may start the next, which may be ready at once.
    for (Operation was = Operation::kNone; operation_ != was && !failure_;) {
        was = operation_;
        Check();
    }
    if (failure_) {
        operation_ = Operation::kNone;
        const SessionError failure = *std::exchange(failure_, std::nullopt);
        throw failure;
    }
    switch (operation_) {
        case Operation::kNone:
            return Progress::Finished;
        case Operation::kAsking:
            return Progress::Asking;
        default:
            return Progress::Working;
    }
}

void DirectPlayTransport::Check() {
    switch (operation_) {
        case Operation::kNone:
        case Operation::kAsking:
            return;
        case Operation::kLookingUp:
            return CheckLookup();
        case Operation::kOpeningSockets:
            return CheckSockets();
        case Operation::kMappingPorts:
            return CheckMapping();
        case Operation::kEnumerating:
            return CheckEnumeration();
        case Operation::kJoining:
            return CheckJoin();
        case Operation::kCreatingPlayer:
            return CheckPlayer();
    }
}

void DirectPlayTransport::CheckLookup() {
    const bool answered = lookup_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    if (!answered && !TimedOut()) return;
    std::optional<std::uint32_t> ip;
    try {
        if (answered) ip = lookup_.get();
    } catch (const std::future_error&) {
        // The lookup could not be made: the name stays unknown.
    }
    lookup_ = {};
    if (!ip)
        return Fail("unknown host", "Tarnwick could not find the computer \"" + Ansi(address_) +
                                        "\": check its name, or type its IPv4 address.");
    hostIp_ = ip;
    OpenSockets();
}

void DirectPlayTransport::CheckSockets() {
    if (client_->CurrentState() == directplay::DirectPlayClient::State::kOpening && !TimedOut()) return;
    if (!client_->SocketsOpen()) {
        const std::string reason = lastLog_.empty() ? "no free ports" : lastLog_;
        return Fail("ports not open", "Tarnwick " + reason +
                                          ". Close another DirectPlay program that holds them, or free "
                                          "a TCP port in 2300-2349 and a UDP port in 2350-2399.");
    }
    // A search of the local network, or of a host on it, passes no router.
    if (!mappingWanted_ || !hostIp_ || !needsRouter_(*hostIp_)) {
        initialized_ = true;
        operation_ = Operation::kNone;
        return;
    }
    mappingRequest_ =
        PortMappingRequest{client_->TcpPort(), client_->UdpPort(), kMappingLeaseSeconds, kMappingDescription};
    mappingAnswer_ = mapper_->Map(*mappingRequest_);
    Begin(Operation::kMappingPorts, kMappingWait);
}

void DirectPlayTransport::CheckMapping() {
    const bool answered = mappingAnswer_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    if (!answered && !TimedOut()) return;
    PortMappingResult result;
    result.Refusal = "no answer in time";
    try {
        if (answered) result = mappingAnswer_.get();
    } catch (const std::future_error&) {
        // The mapper could not ask: as if no router had answered.
    }
    mappingAnswer_ = {};
    if (!result.Mapped && MoveToNextPorts(result)) return;
    mapping_ = result;
    if (result.Mapped) {
        nextRenewal_ = clock_->Now() + kMappingRenewal;
        if (log_) log_(MappingSummary(*mappingRequest_, result));
    } else if (log_) {
        log_("router ports not opened. " + RouterAdvice(result, true));
    }
    initialized_ = true;
    operation_ = Operation::kNone;
}

bool DirectPlayTransport::MoveToNextPorts(const PortMappingResult& refused) {
    if ((!refused.TcpPortTaken && !refused.UdpPortTaken) || ++portMoves_ > kPortMoves) return false;
    // The ports this computer listens on are the ones DirectPlay tells the
    // host, so the outside ports can only differ by listening elsewhere.
    directplay::PortRange& tcp = config_.peer.tcp_ports;
    directplay::PortRange& udp = config_.peer.udp_ports;
    const auto next = [](directplay::PortRange& range, std::uint16_t taken) {
        if (range.first == 0 || taken >= range.last) return false;
        range.first = static_cast<std::uint16_t>(taken + 1);
        return true;
    };
    if (refused.TcpPortTaken && !next(tcp, mappingRequest_->TcpPort)) return false;
    if (refused.UdpPortTaken && !next(udp, mappingRequest_->UdpPort)) return false;
    if (log_) log_("the router gave the ports to another computer: listening on the next ones");
    driver_.reset();
    client_ = std::make_unique<directplay::DirectPlayClient>(config_, *clock_);
    driver_ = driverFactory_(*client_, *clock_);
    OpenSockets();
    return true;
}

void DirectPlayTransport::RenewMapping() {
    if (!mapping_ || !mapping_->Mapped) return;
    if (mappingAnswer_.valid()) {
        if (mappingAnswer_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
        PortMappingResult renewed;
        try {
            renewed = mappingAnswer_.get();
        } catch (const std::future_error&) {
        }
        if (!renewed.Mapped && log_) log_("the router did not renew the ports: " + renewed.Refusal);
    } else if (clock_->Now() >= nextRenewal_) {
        mappingAnswer_ = mapper_->Map(*mappingRequest_);
        nextRenewal_ = clock_->Now() + kMappingRenewal;
    }
}

std::string DirectPlayTransport::RouterAdviceNow() const {
    if (!mapper_ || !hostIp_ || !needsRouter_(*hostIp_)) return {};
    if (!mappingWanted_) return RouterAdvice({}, false);
    return mapping_ ? RouterAdvice(*mapping_, true) : std::string();
}

std::string DirectPlayTransport::RouterStatus() {
    if (!mapper_) return {};
    if (operation_ == Operation::kMappingPorts) return "Asking the router to open ports...";
    if (mapping_ && mapping_->Mapped)
        return "Router ports opened (TCP " + std::to_string(mappingRequest_->TcpPort) + ", UDP " +
               std::to_string(mappingRequest_->UdpPort) + ")";
    if (mapping_)
        return mapping_->RouterFound ? "Router refused to open ports" : "No router found to open ports";
    if (initialized_ && !mappingWanted_ && hostIp_ && needsRouter_(*hostIp_))
        return "Router ports not asked for";
    return {};
}

std::string DirectPlayTransport::NothingFoundNote() {
    if (!initialized_) return {};
    const std::string ports = "no firewall blocks UDP port " + std::to_string(config_.enumeration_port) +
                              " to the host or TCP ports 2300-2349 back to this computer.";
    std::string note = address_.empty()
                           ? "No session found on the local network. Check that FS2002 hosts a session on it "
                             "and that " +
                                 ports
                           : "No session found at " + Ansi(address_) +
                                 ". Check that the address is right, that FS2002 hosts a session there "
                                 "and that " +
                                 ports;
    if (const std::string router = RouterAdviceNow(); !router.empty()) note += " " + router;
    return note;
}

void DirectPlayTransport::CheckEnumeration() {
    if (!enumerationDone_ && !TimedOut()) return;
    for (const auto& session : found_) sessions_.push_back(Describe(session));
    if (!sessions_.empty() && history_ && !address_.empty()) history_->Remember(address_);
    // A host answers a search on a connection it opens back to this
    // computer: behind a router that lets nothing in, no answer comes.
    if (sessions_.empty() && hostIp_ && log_)
        if (const std::string advice = RouterAdviceNow(); !advice.empty())
            log_("no session answered from " + address_ + ". " + advice);
    operation_ = Operation::kNone;
}

void DirectPlayTransport::CheckJoin() {
    const auto withRouter = [this](const std::string& advice) {
        const std::string router = RouterAdviceNow();
        return router.empty() ? advice : advice + " " + router;
    };
    if (joinFailure_) return Fail("join failed", withRouter(*joinFailure_));
    if (joined_) {
        open_ = true;
        operation_ = Operation::kNone;
    } else if (TimedOut()) {
        client_->Leave();
        Fail("join timed out", withRouter("The host did not finish the join."));
    }
}

void DirectPlayTransport::CheckPlayer() {
    if (joinFailure_) {
        open_ = false;  // the machine has left the session
        return Fail("player refused", *joinFailure_);
    }
    if (joined_) {
        ownPlayer_ = joined_->player;
        operation_ = Operation::kNone;
    } else if (TimedOut()) {
        Fail("no player", "The host did not give this computer a player.");
    }
}

void DirectPlayTransport::Begin(Operation operation, Millis limit) {
    operation_ = operation;
    deadline_ = clock_->Now() + limit;
    failure_.reset();
}

void DirectPlayTransport::Fail(const std::string& what, std::string advice) {
    failure_ = SessionError(what, std::move(advice));
}

bool DirectPlayTransport::TimedOut() const { return clock_->Now() >= deadline_; }

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
    ownPlayer_ = 0;
    inbox_.clear();
    Refresh();
}

void DirectPlayTransport::Close() {
    const bool joining = operation_ == Operation::kJoining || operation_ == Operation::kCreatingPlayer;
    operation_ = Operation::kNone;
    if (!open_ && !joining) return;
    open_ = false;
    ownPlayer_ = 0;
    inbox_.clear();
    arrived_.clear();
    client_->Leave();
    Refresh();
}

std::vector<std::int32_t> DirectPlayTransport::TakeArrivedPlayers() {
    Refresh();
    return std::exchange(arrived_, {});
}

bool DirectPlayTransport::SessionLost() {
    if (!open_) return false;
    Refresh();
    return lost_.has_value();
}

void DirectPlayTransport::Refresh() {
    RenewMapping();
    driver_->Pump(Millis{0});
    for (auto& event : driver_->TakeEvents()) Absorb(event);
}

void DirectPlayTransport::Absorb(directplay::Action& event) {
    if (auto* deliver = std::get_if<action::Deliver>(&event)) {
        // Messages for this computer go to its one player; none come before it exists.
        if (open_ && ownPlayer_ != 0)
            inbox_.push_back(
                {ProgramPlayerId(deliver->from), ProgramPlayerId(ownPlayer_), std::move(deliver->payload)});
    } else if (const auto* created = std::get_if<action::PlayerCreated>(&event)) {
        // Those the join's name table brings are asked by the program's request to all.
        if (open_ && arrived_.size() < kArrivalsKept) arrived_.push_back(ProgramPlayerId(created->id));
    } else if (auto* found = std::get_if<action::SessionFound>(&event)) {
        found_.push_back(std::move(found->session));
    } else if (std::holds_alternative<action::EnumerationDone>(event)) {
        enumerationDone_ = true;
    } else if (auto* joined = std::get_if<action::Joined>(&event)) {
        joined_ = *joined;
    } else if (auto* failed = std::get_if<action::JoinFailed>(&event)) {
        joinFailure_ = failed->reason;
    } else if (auto* lost = std::get_if<action::SessionLost>(&event)) {
        lost_ = lost->reason;
        if (log_) log_(lost->reason);
    } else if (auto* log = std::get_if<action::Log>(&event)) {
        lastLog_ = log->text;
        if (log_) log_(log->text);
    }
}

void DirectPlayTransport::RequireIdle() const {
    if (operation_ != Operation::kNone) throw SessionError("another operation is under way");
}

void DirectPlayTransport::RequireInitialized() const {
    if (!initialized_) throw SessionError("no connection type chosen");
}

void DirectPlayTransport::RequireOpen() {
    if (!open_) throw SessionError("no session is open");
    if (lost_) throw SessionError("the session was lost", *lost_);
}

void DirectPlayTransport::RequireOwn(std::int32_t player) const {
    if (ownPlayer_ == 0 || WirePlayerId(player) != ownPlayer_)
        throw SessionError("not a player of this computer: " + std::to_string(player));
}

}  // namespace tarnwick
