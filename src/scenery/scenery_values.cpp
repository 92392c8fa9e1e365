#include "scenery/scenery_values.h"

#include <cmath>

#include "base/number_format.h"
#include "base/rounding.h"
#include "geo/geodesy.h"

namespace tarnwick {

double LatitudeDegrees(std::int32_t raw) { return raw * 90.0 / 10001750.0; }

double LongitudeDegrees(std::int32_t raw) { return raw * 360.0 / 4294967296.0; }

double ReferenceLongitudeDegrees(std::int32_t raw) { return raw * 360.0 / 4294967297.0; }

double HeadingDegrees(std::int32_t raw) { return raw / 65536.0 * 360.0 / 65536.0; }

std::int32_t ElevationFeet(std::int32_t raw) { return ToI32(raw / geo::kMetresPerFoot); }

std::optional<std::string> FrequencyText(std::int32_t raw) {
    // Hexadecimal digits taken as decimal ones: at most 8 digits, so at most
    // 99999999, which a 64-bit integer and a double both hold exactly.
    std::uint32_t bits = static_cast<std::uint32_t>(raw);
    std::int64_t decimal = 0;
    std::int64_t place = 1;
    do {
        const std::uint32_t digit = bits & 0xFu;
        if (digit > 9) return std::nullopt;
        decimal += digit * place;
        place *= 10;
        bits >>= 4;
    } while (bits != 0);
    return FormatGeneral(static_cast<double>(decimal) / 10000.0);
}

double DecodeFloat32(std::int32_t raw) {
    if (raw == 0) return 0.0;
    const auto bits = static_cast<std::uint32_t>(raw);
    const int exponent = static_cast<int>((bits >> 23) & 0xFFu) - 127;
    const double fraction = 1.0 + static_cast<double>(bits & 0x7FFFFFu) / 8388608.0;
    const double magnitude = std::ldexp(fraction, exponent);
    return (bits & 0x80000000u) != 0 ? -magnitude : magnitude;
}

RunwayDesignators DesignatorsFor(std::int32_t number, std::int32_t code) {
    static constexpr const char* kPrimaryLetters[] = {"", "L", "R", "C", "H"};
    static constexpr const char* kSecondaryLetters[] = {"", "R", "L", "C", "H"};
    if (number > 36) return {std::to_string(number), ""};
    const bool lettered = code >= 0 && code <= 4;
    const std::int32_t opposite = number + 18 > 36 ? number + 18 - 36 : number + 18;
    return {std::to_string(number) + (lettered ? kPrimaryLetters[code] : ""),
            std::to_string(opposite) + (lettered ? kSecondaryLetters[code] : "")};
}

std::string ParkingLabel(std::int32_t nameWord) {
    // Name codes 1 to 11; 12 to 37 are "Gate A" to "Gate Z". Labels show them upper-cased.
    static constexpr const char* kNames[] = {"PARKING",    "N PARKING", "NE PARKING", "E PARKING",
                                             "SE PARKING", "S PARKING", "SW PARKING", "W PARKING",
                                             "NW PARKING", "GATE",      "DOCK"};
    const auto bits = static_cast<std::uint32_t>(nameWord);
    const std::uint32_t code = bits & 0x7Fu;
    std::string number = std::to_string((bits >> 7) & 0x1FFFu);
    if (code >= 1 && code <= 11) return std::string(kNames[code - 1]) + " " + number;
    if (code >= 12 && code <= 37)
        return std::string("GATE ") + static_cast<char>('A' + (code - 12)) + " " + number;
    return number;
}

}  // namespace tarnwick
