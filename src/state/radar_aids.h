#pragma once
// The controller's radar aids: each off until chosen, each with its values.
// They are kept in the user's configuration by the Qt layer, never in the work
// folder. With every aid off the scope draws exactly what it always drew.
#include <array>
#include <cstdint>

namespace tarnwick {

struct RadarAids {
    bool History = false;         // dots where each aircraft was
    bool Vectors = false;         // a line to where it will be
    bool DataBlock = false;       // two-line labels: name; altitude, climb mark, ground speed
    bool Labels = false;          // labels kept off one another and off the aircraft
    bool Rings = false;           // range rings around the area's centre
    bool Conflicts = false;       // pairs about to come too close, in red
    bool AltitudeFilter = false;  // traffic outside an altitude band left out
    // The conflict alert leaves out pairs where traffic is close by design:
    // in trail on one final approach, and in an airport's circuit. A new
    // alert may sound.
    bool InhibitFinal = true;
    bool InhibitCircuit = true;
    bool AlertSound = false;

    std::int32_t HistoryDots = 5;
    std::int32_t HistorySpacingS = 5;
    std::int32_t VectorMinutes = 1;
    std::int32_t RingSpacingNm = 5;
    double ConflictDistanceNm = 3.0;
    std::int32_t ConflictAltitudeFt = 1000;
    std::int32_t ConflictLookaheadS = 60;
    std::int32_t LowestAltitudeFt = 0;
    std::int32_t HighestAltitudeFt = 18000;
    std::int32_t FinalTrackDeg = 15;      // both tracks within this of the runway's course
    std::int32_t FinalDistanceNm = 12;    // both within this of its threshold
    std::int32_t FinalClosingKt = 20;     // and closing no faster
    std::int32_t CircuitRadiusNm = 5;     // both within this of an airport of the area
    std::int32_t CircuitHeightFt = 1500;  // and lower than this above its elevation

    bool operator==(const RadarAids&) const = default;
};

// An aid by the name the tools and the configuration know it by.
struct AidSwitch {
    const char* Name;
    bool RadarAids::*Field;
    const char* Caption;
};

inline constexpr std::array<AidSwitch, 7> kAidSwitches{{
    {"history", &RadarAids::History, "Track history"},
    {"vectors", &RadarAids::Vectors, "Speed vectors"},
    {"datablock", &RadarAids::DataBlock, "Full data blocks"},
    {"labels", &RadarAids::Labels, "Label placement"},
    {"rings", &RadarAids::Rings, "Range rings"},
    {"conflicts", &RadarAids::Conflicts, "Conflict alert"},
    {"altfilter", &RadarAids::AltitudeFilter, "Altitude filter"},
}};

// A whole-number value with the range every way in (tools, window,
// configuration) holds it to.
struct AidNumber {
    const char* Name;
    std::int32_t RadarAids::*Field;
    std::int32_t Lowest;
    std::int32_t Highest;
};

// The history reaches back at most 10 x 12 s, within what the motion history keeps.
inline constexpr std::array<AidNumber, 13> kAidNumbers{{
    {"history-dots", &RadarAids::HistoryDots, 1, 10},
    {"history-spacing", &RadarAids::HistorySpacingS, 1, 12},
    {"vector-minutes", &RadarAids::VectorMinutes, 1, 3},
    {"ring-spacing", &RadarAids::RingSpacingNm, 1, 100},
    {"conflict-altitude", &RadarAids::ConflictAltitudeFt, 100, 5000},
    {"conflict-lookahead", &RadarAids::ConflictLookaheadS, 0, 300},
    {"lowest-altitude", &RadarAids::LowestAltitudeFt, -2000, 99900},
    {"highest-altitude", &RadarAids::HighestAltitudeFt, -2000, 99900},
    {"final-track", &RadarAids::FinalTrackDeg, 1, 45},
    {"final-distance", &RadarAids::FinalDistanceNm, 1, 30},
    {"final-closing", &RadarAids::FinalClosingKt, 0, 200},
    {"circuit-radius", &RadarAids::CircuitRadiusNm, 1, 20},
    {"circuit-height", &RadarAids::CircuitHeightFt, 100, 5000},
}};

// The conflict alert's own switches, which the aids' list of the tools
// leaves as they are: the inhibitions, by the names of the tools' --inhibit
// list (kept in the configuration as "inhibit-" and the name), and the sound.
inline constexpr std::array<AidSwitch, 2> kInhibitions{{
    {"final", &RadarAids::InhibitFinal, "Not in trail on one final"},
    {"circuit", &RadarAids::InhibitCircuit, "Not in an airport's circuit"},
}};
inline constexpr const char* kInhibitionKeyPrefix = "inhibit-";
inline constexpr AidSwitch kAlertSound{"alert-sound", &RadarAids::AlertSound, "Sound a new alert"};

// The conflict distance is the one value with a fraction (2.5 nm is common).
inline constexpr const char* kConflictDistanceName = "conflict-distance";
inline constexpr double kLowestConflictDistanceNm = 0.5;
inline constexpr double kHighestConflictDistanceNm = 20.0;

// Aircraft slower than this are taxiing or parked and never in conflict.
inline constexpr double kConflictMinSpeedKt = 50.0;

// Every value inside its range and the altitude band the right way up, for
// values that come from a hand-edited configuration.
RadarAids Clamped(RadarAids aids);

// The traffic pass draws more than disc, heading line and label.
inline bool DrawsAidedTraffic(const RadarAids& aids) {
    return aids.History || aids.Vectors || aids.DataBlock || aids.Labels || aids.Conflicts;
}

}  // namespace tarnwick
