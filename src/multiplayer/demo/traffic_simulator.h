#pragma once
// The built-in demo session: a session host and 6 to 12 simulated pilots
// around a centre airport, behaving toward the session as FS2002 peers do.
// The host answers join requests; each pilot answers identification and
// aircraft requests, reports its position four times a second to everyone,
// chats now and then, and pilots come and go. With the host elsewhere, a
// pilot the session refuses is left out and the others fly on. Pilots fly departures, ILS
// arrivals and traffic patterns on the airport's longest runway.
//
// The simulator has no clock of its own: Advance moves it to the time it is
// given, so the same seed and the same times give the same session.
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "multiplayer/demo/demo_airfield.h"
#include "multiplayer/demo/simulated_flight.h"
#include "multiplayer/hosted_session.h"

namespace tarnwick {

inline constexpr const char* kDemoSessionName = "Tarnwick demo";
inline constexpr std::int32_t kDemoMaxPlayers = 16;
inline constexpr const char* kDemoApplicationGuid = "{5D1B5C2E-7E0A-4C53-9A7B-2F5B1D7C9E41}";

struct TrafficSimulatorSetup {
    double CenterLat = 0.0;
    double CenterLon = 0.0;
    // The centre airport's runways; without any, one is laid out at the centre.
    std::vector<SimulatedRunway> Runways;
    std::int32_t ElevationFt = 0;
    std::uint64_t Seed = 1;
    // Aircraft in the session, the host's included; 0 picks 6 to 12.
    int Aircraft = 0;
    // The host answers joins from outside the simulation with a refusal.
    bool RefuseJoins = false;
    // The session's host is another machine: the simulation has no host of
    // its own and makes no groups, and every pilot asks to join, as FS2002
    // does, and flies once accepted.
    bool HostElsewhere = false;
    // Every pilot flies an arrival from about 30 nm out, so that all are in
    // the air at once (departures wait their turn on the ground).
    bool ArrivalsOnly = false;
};

// What a pilot is doing, for tests and tools.
enum class FlightKind { Departure, Arrival, Pattern };

// A pilot the session would not take, with the host elsewhere: its machine's
// join was refused (a full session), or the session's host refused its join
// request. The others fly on.
struct RefusedPilot {
    std::string Name;
    std::string Reason;  // Windows-1252
};

struct SimulatedPilot {
    std::int32_t Id = 0;
    std::string Name;
    FlightKind Kind = FlightKind::Pattern;
    double Latitude = 0.0;
    double Longitude = 0.0;
    FlightState Flight;
};

class TrafficSimulator {
   public:
    // Joins the host and the first pilots to `session`, which the caller has
    // opened, and lets them fly a few quiet minutes so the picture starts busy.
    TrafficSimulator(HostedSession& session, TrafficSimulatorSetup setup);
    ~TrafficSimulator();
    TrafficSimulator(const TrafficSimulator&) = delete;
    TrafficSimulator& operator=(const TrafficSimulator&) = delete;

    // Runs the session up to `now`, in quarter-second steps from the time of
    // the first call. A long pause is not made up for: the pilots resume.
    void Advance(std::chrono::milliseconds now);
    // The host announces that it leaves and every pilot leaves the session;
    // the simulation ends.
    void HostLeaves();

    // The pilots that are in the session and flying, the host first.
    std::vector<SimulatedPilot> Pilots() const;
    // The pilots refused since the last call, in order.
    std::vector<RefusedPilot> TakeRefused();
    std::int32_t HostId() const;

   private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick
