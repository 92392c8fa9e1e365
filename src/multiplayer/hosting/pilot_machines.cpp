#include "multiplayer/hosting/pilot_machines.h"

#include <algorithm>
#include <set>

#include "multiplayer/directplay/utf16_text.h"
#include "multiplayer/tcpip/directplay_ids.h"

namespace tarnwick {

using directplay::Millis;
namespace action = directplay::action;

namespace {

// Generous: the host waits up to 15 s for the other machines before it
// answers a joiner.
constexpr Millis kJoinWait{40000};
constexpr Millis kSearchWait{3000};

}  // namespace

struct PilotMachines::Machine {
    std::uint32_t Address = 0;
    std::unique_ptr<directplay::DirectPlayClient> Client;
    std::unique_ptr<directplay::PosixRunner> Runner;  // goes first: it works on the client
    directplay::PlayerId Player = 0;
    std::deque<ReceivedMessage> Inbox;
    std::optional<std::string> JoinFailure;
    bool Joined = false;
    bool Lost = false;
};

PilotMachines::PilotMachines(PilotMachinesSetup setup, const directplay::Clock& clock)
    : setup_(std::move(setup)), clock_(clock) {}

PilotMachines::~PilotMachines() {
    // Runners close their sockets before their clients go.
    for (auto& machine : machines_) machine->Runner.reset();
}

bool PilotMachines::FindSession() {
    const auto address = FreeAddress();
    if (!address) return false;
    directplay::ClientConfig config;
    if (setup_.SystemPorts) config.peer.tcp_ports = config.peer.udp_ports = {0, 0};
    config.enumeration_port = setup_.EnumerationPort;
    config.enumeration_time = kSearchWait;
    directplay::DirectPlayClient scout(config, clock_);
    directplay::PosixRunner runner(scout, clock_, *address);
    scout.Enumerate(setup_.HostIp);
    std::vector<directplay::SessionInfo> found;
    for (bool done = false; !done;) {
        runner.PollOnce(Millis{20});
        for (auto& event : runner.TakeEvents()) {
            if (const auto* session = std::get_if<action::SessionFound>(&event))
                found.push_back(session->session);
            if (std::holds_alternative<action::EnumerationDone>(event)) done = true;
            if (const auto* log = std::get_if<action::Log>(&event); log && setup_.Note)
                setup_.Note(*address, log->text);
        }
    }
    for (const auto& session : found) {
        if (setup_.SessionName.empty() || directplay::Utf16ToAnsi(session.name) == setup_.SessionName) {
            session_ = session;
            return true;
        }
    }
    if (setup_.Note)
        setup_.Note(*address, found.empty()
                                  ? "no session answered at " + directplay::IpText(setup_.HostIp)
                                  : "no session of that name at " + directplay::IpText(setup_.HostIp));
    return false;
}

std::int32_t PilotMachines::AddPlayer(const std::string& friendlyName) {
    if (!session_) throw SessionError("no session found");
    const auto address = FreeAddress();
    if (!address) throw SessionError("no free address for another machine");
    directplay::ClientConfig config;
    if (setup_.SystemPorts) config.peer.tcp_ports = config.peer.udp_ports = {0, 0};
    config.enumeration_port = setup_.EnumerationPort;
    // The other pilots' machines are left alone (see the header).
    config.peer.ignored = [this](const directplay::Endpoint& listener) {
        return listeners_.contains(listener);
    };
    auto machine = std::make_unique<Machine>();
    machine->Address = *address;
    machine->Client = std::make_unique<directplay::DirectPlayClient>(config, clock_);
    machine->Runner = std::make_unique<directplay::PosixRunner>(*machine->Client, clock_, *address);
    Machine& joining = *machines_.emplace_back(std::move(machine));
    directplay::JoinRequest request;
    request.player_name = friendlyName;
    joining.Client->Join(CurrentSession(), request);
    for (const Millis end = clock_.Now() + kJoinWait;
         !joining.Joined && !joining.JoinFailure && clock_.Now() < end;)
        Turn(Millis{5});
    if (!joining.Joined) {
        const std::string reason = joining.JoinFailure.value_or("the join took too long");
        Drop(joining, false);
        throw SessionError("a pilot's machine could not join: " + reason);
    }
    return ProgramPlayerId(joining.Player);
}

void PilotMachines::RemovePlayer(std::int32_t player) {
    if (Machine* machine = Find(player)) Drop(*machine, true);
}

std::int32_t PilotMachines::AddGroup(const std::string& name) {
    throw SessionError("a pilot's machine makes no group (" + name + ")");
}

void PilotMachines::Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) {
    Machine* machine = Find(from);
    if (machine == nullptr || machine->Lost) return;
    machine->Client->SendGameMessage(WirePlayerId(from), WirePlayerId(to), message, true);
}

std::optional<ReceivedMessage> PilotMachines::Receive(std::int32_t player) {
    Machine* machine = Find(player);
    if (machine == nullptr || machine->Inbox.empty()) return std::nullopt;
    ReceivedMessage message = std::move(machine->Inbox.front());
    machine->Inbox.pop_front();
    return message;
}

void PilotMachines::Turn(Millis wait) {
    std::vector<directplay::PosixRunner*> runners;
    for (const auto& machine : machines_)
        if (machine->Runner) runners.push_back(machine->Runner.get());
    directplay::PosixRunner::PollAll(runners, wait);
    // A machine's listener is known to the others as soon as its sockets are
    // open, before anyone outside can tell them of it.
    for (const auto& machine : machines_)
        if (machine->Client && machine->Client->SocketsOpen())
            listeners_.insert({machine->Address, machine->Client->TcpPort()});
    // Absorbing may let a machine go; the list is walked by index.
    for (std::size_t i = 0; i < machines_.size(); ++i) {
        Machine& machine = *machines_[i];
        if (!machine.Runner) continue;
        for (auto& event : machine.Runner->TakeEvents()) Absorb(machine, event);
    }
    std::erase_if(machines_, [](const auto& machine) { return !machine->Client; });
}

void PilotMachines::Absorb(Machine& machine, directplay::Action& event) {
    const auto note = [&](const std::string& text) {
        if (setup_.Note) setup_.Note(machine.Address, text);
    };
    if (auto* deliver = std::get_if<action::Deliver>(&event)) {
        if (machine.Joined)
            machine.Inbox.push_back({ProgramPlayerId(deliver->from), ProgramPlayerId(machine.Player),
                                     std::move(deliver->payload)});
    } else if (const auto* joined = std::get_if<action::Joined>(&event)) {
        machine.Joined = true;
        machine.Player = joined->player;
        note("joined as player " + std::to_string(ProgramPlayerId(joined->player)));
    } else if (const auto* failed = std::get_if<action::JoinFailed>(&event)) {
        machine.JoinFailure = failed->reason;
        note("could not join: " + failed->reason);
    } else if (const auto* lost = std::get_if<action::SessionLost>(&event)) {
        machine.Lost = true;
        note("lost the session: " + lost->reason);
    } else if (const auto* changed = std::get_if<action::HostChanged>(&event)) {
        note(changed->this_machine
                 ? "hosts the session now"
                 : "follows the new host " + std::to_string(ProgramPlayerId(changed->host)));
    } else if (const auto* log = std::get_if<action::Log>(&event)) {
        note(log->text);
    }
}

std::optional<PilotMachines::Departure> PilotMachines::DepartOne(bool leaveFirst) {
    Machine* machine = Oldest();
    if (machine == nullptr) return std::nullopt;
    const Departure departure{machine->Address, ProgramPlayerId(machine->Player)};
    Drop(*machine, leaveFirst);
    return departure;
}

bool PilotMachines::LeaveAll(Millis wait) {
    for (const auto& machine : machines_)
        if (machine->Client && machine->Joined && !machine->Lost) machine->Client->Leave();
    const Millis end = clock_.Now() + wait;
    const auto sending = [&] {
        return std::any_of(machines_.begin(), machines_.end(),
                           [](const auto& machine) { return machine->Runner && machine->Runner->Sending(); });
    };
    do {
        Turn(Millis{10});
    } while (sending() && clock_.Now() < end);
    return !sending();
}

std::size_t PilotMachines::Count() const {
    return static_cast<std::size_t>(std::count_if(
        machines_.begin(), machines_.end(),
        [](const auto& machine) { return machine->Client && machine->Joined && !machine->Lost; }));
}

PilotMachines::Machine* PilotMachines::Find(std::int32_t player) const {
    for (const auto& machine : machines_)
        if (machine->Client && machine->Joined && ProgramPlayerId(machine->Player) == player)
            return machine.get();
    return nullptr;
}

PilotMachines::Machine* PilotMachines::Oldest() const {
    for (const auto& machine : machines_)
        if (machine->Client && machine->Joined && !machine->Lost) return machine.get();
    return nullptr;
}

std::optional<std::uint32_t> PilotMachines::FreeAddress() const {
    std::set<std::uint32_t> taken;
    for (const auto& machine : machines_)
        if (machine->Client) taken.insert(machine->Address);
    for (const std::uint32_t address : setup_.Addresses)
        if (!taken.contains(address)) return address;
    return std::nullopt;
}

directplay::SessionInfo PilotMachines::CurrentSession() const {
    directplay::SessionInfo session = *session_;
    for (const auto& machine : machines_) {
        if (!machine->Client || !machine->Joined || machine->Lost) continue;
        const directplay::DirectPlayClient& client = *machine->Client;
        session.desc = client.Session();
        session.host = client.Serving() ? directplay::Endpoint{machine->Address, client.TcpPort()}
                                        : client.HostListener();
        break;
    }
    return session;
}

void PilotMachines::Drop(Machine& machine, bool leaveFirst) {
    if (leaveFirst && machine.Joined && !machine.Lost) {
        machine.Client->Leave();
        // The farewell goes out before the sockets close.
        for (const Millis end = clock_.Now() + Millis{500}; machine.Runner->Sending() && clock_.Now() < end;)
            machine.Runner->PollOnce(Millis{5});
    }
    if (setup_.Note) setup_.Note(machine.Address, leaveFirst ? "left the session" : "vanished");
    machine.Runner.reset();
    machine.Client.reset();
    machine.Joined = false;
}

}  // namespace tarnwick
