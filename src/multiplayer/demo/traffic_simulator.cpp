#include "multiplayer/demo/traffic_simulator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "base/rounding.h"
#include "geo/local_plane.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/wire_values.h"

namespace tarnwick {
namespace {

using Ms = std::int64_t;
constexpr Ms kStepMs = 250;  // four position reports a second
constexpr Ms kLongestCatchUpMs = 20'000;
constexpr Ms kWarmUpMs = 300'000;
constexpr Ms kDepartureSpacingMs = 90'000;
constexpr double kNm = geo::kMetresPerNm;

// The engine's output sequence is fixed by the standard; the library's
// distributions are not, so the spreads are worked out here.
class Dice {
   public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    double Uniform(double low, double high) {
        const double unit = static_cast<double>(engine_() >> 11) * 0x1.0p-53;
        return low + (high - low) * unit;
    }
    int Between(int low, int high) {  // both included
        return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Chance(double p) { return Uniform(0.0, 1.0) < p; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(Between(0, static_cast<int>(N) - 1))];
    }

   private:
    std::mt19937_64 engine_;
};

struct AircraftType {
    const char* Title;
    std::int16_t Category;  // 0 piston, 1 jet
    AircraftPerformance Performance;
};

constexpr std::array<AircraftType, 3> kJets = {{
    {"Boeing 737-400", 1, {145, 250, 290, 140, 2500, 2000, 3.0, 4.0}},
    {"Boeing 777-300", 1, {150, 250, 300, 150, 2000, 2000, 2.5, 3.5}},
    {"Learjet 45", 1, {125, 240, 300, 130, 3500, 2500, 3.0, 5.0}},
}};
constexpr std::array<AircraftType, 3> kPistons = {{
    {"Cessna Skyhawk 172SP", 0, {55, 75, 110, 65, 700, 700, 3.0, 3.0}},
    {"Mooney Bravo", 0, {65, 95, 170, 75, 1000, 800, 3.0, 3.5}},
    {"Beech Baron 58", 0, {85, 120, 180, 100, 1500, 1000, 3.0, 4.0}},
}};
constexpr std::array<const char*, 12> kAirlines = {"AAL", "DAL", "UAL", "SWA", "ASA", "BAW",
                                                   "DLH", "AFR", "KLM", "ACA", "JBU", "FDX"};
constexpr std::array<const char*, 5> kReplies = {"Roger", "Wilco", "Copy that", "Roger, thanks",
                                                 "Say again?"};
constexpr std::array<const char*, 4> kSmallTalk = {"Good evening everyone", "Anyone on frequency?",
                                                   "Nice weather for flying today", "Is ATC online tonight?"};

enum class PilotStage { AwaitingAcceptance, Parked, LiningUp, Flying, RollingOut, Stopped };

struct Pilot {
    std::int32_t Id = 0;
    std::string Name;
    const AircraftType* Type = nullptr;
    FlightKind Kind = FlightKind::Pattern;
    bool Host = false;
    bool LongReports = false;
    PilotStage Stage = PilotStage::AwaitingAcceptance;
    bool Refused = false;  // the host answered its join request with a refusal
    std::optional<SimulatedFlight> Flight;
    Ms DepartAt = 0;
    Ms LeaveAt = -1;
    int PlannedLaps = 0;
    double CruiseFt = 0.0;
    double OutboundDeg = 0.0;
};

struct PendingChat {
    Ms At = 0;
    std::string Text;
};

}  // namespace

struct TrafficSimulator::Impl {
    Impl(HostedSession& hostedSession, TrafficSimulatorSetup simulatorSetup)
        : session(hostedSession),
          setup(std::move(simulatorSetup)),
          plane{setup.CenterLat, setup.CenterLon},
          dice(setup.Seed) {}

    HostedSession& session;
    TrafficSimulatorSetup setup;
    DemoPlane plane;
    Dice dice;
    ActiveRunway runway;
    std::vector<Pilot> pilots;
    int targetPilots = 0;
    Ms now = 0;
    std::optional<Ms> clock;
    Ms nextJoin = 0;
    Ms nextChat = 0;
    Ms lastDeparture = -kDepartureSpacingMs;
    std::vector<PendingChat> chats;
    std::vector<RefusedPilot> refused;
    bool ended = false;

    void ChooseRunway() {
        const bool reverse = dice.Chance(0.5);
        const std::optional<ActiveRunway> longest = LongestRunwayInUse(plane, setup.Runways, reverse);
        runway = longest ? *longest : LaidOutRunway(dice.Between(0, 35) * 10.0, setup.ElevationFt);
    }

    // --- pilots ---
    std::string NewName(bool airline) {
        for (;;) {
            std::string name;
            if (airline) {
                name = std::string(dice.Pick(kAirlines)) + std::to_string(dice.Between(10, 2999));
            } else {
                name = "N" + std::to_string(dice.Between(100, 999));
                name += static_cast<char>('A' + dice.Between(0, 25));
                name += static_cast<char>('A' + dice.Between(0, 25));
            }
            const bool taken =
                std::any_of(pilots.begin(), pilots.end(), [&](const Pilot& p) { return p.Name == name; });
            if (!taken) return name;
        }
    }

    Pilot MakePilot(FlightKind kind) {
        Pilot pilot;
        pilot.Kind = kind;
        const bool jet = kind != FlightKind::Pattern && dice.Chance(0.75);
        pilot.Type = jet ? &dice.Pick(kJets) : &dice.Pick(kPistons);
        pilot.Name = NewName(jet);
        pilot.LongReports = dice.Chance(0.5);
        pilot.PlannedLaps = dice.Between(2, 4);
        pilot.CruiseFt = runway.ElevationFt + (jet ? dice.Uniform(10000, 15000) : dice.Uniform(4500, 7500));
        pilot.OutboundDeg = runway.HeadingDeg + dice.Uniform(-100.0, 100.0);
        return pilot;
    }

    FlightKind RandomKind() {
        if (setup.ArrivalsOnly) return FlightKind::Arrival;
        const double roll = dice.Uniform(0.0, 1.0);
        return roll < 0.4 ? FlightKind::Arrival : roll < 0.7 ? FlightKind::Departure : FlightKind::Pattern;
    }

    // The pilot's aircraft appears: arrivals inbound in the air, the others
    // parked beside the runway's threshold until their turn to depart.
    void Appear(Pilot& pilot) {
        const AircraftPerformance& perf = pilot.Type->Performance;
        if (pilot.Kind == FlightKind::Arrival) {
            const double bearing = runway.HeadingDeg + 180.0 + dice.Uniform(-70.0, 70.0);
            FlightState start;
            start.Position = Toward({}, bearing, dice.Uniform(28.0, 36.0) * kNm);
            start.AltitudeFt = runway.ElevationFt + (pilot.Type->Category == 1 ? dice.Uniform(9000, 12000)
                                                                               : dice.Uniform(4500, 6500));
            start.HeadingDeg = std::fmod(bearing + 180.0, 360.0);
            start.SpeedKt = std::min(perf.CruiseKt, 250.0);
            pilot.Flight.emplace(perf, start, runway.ElevationFt);
            pilot.Flight->SetRoute(ArrivalRoute(runway, perf, start.Position));
            pilot.Stage = PilotStage::Flying;
            return;
        }
        FlightState start;
        start.Position = runway.At(-60.0, dice.Chance(0.5) ? 90.0 : -90.0);
        start.AltitudeFt = runway.ElevationFt;
        start.HeadingDeg = runway.HeadingDeg;
        start.OnGround = true;
        pilot.Flight.emplace(perf, start, runway.ElevationFt);
        pilot.Stage = PilotStage::Parked;
        pilot.DepartAt = std::max(now + static_cast<Ms>(dice.Uniform(15'000, 45'000)),
                                  lastDeparture + kDepartureSpacingMs);
        lastDeparture = pilot.DepartAt;
    }

    void AddPilot(Pilot pilot, bool alreadyAccepted) {
        pilot.Id = session.AddPlayer(pilot.Name);
        if (alreadyAccepted) {
            Appear(pilot);
        } else {
            session.Send(pilot.Id, kAllPlayers, Encode(MsgJoinRequest{}));
        }
        pilots.push_back(std::move(pilot));
    }

    // --- the session's messages ---
    bool IsPilot(std::int32_t id) const {
        return std::any_of(pilots.begin(), pilots.end(), [&](const Pilot& p) { return p.Id == id; });
    }

    bool Refused(std::int32_t joiner) const { return setup.RefuseJoins && !IsPilot(joiner); }

    // FS2002 ignores what it cannot read; so do its stand-ins.
    void Answer(Pilot& pilot, const ReceivedMessage& message, bool quiet) {
        const bool accepted = pilot.Stage != PilotStage::AwaitingAcceptance;
        std::visit(
            [&](const auto& m) {
                using T = std::decay_t<decltype(m)>;
                if constexpr (std::is_same_v<T, MsgJoinRequest>) {
                    if (!pilot.Host) return;
                    session.Send(pilot.Id, message.From,
                                 Refused(message.From) ? Encode(MsgJoinRefuse{})
                                                       : Encode(MsgJoinAccept{message.From}));
                } else if constexpr (std::is_same_v<T, MsgObserverJoinRequest>) {
                    if (!pilot.Host) return;
                    session.Send(pilot.Id, message.From,
                                 Refused(message.From) ? Encode(MsgObserverRefuse{})
                                                       : Encode(MsgObserverAccept{message.From}));
                } else if constexpr (std::is_same_v<T, MsgIdentifyRequest>) {
                    if (accepted) session.Send(pilot.Id, message.From, Encode(MsgJoinAccept{pilot.Id}));
                } else if constexpr (std::is_same_v<T, MsgAircraftInfoRequest>) {
                    if (accepted) {
                        session.Send(pilot.Id, message.From,
                                     Encode(MsgAircraftInfo{pilot.Type->Category, pilot.Type->Title}));
                    }
                } else if constexpr (std::is_same_v<T, MsgJoinRefuse>) {
                    if (!accepted && setup.HostElsewhere) pilot.Refused = true;
                } else if constexpr (std::is_same_v<T, MsgJoinAccept>) {
                    if (!accepted && m.PlayerId == pilot.Id) {
                        session.Send(pilot.Id, kAllPlayers, Encode(MsgIdentifyRequest{}));
                        Appear(pilot);
                    }
                } else if constexpr (std::is_same_v<T, MsgChat>) {
                    // Someone outside the simulation spoke: one pilot answers.
                    if (pilot.Host && !quiet && !IsPilot(message.From) && !m.Text.empty()) {
                        chats.push_back(
                            {now + static_cast<Ms>(dice.Uniform(3000, 8000)), dice.Pick(kReplies)});
                    }
                }
            },
            DecodeGameMessage(message.Bytes));
    }

    void ReadMessages(bool quiet) {
        for (std::size_t i = 0; i < pilots.size(); ++i) {
            while (auto message = session.Receive(pilots[i].Id)) {
                try {
                    Answer(pilots[i], *message, quiet);
                } catch (const SessionError&) {
                    // The asker left before the answer went out; the others still fly.
                }
            }
        }
    }

    // --- flying ---
    void Fly(Pilot& pilot, double seconds) {
        if (!pilot.Flight) return;
        SimulatedFlight& flight = *pilot.Flight;
        if (pilot.Stage == PilotStage::Parked && now >= pilot.DepartAt) {
            if (pilot.Kind == FlightKind::Departure) {
                flight.SetRoute(
                    DepartureRoute(runway, pilot.Type->Performance, pilot.OutboundDeg, pilot.CruiseFt));
                pilot.Stage = PilotStage::Flying;
            } else {
                flight.SetRoute(LineUpRoute(runway));
                pilot.Stage = PilotStage::LiningUp;
            }
        }
        flight.Step(seconds);
        if (pilot.Stage == PilotStage::LiningUp && flight.RouteDone()) {
            flight.SetRoute(PatternRoute(runway, pilot.Type->Performance), true);
            pilot.Stage = PilotStage::Flying;
        }
        if (pilot.Kind == FlightKind::Pattern && pilot.Stage == PilotStage::Flying && !pilot.Host &&
            flight.Laps() >= pilot.PlannedLaps && flight.State().OnGround) {
            flight.SetRoute(RollOutRoute(runway));
            pilot.Stage = PilotStage::RollingOut;
        }
        if (pilot.Stage == PilotStage::Flying && flight.RouteDone()) {
            pilot.Stage = pilot.Kind == FlightKind::Departure ? PilotStage::Stopped : PilotStage::RollingOut;
            if (pilot.Kind == FlightKind::Departure) pilot.LeaveAt = now;
        }
        if (pilot.Stage == PilotStage::RollingOut && flight.RouteDone() && flight.State().SpeedKt < 1.0) {
            pilot.Stage = PilotStage::Stopped;
            pilot.LeaveAt = now + static_cast<Ms>(dice.Uniform(15'000, 40'000));
        }
    }

    void Leave() {
        for (auto it = pilots.begin(); it != pilots.end();) {
            if (it->Stage == PilotStage::Stopped && !it->Host && now >= it->LeaveAt) {
                session.RemovePlayer(it->Id);
                it = pilots.erase(it);
                nextJoin = std::max(nextJoin, now + static_cast<Ms>(dice.Uniform(10'000, 40'000)));
            } else {
                ++it;
            }
        }
    }

    void Join() {
        if (static_cast<int>(pilots.size()) >= targetPilots || now < nextJoin) return;
        nextJoin = now + static_cast<Ms>(dice.Uniform(5'000, 20'000));
        Pilot pilot = MakePilot(RandomKind());
        const std::string name = pilot.Name;
        try {
            AddPilot(std::move(pilot), false);
        } catch (const SessionError& error) {
            // The session is full; someone will leave.
            if (setup.HostElsewhere) refused.push_back({name, error.what()});
        }
    }

    // The pilots whose join request the host refused leave the session; a
    // host that refuses will refuse again, so none takes their place.
    void LeaveRefused() {
        for (auto it = pilots.begin(); it != pilots.end();) {
            if (!it->Refused) {
                ++it;
                continue;
            }
            refused.push_back({it->Name, "the session's host refused the join request"});
            --targetPilots;
            try {
                session.RemovePlayer(it->Id);
            } catch (const SessionError&) {
                // Gone already.
            }
            it = pilots.erase(it);
        }
    }

    // --- what the others see ---
    void Report(const Pilot& pilot) {
        if (!pilot.Flight) return;
        const FlightState& state = pilot.Flight->State();
        PositionWords words;
        words.AttitudeWord = AttitudeWordForHeading(state.HeadingDeg);
        words.LatitudeWord = LatitudeToWire(plane.LatitudeOf(state.Position));
        words.LongitudeWord = LongitudeToWire(plane.LongitudeOf(state.Position));
        words.AltitudeMetres = AltitudeMetresFromFeet(state.AltitudeFt);
        session.Send(pilot.Id, kAllPlayers,
                     pilot.LongReports ? Encode(MsgPositionLong{words}) : Encode(MsgPosition{words}));
    }

    std::string ChatLine(const Pilot& pilot) {
        const FlightState& state = pilot.Flight->State();
        const std::string feet =
            std::to_string(static_cast<int>(RoundHalfEven(state.AltitudeFt / 100.0)) * 100);
        const std::string& rwy = runway.Designator;
        if (dice.Chance(0.2)) return dice.Pick(kSmallTalk);
        switch (pilot.Stage) {
            case PilotStage::Parked:
            case PilotStage::LiningUp:
                return pilot.Name + " ready for departure runway " + rwy;
            case PilotStage::Flying:
                if (pilot.Kind == FlightKind::Departure)
                    return pilot.Name + " passing " + feet + " feet, climbing";
                if (pilot.Kind == FlightKind::Pattern) return pilot.Name + " left downwind runway " + rwy;
                return state.AltitudeFt < runway.ElevationFt + 3500
                           ? pilot.Name + " established ILS runway " + rwy
                           : "Approach, " + pilot.Name + " with you at " + feet + " feet";
            default:
                return pilot.Name + " clear of the runway";
        }
    }

    void Chat() {
        if (now >= nextChat) {
            nextChat = now + static_cast<Ms>(dice.Uniform(25'000, 70'000));
            std::vector<const Pilot*> talkers;
            for (const Pilot& p : pilots) {
                if (p.Flight) talkers.push_back(&p);
            }
            if (!talkers.empty()) {
                const Pilot& talker =
                    *talkers[static_cast<std::size_t>(dice.Between(0, static_cast<int>(talkers.size()) - 1))];
                session.Send(talker.Id, kAllPlayers, EncodeTerminated(MsgChat{ChatLine(talker)}));
            }
        }
        for (auto it = chats.begin(); it != chats.end();) {
            if (now >= it->At && !pilots.empty()) {
                const Pilot& talker =
                    pilots[static_cast<std::size_t>(dice.Between(0, static_cast<int>(pilots.size()) - 1))];
                session.Send(talker.Id, kAllPlayers, EncodeTerminated(MsgChat{it->Text}));
                it = chats.erase(it);
            } else {
                ++it;
            }
        }
    }

    void Step(Ms stepMs, bool quiet) {
        now += stepMs;
        ReadMessages(quiet);
        LeaveRefused();
        for (Pilot& pilot : pilots) Fly(pilot, static_cast<double>(stepMs) / 1000.0);
        Leave();
        Join();
        if (quiet) return;
        for (const Pilot& pilot : pilots) Report(pilot);
        Chat();
    }

    void Start() {
        ChooseRunway();
        targetPilots = setup.Aircraft > 0 ? setup.Aircraft : dice.Between(6, 12);
        if (!setup.HostElsewhere) {
            session.AddGroup("FS61_REQUEST_PARAMS");
            session.AddGroup("FS61_REFUSE_PARAMS");
            Pilot host = MakePilot(FlightKind::Pattern);
            host.Host = true;
            AddPilot(std::move(host), true);
        }
        while (static_cast<int>(pilots.size()) < targetPilots) {
            Pilot pilot = MakePilot(RandomKind());
            if (!setup.HostElsewhere) {
                AddPilot(std::move(pilot), true);
                continue;
            }
            // A session that is full takes those that fit; the others are
            // told, and no more are tried until one leaves.
            const std::string name = pilot.Name;
            try {
                AddPilot(std::move(pilot), false);
            } catch (const SessionError& error) {
                refused.push_back({name, error.what()});
                --targetPilots;
            }
        }
        while (now < kWarmUpMs) Step(1000, true);
        nextChat = now + 10'000;
    }
};

TrafficSimulator::TrafficSimulator(HostedSession& session, TrafficSimulatorSetup setup)
    : impl_(std::make_unique<Impl>(session, std::move(setup))) {
    impl_->Start();
}

TrafficSimulator::~TrafficSimulator() = default;

void TrafficSimulator::Advance(std::chrono::milliseconds now) {
    Impl& s = *impl_;
    if (s.ended) return;
    const Ms target = now.count();
    if (!s.clock) {
        s.clock = target;
        return;
    }
    if (target - *s.clock > kLongestCatchUpMs) *s.clock = target - kLongestCatchUpMs;
    try {
        while (*s.clock + kStepMs <= target) {
            *s.clock += kStepMs;
            s.Step(kStepMs, false);
        }
    } catch (const SessionError&) {
        // The session closed under the simulation; it has nothing left to do.
        s.ended = true;
    }
}

void TrafficSimulator::HostLeaves() {
    Impl& s = *impl_;
    if (s.ended) return;
    s.ended = true;
    try {
        if (!s.pilots.empty() && s.pilots.front().Host)
            s.session.Send(s.pilots.front().Id, kAllPlayers, Encode(MsgHostLeft{}));
        for (const Pilot& pilot : s.pilots) s.session.RemovePlayer(pilot.Id);
    } catch (const SessionError&) {
        // The session is already gone; there is nobody left to tell.
    }
    s.pilots.clear();
}

std::vector<SimulatedPilot> TrafficSimulator::Pilots() const {
    std::vector<SimulatedPilot> list;
    for (const Pilot& p : impl_->pilots) {
        if (!p.Flight) continue;
        const FlightState& state = p.Flight->State();
        list.push_back({p.Id, p.Name, p.Kind, impl_->plane.LatitudeOf(state.Position),
                        impl_->plane.LongitudeOf(state.Position), state});
    }
    return list;
}

std::vector<RefusedPilot> TrafficSimulator::TakeRefused() { return std::exchange(impl_->refused, {}); }

std::int32_t TrafficSimulator::HostId() const {
    return impl_->pilots.empty() || !impl_->pilots.front().Host ? 0 : impl_->pilots.front().Id;
}

}  // namespace tarnwick
