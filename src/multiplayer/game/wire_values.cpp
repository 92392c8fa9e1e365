#include "multiplayer/game/wire_values.h"

#include <cmath>
#include <stdexcept>

#include "base/rounding.h"
#include "geo/geodesy.h"

namespace tarnwick {
namespace {
constexpr double kLatitudeDegreesPerUnit = 360.0 / 40007000.0;
constexpr double kLongitudeDegreesPerUnit = 360.0 / 4294967296.0;
}  // namespace

std::int32_t IntDivPow2(std::int32_t value, std::int32_t n) {
    if (n < 0 || n > 31) throw std::out_of_range("IntDivPow2 takes a power from 0 to 31");
    // In 64 bits: 2^31 itself does not fit 32, and C++ division truncates.
    return static_cast<std::int32_t>(std::int64_t{value} / (std::int64_t{1} << n));
}

std::int32_t DecodeHeading(std::int32_t attitudeWord) {
    const std::int32_t h = IntDivPow2(attitudeWord, 2);
    const double degrees = static_cast<double>(h & 1023) * 360.0 / 1024.0;
    return static_cast<std::int32_t>(RoundHalfEven(degrees));
}

std::int32_t AttitudeWordForHeading(double trueHeading) {
    if (!std::isfinite(trueHeading)) throw OverflowError("a heading that is not a number");
    const double turns = RoundHalfEven(trueHeading * 1024.0 / 360.0);
    const auto units = static_cast<std::int32_t>(std::fmod(std::fmod(turns, 1024.0) + 1024.0, 1024.0));
    return units * 4;
}

double LatitudeFromWire(std::int32_t word) { return word * kLatitudeDegreesPerUnit; }

std::int32_t LatitudeToWire(double degrees) { return ToI32(degrees * 40007000.0 / 360.0); }

double LongitudeFromWire(std::int32_t word) { return word * kLongitudeDegreesPerUnit; }

std::int32_t LongitudeToWire(double degrees) {
    const double units = RoundHalfEven(degrees * 4294967296.0 / 360.0);
    if (!std::isfinite(units)) throw OverflowError("a longitude that is not a number");
    // The word wraps around the circle by design: 180 east is 180 west.
    const double wrapped = std::fmod(std::fmod(units, 4294967296.0) + 4294967296.0, 4294967296.0);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wrapped));
}

std::int32_t AltitudeFeetFromMetres(std::int32_t metres) { return ToI32(metres / geo::kMetresPerFoot); }

std::int32_t AltitudeMetresFromFeet(double feet) { return ToI32(feet * geo::kMetresPerFoot); }

std::string AircraftCategoryText(std::int16_t code) {
    switch (code) {
        case 0:
            return "Piston Plane";
        case 1:
            return "Jet Plane";
        case 2:
            return "-None-";
        case 3:
            return "Helicopter";
        default:
            return "";
    }
}

}  // namespace tarnwick
