#pragma once
// The program's own connection types and the object that dispatches to the one
// the user chose. A new kind of connection plugs in as one more factory.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "multiplayer/session_transport.h"

namespace tarnwick {

inline constexpr const char* kIpxConnectionName = "IPX Connection For DirectPlay";
inline constexpr const char* kTcpIpConnectionName = "Internet TCP/IP Connection For DirectPlay";
inline constexpr const char* kDemoConnectionName = "Demo Session On This Computer";

using TransportFactory = std::function<std::unique_ptr<SessionTransport>()>;

struct ConnectionType {
    std::string Name;
    // Makes a transport for this kind of connection; empty while the program
    // has none, and choosing the type then fails like a cancelled connection.
    TransportFactory Create;
};

// The connection types in the order they are enumerated. The first is listed
// as DirectPlay lists it but never offered; TCP/IP fails until `tcpIp` exists.
std::vector<ConnectionType> ProgramConnectionTypes(TransportFactory demo, TransportFactory tcpIp = {});

// A session object over several connection types: InitializeConnection makes
// the chosen type's transport, and every later operation goes to it.
class ServiceProviderSet final : public SessionTransport {
   public:
    explicit ServiceProviderSet(std::vector<ConnectionType> types) : types_(std::move(types)) {}

    std::vector<std::string> ConnectionTypes() override;
    void InitializeConnection(int number, const ProviderPrompt& prompt) override;
    std::vector<SessionDescription> EnumerateSessions() override { return Bound().EnumerateSessions(); }
    void Open(const SessionDescription& session) override { Bound().Open(session); }
    std::int32_t CreatePlayer(const std::string& friendlyName, const std::string& formalName) override {
        return Bound().CreatePlayer(friendlyName, formalName);
    }
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override {
        Bound().Send(from, to, message);
    }
    std::int32_t MessageCount(std::int32_t player) override { return Bound().MessageCount(player); }
    ReceivedMessage Receive() override { return Bound().Receive(); }
    std::vector<SessionMember> Groups() override { return Bound().Groups(); }
    std::vector<SessionMember> Players() override { return Bound().Players(); }
    void AddPlayerToGroup(std::int32_t group, std::int32_t player) override {
        Bound().AddPlayerToGroup(group, player);
    }
    std::string FriendlyName(std::int32_t player) override { return Bound().FriendlyName(player); }
    void DestroyPlayer(std::int32_t player) override { Bound().DestroyPlayer(player); }
    void Close() override { Bound().Close(); }
    bool SessionLost() override { return bound_ && bound_->SessionLost(); }

   private:
    SessionTransport& Bound();

    std::vector<ConnectionType> types_;
    std::unique_ptr<SessionTransport> bound_;
};

}  // namespace tarnwick
