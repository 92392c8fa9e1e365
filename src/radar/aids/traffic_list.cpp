#include "radar/aids/traffic_list.h"

#include "base/rounding.h"
#include "geo/geodesy.h"

namespace tarnwick {
namespace {

std::optional<std::int32_t> Whole(std::optional<double> value) {
    if (!value) return std::nullopt;
    try {
        return ToI32(*value);
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

std::string TypeOf(const PlayerRecord& entry) {
    if (entry.Category.empty()) return entry.Aircraft;
    if (entry.Aircraft.empty()) return entry.Category;
    return entry.Aircraft + " (" + entry.Category + ")";
}

// "N123 is at 24000 ft, outside the altitude filter (0 to 18000 ft): the scope
// does not show it."
std::string NotShownNote(const ScopeTraffic& traffic, const PlayerRecord& entry) {
    if (entry.Latitude == 0.0 && entry.Longitude == 0.0)
        return entry.Name + " has not reported a position yet.";
    if (traffic.Band && !traffic.Band->Holds(entry.Altitude))
        return entry.Name + " is at " + std::to_string(entry.Altitude) +
               " ft, outside the altitude filter (" + std::to_string(traffic.Band->LowestFt) + " to " +
               std::to_string(traffic.Band->HighestFt) + " ft): the scope does not show it.";
    return {};
}

}  // namespace

std::vector<TrafficRow> TrafficRows(const ScopeTraffic& traffic, const MotionHistory& motion,
                                    const ChosenArea& area, const DeclinationGrid& grid) {
    const ScopeTraffic everyone{traffic.Table, traffic.OwnPlayerId, traffic.OwnName};
    std::vector<TrafficRow> rows;
    for (const PlayerRecord& entry : traffic.Table.Entries()) {
        if (!ShowsOnScope(everyone, entry)) continue;
        const Motion moving = motion.MotionOf(KeyOf(entry));
        TrafficRow row;
        row.Name = entry.Name;
        row.Type = TypeOf(entry);
        row.AltitudeFt = entry.Altitude;
        row.GroundSpeedKt = Whole(moving.GroundSpeedKt);
        row.VerticalSpeedFpm = Whole(moving.VerticalSpeedFpm);
        const double lat = area.AreaCenterLat;
        const double lon = area.AreaCenterLon;
        row.DistanceNm = geo::DistanceNm(lat, lon, entry.Latitude, entry.Longitude);
        row.BearingMagnetic = geo::MagneticCourse(grid, lat, lon, entry.Latitude, entry.Longitude);
        row.Latitude = entry.Latitude;
        row.Longitude = entry.Longitude;
        row.NotShown = NotShownNote(traffic, entry);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace tarnwick
