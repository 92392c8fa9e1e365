#pragma once
// One simulated aircraft for the demo session: it follows a route of
// waypoints on a flat local plane around the demo's centre, turning, climbing
// and changing speed no faster than its kind of aircraft can. Good enough for
// a radar picture within 50 nm; not a flight model.
#include <cstddef>
#include <vector>

#include "geo/geodesy.h"

namespace tarnwick {

// Metres east and north of the demo's centre.
struct LocalPoint {
    double X = 0.0;
    double Y = 0.0;
};

struct AircraftPerformance {
    double RotateKt = 0.0;
    double ClimbKt = 0.0;
    double CruiseKt = 0.0;
    double ApproachKt = 0.0;
    double ClimbFpm = 0.0;
    double DescentFpm = 0.0;
    double TurnDegPerSec = 3.0;
    double GroundAccelKtPerSec = 3.0;
};

struct Waypoint {
    LocalPoint At;
    double AltitudeFt = 0.0;
    double SpeedKt = 0.0;
    // The aircraft puts its wheels down here.
    bool Touchdown = false;
};

struct FlightState {
    LocalPoint Position;
    double AltitudeFt = 0.0;
    double HeadingDeg = 0.0;  // true track
    double SpeedKt = 0.0;
    bool OnGround = false;
};

class SimulatedFlight {
   public:
    SimulatedFlight(AircraftPerformance performance, FlightState start, double groundElevationFt)
        : performance_(performance), state_(start), groundFt_(groundElevationFt), legStart_(start.Position) {}

    // A looping route starts again at its first waypoint after the last.
    void SetRoute(std::vector<Waypoint> route, bool loop = false);
    void Step(double seconds);

    const FlightState& State() const { return state_; }
    const AircraftPerformance& Performance() const { return performance_; }
    bool RouteDone() const { return leg_ >= route_.size(); }
    // Times a looping route went back to its start.
    int Laps() const { return laps_; }

   private:
    void Steer(double desiredHeading, double seconds);
    void ChangeSpeed(double targetKt, double seconds);
    void Climb(const Waypoint& target, double remaining, double seconds);
    void Move(double seconds);
    void Reach(const Waypoint& target);

    AircraftPerformance performance_;
    FlightState state_;
    double groundFt_;
    std::vector<Waypoint> route_;
    bool loop_ = false;
    std::size_t leg_ = 0;
    int laps_ = 0;
    LocalPoint legStart_;
    // Seconds the wheels stay down after a touchdown before a touch-and-go.
    double groundHold_ = 0.0;
};

}  // namespace tarnwick
