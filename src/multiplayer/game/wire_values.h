#pragma once
// The encodings of the values inside the session messages: positions, altitude,
// the packed heading and the aircraft category. The decoders are what the
// program reads; the encoders are for the peers it simulates.
#include <cstdint>
#include <string>

namespace tarnwick {

// value / 2^n with the quotient truncated toward zero: -1 gives 0, unlike a
// shift. n runs from 0 to 31.
std::int32_t IntDivPow2(std::int32_t value, std::int32_t n);

// The true heading in whole degrees (0..360) packed into a position report's
// attitude word: bits 2..11 in 1/1024 of a turn.
std::int32_t DecodeHeading(std::int32_t attitudeWord);
std::int32_t AttitudeWordForHeading(double trueHeading);

// The latitude word counts metres along the meridian.
double LatitudeFromWire(std::int32_t word);
std::int32_t LatitudeToWire(double degrees);

// The longitude word spans the whole circle: -2^31 is -180 degrees.
double LongitudeFromWire(std::int32_t word);
std::int32_t LongitudeToWire(double degrees);

// Metres to feet, rounded halves to even; OverflowError when the feet do not
// fit 32 bits.
std::int32_t AltitudeFeetFromMetres(std::int32_t metres);
std::int32_t AltitudeMetresFromFeet(double feet);

// "Piston Plane", "Jet Plane", "-None-", "Helicopter"; empty for other codes.
std::string AircraftCategoryText(std::int16_t code);

}  // namespace tarnwick
