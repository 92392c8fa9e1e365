#pragma once
// What a controller assigns an aircraft on its strip and shares while it owns
// it: altitude, heading and speed, a scratchpad, the route and remarks. Each is
// unset until the controller sets it; an empty text is unset. Texts are
// Windows-1252 bytes.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::coordination {

enum class StripField { Altitude, Heading, Speed, Scratchpad, Route, Remarks };

inline constexpr std::array<StripField, 6> kStripFields = {StripField::Altitude, StripField::Heading,
                                                           StripField::Speed,    StripField::Scratchpad,
                                                           StripField::Route,    StripField::Remarks};

// The values an assignment may take: feet, degrees (360 is north; 0 is not a
// heading a controller gives) and knots.
inline constexpr std::int32_t kMaxAssignedAltitude = 99999;
inline constexpr std::int32_t kMinAssignedHeading = 1;
inline constexpr std::int32_t kMaxAssignedHeading = 360;
inline constexpr std::int32_t kMinAssignedSpeed = 1;
inline constexpr std::int32_t kMaxAssignedSpeed = 999;

struct StripFields {
    std::optional<std::int32_t> AssignedAltitude;  // feet
    std::optional<std::int32_t> AssignedHeading;   // degrees
    std::optional<std::int32_t> AssignedSpeed;     // knots
    std::optional<std::string> Scratchpad;
    std::optional<std::string> Route;
    std::optional<std::string> Remarks;
    friend bool operator==(const StripFields&, const StripFields&) = default;
};

// The field's name in scripts and messages: "altitude", "heading", "speed",
// "scratchpad", "route", "remarks".
std::string_view StripFieldName(StripField field);
std::optional<StripField> StripFieldNamed(std::string_view name);

bool IsSet(const StripFields& fields, StripField field);

// Empty when every field holds a value it may take; otherwise what is wrong
// with the first that does not, e.g. "the heading 400 is not between 1 and 360".
std::string StripProblem(const StripFields& fields);

// Empty when `value` is one the assignment `field` (altitude, heading or
// speed) may take; otherwise why not.
std::string AssignmentProblem(StripField field, std::int32_t value);

// Sets one field from its text as a controller types it: a whole number for
// the three assignments, the text itself for the others; an empty value
// unsets the field. Returns what is wrong with the value, leaving `fields` as
// it was, or empty when it was set.
std::string SetStripField(StripFields& fields, StripField field, std::string_view value);

// The field's value as text ("5000", "ILS16R"), empty when unset.
std::string StripFieldText(const StripFields& fields, StripField field);

}  // namespace tarnwick::coordination
