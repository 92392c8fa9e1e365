#pragma once
// Raw 32-bit scenery values turned into the units and texts the records keep.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/ansi.h"  // UpperCaseAnsi, which the identifiers go through

namespace tarnwick {

double LatitudeDegrees(std::int32_t raw);
double LongitudeDegrees(std::int32_t raw);
// The airport reference point alone divides by 2^32 + 1; the stored databases
// depend on that difference, so it is kept.
double ReferenceLongitudeDegrees(std::int32_t raw);
// A signed fraction of a full circle: -180..180 degrees.
double HeadingDegrees(std::int32_t raw);
// Metres to whole feet; throws OverflowError when the result does not fit.
std::int32_t ElevationFeet(std::int32_t raw);

// The frequency in MHz as text ("121.9"): the raw value's hexadecimal digits
// read as a decimal number of 100 Hz steps. A value with a hexadecimal digit
// A to F has no such reading and is no frequency.
std::optional<std::string> FrequencyText(std::int32_t raw);

// Single-precision float bits as the scenery's taxiway offsets are decoded:
// sign, 8-bit exponent with bias 127 and a 23-bit fraction with the leading 1
// always implied. Raw 0 alone gives 0; no exponent value is treated specially,
// so the result is always a finite number.
double DecodeFloat32(std::int32_t raw);

// The two ends' designators of a runway: its number with the letter of the
// designator code, and the reciprocal number with the mirrored letter. A
// number above 36 names only the primary end, by its number alone; a code
// outside 0 to 4 adds no letter.
struct RunwayDesignators {
    std::string Primary;
    std::string Secondary;
};
RunwayDesignators DesignatorsFor(std::int32_t number, std::int32_t code);

// A parking spot's display label from its packed name word: "GATE C 12", or
// the spot number alone when the name code names nothing.
std::string ParkingLabel(std::int32_t nameWord);

}  // namespace tarnwick
