#include "multiplayer/demo/simulated_flight.h"

#include <algorithm>
#include <cmath>

#include "geo/local_plane.h"

namespace tarnwick {
namespace {

constexpr double kMetresPerSecondPerKt = geo::kMetresPerNm / 3600.0;
constexpr double kRollOutHold = 6.0;

// -180 .. 180
double AngleDifference(double to, double from) {
    double d = std::fmod(to - from, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return d;
}

}  // namespace

void SimulatedFlight::SetRoute(std::vector<Waypoint> route, bool loop) {
    route_ = std::move(route);
    loop_ = loop;
    leg_ = 0;
    legStart_ = state_.Position;
}

void SimulatedFlight::Step(double seconds) {
    groundHold_ = std::max(0.0, groundHold_ - seconds);
    if (RouteDone()) {
        // Stopped on the ground, or straight and level until told otherwise.
        if (state_.OnGround) ChangeSpeed(0.0, seconds);
        Move(seconds);
        return;
    }
    const Waypoint& target = route_[leg_];
    double legX = target.At.X - legStart_.X;
    double legY = target.At.Y - legStart_.Y;
    double length = std::hypot(legX, legY);
    if (length < 1.0) {
        legX = target.At.X - state_.Position.X;
        legY = target.At.Y - state_.Position.Y;
        length = std::max(std::hypot(legX, legY), 1.0);
    }
    const double ux = legX / length;
    const double uy = legY / length;
    const double rx = state_.Position.X - legStart_.X;
    const double ry = state_.Position.Y - legStart_.Y;
    const double remaining = length - (rx * ux + ry * uy);
    // Right of the leg is positive; the aircraft cuts back toward it at up to 45 degrees.
    const double crossTrack = rx * uy - ry * ux;
    const double legBearing = geo::BearingOfOffset(ux, uy);
    const double desired = legBearing - std::clamp(crossTrack * 0.03, -45.0, 45.0);

    Steer(desired, seconds);
    ChangeSpeed(target.SpeedKt, seconds);
    Climb(target, remaining, seconds);
    Move(seconds);
    if (remaining <= std::max(state_.SpeedKt * kMetresPerSecondPerKt * seconds, 20.0)) Reach(target);
}

void SimulatedFlight::Steer(double desired, double seconds) {
    const double rate = state_.OnGround ? 15.0 : performance_.TurnDegPerSec;
    const double turn =
        std::clamp(AngleDifference(desired, state_.HeadingDeg), -rate * seconds, rate * seconds);
    state_.HeadingDeg = std::fmod(state_.HeadingDeg + turn + 360.0, 360.0);
}

void SimulatedFlight::ChangeSpeed(double targetKt, double seconds) {
    double target = targetKt;
    if (!state_.OnGround) target = std::max(target, performance_.ApproachKt * 0.9);
    const double up = (state_.OnGround ? performance_.GroundAccelKtPerSec : 1.5) * seconds;
    const double down = (state_.OnGround ? 3.0 : 1.0) * seconds;
    state_.SpeedKt = std::clamp(target, state_.SpeedKt - down, state_.SpeedKt + up);
}

void SimulatedFlight::Climb(const Waypoint& target, double remaining, double seconds) {
    if (state_.OnGround) {
        state_.AltitudeFt = groundFt_;
        const bool wantsAir = target.AltitudeFt > groundFt_ + 10.0 && !target.Touchdown;
        if (wantsAir && groundHold_ <= 0.0 && state_.SpeedKt >= performance_.RotateKt)
            state_.OnGround = false;
        return;
    }
    const double timeLeft = std::max(remaining / std::max(state_.SpeedKt * kMetresPerSecondPerKt, 1.0), 1.0);
    const double feetPerSecond = std::clamp((target.AltitudeFt - state_.AltitudeFt) / timeLeft,
                                            -performance_.DescentFpm / 60.0, performance_.ClimbFpm / 60.0);
    state_.AltitudeFt = std::max(state_.AltitudeFt + feetPerSecond * seconds, groundFt_);
}

void SimulatedFlight::Move(double seconds) {
    const double metres = state_.SpeedKt * kMetresPerSecondPerKt * seconds;
    state_.Position.X += metres * std::sin(geo::DegreesToRadians(state_.HeadingDeg));
    state_.Position.Y += metres * std::cos(geo::DegreesToRadians(state_.HeadingDeg));
}

void SimulatedFlight::Reach(const Waypoint& target) {
    if (target.Touchdown) {
        state_.OnGround = true;
        state_.AltitudeFt = groundFt_;
        groundHold_ = kRollOutHold;
    }
    // The next leg starts where this one was meant to end, so the aircraft
    // settles on the intended track rather than on its own overshoot.
    legStart_ = target.At;
    ++leg_;
    if (loop_ && leg_ >= route_.size()) {
        leg_ = 0;
        ++laps_;
    }
}

}  // namespace tarnwick
