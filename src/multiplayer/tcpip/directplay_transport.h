#pragma once
// "Internet TCP/IP Connection For DirectPlay": the program's session
// operations over a DirectPlay 4 client on TCP/IP. A driver runs the client
// machine on sockets (plain POSIX for the tools, the program's event loop for
// the windows); the operations that wait start it on its way and Advance
// reads what the driver has brought, so nothing here ever waits itself.
//
// The session is joined with this computer's system player alone; the
// program's visible player comes with CreatePlayer, as with DirectPlay.
// Player ids are DirectPlay's own, as signed 32-bit values.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/peer_driver.h"
#include "multiplayer/session_transport.h"
#include "multiplayer/tcpip/address_history.h"
#include "multiplayer/tcpip/host_resolver.h"
#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick {

using PeerDriverFactory = std::function<std::unique_ptr<directplay::PeerDriver>(directplay::SessionPeer&,
                                                                                const directplay::Clock&)>;

// Drivers on plain POSIX sockets bound to this address (0: every interface),
// for the tools, which may wait: a driver that goes lets the last bytes out
// first, for a second at most.
PeerDriverFactory PosixPeerDrivers(std::uint32_t bind_ip = directplay::kAnyAddress);

struct DirectPlayTransportOptions {
    // Ports (DirectPlay's by default; tests pick their own) and timings.
    directplay::ClientConfig Client;
    std::shared_ptr<const directplay::Clock> Clock;
    PeerDriverFactory Driver;
    // Where the addresses typed at the prompt are kept; none when empty.
    std::shared_ptr<AddressHistory> History;
    // Looks up the host names typed at the prompt; the system's when empty.
    std::shared_ptr<HostResolver> Resolver;
    // Opens this computer's ports on the home router; none: no router is asked.
    std::shared_ptr<PortMapper> Mapper;
    // Whether the user lets the router be asked; always, when empty.
    std::shared_ptr<PortMappingSetting> MappingSetting;
    // Which hosts the router is asked for: BeyondHomeRouter when empty.
    std::function<bool(std::uint32_t host_ip)> NeedsRouter;
    // What the machine logs (dropped messages, closed connections) and the
    // ports mapped on the router; UTF-8.
    std::function<void(const std::string&)> Log;
};

class DirectPlayTransport final : public SessionTransport {
   public:
    explicit DirectPlayTransport(DirectPlayTransportOptions options);
    ~DirectPlayTransport() override;
    DirectPlayTransport(const DirectPlayTransport&) = delete;
    DirectPlayTransport& operator=(const DirectPlayTransport&) = delete;

    std::vector<std::string> ConnectionTypes() override;
    // Asks for the host's address (a name or IPv4; empty: every host on the
    // local network), looks the name up, opens this computer's DirectPlay
    // ports and has the router open them too, on the same numbers (taking the
    // next ports where the router has given those to another computer).
    void StartInitializeConnection(int number) override;
    // Every session that answers within the enumeration time.
    void StartEnumerateSessions() override;
    void StartOpen(const SessionDescription& session) override;
    void StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) override;
    Progress Advance() override;
    ProviderQuestion Question() override;
    void Answer(std::optional<std::string> answer) override;
    std::vector<SessionDescription> FoundSessions() override { return sessions_; }
    std::int32_t CreatedPlayer() override;
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override;
    std::int32_t MessageCount(std::int32_t player) override;
    ReceivedMessage Receive() override;
    std::vector<SessionMember> Groups() override;
    std::vector<SessionMember> Players() override;
    void AddPlayerToGroup(std::int32_t group, std::int32_t player) override;
    std::string FriendlyName(std::int32_t player) override;
    void DestroyPlayer(std::int32_t player) override;
    // Deletes this computer's players everywhere, or gives up a join under
    // way; the driver lets the last bytes go when it goes.
    void Close() override;
    bool SessionLost() override;
    // Players whose machines announced them once the session was open; a
    // bounded number between two calls.
    std::vector<std::int32_t> TakeArrivedPlayers() override;
    std::string RouterStatus() override;
    // Where the search looked (the address typed, or the local network), that
    // the host must run a session there and reach this computer back, and
    // what the router did.
    std::string NothingFoundNote() override;

   private:
    // The operation under way, one stage after the other.
    enum class Operation {
        kNone,
        kAsking,
        kLookingUp,
        kOpeningSockets,
        kMappingPorts,
        kEnumerating,
        kJoining,
        kCreatingPlayer
    };

    void Begin(Operation operation, directplay::Millis limit);
    // Looks at the stage under way once; it may finish, fail or move on.
    void Check();
    void CheckLookup();
    void CheckSockets();
    void CheckMapping();
    // Listens on other ports: the router gave the outside ones to another computer.
    bool MoveToNextPorts(const PortMappingResult& refused);
    void RenewMapping();
    // The router's part of the advice on a search or join that came to nothing.
    std::string RouterAdviceNow() const;
    void CheckEnumeration();
    void CheckJoin();
    void CheckPlayer();
    void OpenSockets();
    void Fail(const std::string& what, std::string advice);
    bool TimedOut() const;
    // Takes in what the driver has without waiting.
    void Refresh();
    void Absorb(directplay::Action& event);
    void RequireIdle() const;
    void RequireInitialized() const;
    void RequireOpen();
    void RequireOwn(std::int32_t player) const;

    directplay::ClientConfig config_;
    std::shared_ptr<const directplay::Clock> clock_;
    std::shared_ptr<AddressHistory> history_;
    std::shared_ptr<HostResolver> resolver_;
    std::shared_ptr<PortMapper> mapper_;
    std::shared_ptr<PortMappingSetting> mappingSetting_;
    std::function<bool(std::uint32_t)> needsRouter_;
    std::function<void(const std::string&)> log_;
    PeerDriverFactory driverFactory_;
    // The driver works on the client, so it goes first.
    std::unique_ptr<directplay::DirectPlayClient> client_;
    std::unique_ptr<directplay::PeerDriver> driver_;

    Operation operation_ = Operation::kNone;
    directplay::Millis deadline_{0};
    std::optional<SessionError> failure_;
    HostLookup lookup_;
    // the router: the ports asked for, its last answer, the renewal under way
    bool mappingWanted_ = false;
    std::optional<PortMappingRequest> mappingRequest_;
    std::optional<PortMappingResult> mapping_;
    PortMapping mappingAnswer_;
    directplay::Millis nextRenewal_{0};
    int portMoves_ = 0;

    bool initialized_ = false;
    std::string address_;  // as typed; empty for the local network
    std::optional<std::uint32_t> hostIp_;
    std::string lastLog_;
    // enumeration
    bool enumerationDone_ = false;
    std::vector<directplay::SessionInfo> found_;
    std::vector<SessionDescription> sessions_;
    // joining and the session
    std::optional<directplay::action::Joined> joined_;
    std::optional<std::string> joinFailure_;
    std::optional<std::string> lost_;
    bool open_ = false;
    directplay::PlayerId ownPlayer_ = 0;
    std::deque<ReceivedMessage> inbox_;
    std::vector<std::int32_t> arrived_;
};

}  // namespace tarnwick
