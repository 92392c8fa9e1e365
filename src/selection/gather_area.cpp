#include "selection/gather_area.h"

#include <algorithm>

#include "base/rounding.h"
#include "scenery/scenery_layout.h"
#include "selection/area_tables.h"
#include "selection/choice_lists.h"

namespace tarnwick {
namespace {

// The area as it is being gathered; it replaces the program's area only once complete.
struct GatheredArea {
    std::vector<AirportRecord> Airports = std::vector<AirportRecord>(1);
    std::int32_t AirportCount = 0;
    std::vector<AirspaceRecord> Airspaces = std::vector<AirspaceRecord>(1);
    std::int32_t AirspaceCount = 0;
    std::string Title;
    std::string Kind;
    double CenterLat = 0, CenterLon = 0;
    bool HighArtcc = false;
    bool LowArtcc = false;
};

class Reporter {
   public:
    explicit Reporter(SelectionProgress* progress) : progress_(progress) {}
    void Started(int maximum) const {
        if (progress_) progress_->Started(maximum);
    }
    void Status(std::string_view text) const {
        if (progress_) progress_->Status(text);
    }
    void Advanced() const {
        if (progress_) progress_->Advanced();
    }

   private:
    SelectionProgress* progress_;
};

const AirportRecord& WorldAirport(const SelectionState state, std::int32_t i) {
    return state.World.WorldAirports[static_cast<std::size_t>(i)];
}
const AirspaceRecord& WorldAirspace(const SelectionState state, std::int32_t j) {
    return state.World.WorldAirspaces[static_cast<std::size_t>(j)];
}

// High when any of the airspaces is an upper one; low otherwise. Exactly one is set.
void SetArtccSwitches(GatheredArea& area) {
    area.HighArtcc = false;
    for (std::int32_t j = 0; j < area.AirspaceCount; ++j) {
        if (area.Airspaces[static_cast<std::size_t>(j)].ClassText == kArtccHigh) {
            area.HighArtcc = true;
            area.LowArtcc = false;
        }
    }
    if (!area.HighArtcc) area.LowArtcc = true;
}

void Commit(SelectionState state, GatheredArea&& area) {
    state.Area.AreaAirports = std::move(area.Airports);
    state.Area.AreaAirportCount = area.AirportCount;
    state.Area.AreaAirspaces = std::move(area.Airspaces);
    state.Area.AreaAirspaceCount = area.AirspaceCount;
    state.Area.AreaTitle = std::move(area.Title);
    state.Area.AreaKind = std::move(area.Kind);
    state.Area.AreaCenterLat = area.CenterLat;
    state.Area.AreaCenterLon = area.CenterLon;
    state.Display.DisplayHighArtcc = area.HighArtcc;
    state.Display.DisplayLowArtcc = area.LowArtcc;
    ReleaseWorldTables(state);
}

bool StrictlyContains(const AirspaceRecord& airspace, double lat, double lon) {
    return airspace.Corner1Lat > lat && airspace.Corner2Lat < lat && airspace.Corner2Lon > lon &&
           airspace.Corner1Lon < lon;
}

GatherOutcome GatherAirport(SelectionState state, const std::string& listText, const Reporter& report) {
    const std::int32_t airportCount = ReadableWorldAirports(state);
    // The whole table is scanned: with two airports of the same list text the last one wins.
    std::int32_t chosenIndex = -1;
    for (std::int32_t i = 0; i < airportCount; ++i) {
        if (AirportListText(WorldAirport(state, i)) == listText) chosenIndex = i;
    }
    if (chosenIndex < 0) return GatherOutcome::NotFound;
    const AirportRecord& chosen = WorldAirport(state, chosenIndex);

    report.Started(6);
    report.Status("Getting selected airport's information...");
    GatheredArea area;
    area.Title = listText;
    area.Kind = kAreaKindAirport;
    area.CenterLat = chosen.Lat;
    area.CenterLon = chosen.Lon;
    area.LowArtcc = state.Display.DisplayLowArtcc;
    report.Advanced();

    report.Status("Getting area's airports...");
    for (std::int32_t i = 0; i < airportCount; ++i) {
        const AirportRecord& airport = WorldAirport(state, i);
        if (geo::DistanceNm(chosen.Lat, chosen.Lon, airport.Lat, airport.Lon) <= kAreaRadiusNm) {
            AppendSlot(area.Airports, area.AirportCount, airport);
        }
    }
    report.Advanced();

    report.Status("Getting area's airspaces...");
    const std::int32_t airspaceCount = ReadableWorldAirspaces(state);
    for (std::int32_t j = 0; j < airspaceCount; ++j) {
        const AirspaceRecord& airspace = WorldAirspace(state, j);
        if (StrictlyContains(airspace, chosen.Lat, chosen.Lon)) {
            AppendSlot(area.Airspaces, area.AirspaceCount, airspace);
        }
    }
    report.Advanced();

    report.Status("Getting selected airport's TRACON airspace...");
    if (!chosen.DepartureFreq.empty() || !chosen.ApproachFreq.empty()) {
        AppendSlot(area.Airspaces, area.AirspaceCount, MakeTraconAirspace(chosen));
    }
    report.Advanced();

    report.Status("Looking for high altitudes ARTCC/FIR airspaces...");
    SetArtccSwitches(area);
    report.Advanced();

    Commit(state, std::move(area));
    return GatherOutcome::Gathered;
}

GatherOutcome GatherSector(SelectionState state, const std::string& sectorName, const Reporter& report) {
    const std::int32_t airspaceCount = ReadableWorldAirspaces(state);
    auto inSector = [&](const AirspaceRecord& airspace) {
        return IsArtccClass(airspace.ClassText) && airspace.FullName == sectorName;
    };
    bool known = false;
    for (std::int32_t j = 0; j < airspaceCount && !known; ++j) known = inSector(WorldAirspace(state, j));
    if (!known) return GatherOutcome::NotFound;

    report.Started(5);
    report.Status("Getting ARTCC/FIR sector's information...");
    GatheredArea area;
    area.LowArtcc = state.Display.DisplayLowArtcc;
    for (std::int32_t j = 0; j < airspaceCount; ++j) {
        const AirspaceRecord& airspace = WorldAirspace(state, j);
        if (inSector(airspace)) AppendSlot(area.Airspaces, area.AirspaceCount, airspace);
    }

    // All four edges still 0 means "nothing taken yet", as the rectangle has always been built.
    SectorRectangle box;
    for (std::int32_t j = 0; j < area.AirspaceCount; ++j) {
        const AirspaceRecord& airspace = area.Airspaces[static_cast<std::size_t>(j)];
        if (box.North == 0 && box.South == 0 && box.West == 0 && box.East == 0) {
            box = {airspace.Corner1Lat, airspace.Corner2Lat, airspace.Corner1Lon, airspace.Corner2Lon};
        } else {
            box.North = std::max(box.North, airspace.Corner1Lat);
            box.South = std::min(box.South, airspace.Corner2Lat);
            box.West = std::min(box.West, airspace.Corner1Lon);
            box.East = std::max(box.East, airspace.Corner2Lon);
        }
    }
    const geo::GeoPoint center = SectorCenter(state.Declination, box);
    area.Title = sectorName;
    area.Kind = kAreaKindSector;
    area.CenterLat = center.Lat;
    area.CenterLon = center.Lon;
    report.Advanced();

    report.Status("Getting ARTCC/FIR sector's airports...");
    const std::int32_t airportCount = ReadableWorldAirports(state);
    for (std::int32_t i = 0; i < airportCount; ++i) {
        const AirportRecord& airport = WorldAirport(state, i);
        if (box.South < airport.Lat && airport.Lat < box.North && box.West < airport.Lon &&
            airport.Lon < box.East) {
            AppendSlot(area.Airports, area.AirportCount, airport);
        }
    }
    report.Advanced();

    report.Status("Looking for high altitudes ARTCC/FIR airspaces...");
    SetArtccSwitches(area);
    report.Advanced();

    // The scope shows every ARTCC/FIR airspace of the database around the sector.
    report.Status("Get all the surrounding ARTCC/FIR airspaces...");
    EmptyTable(area.Airspaces, area.AirspaceCount);
    for (std::int32_t j = 0; j < airspaceCount; ++j) {
        const AirspaceRecord& airspace = WorldAirspace(state, j);
        if (IsArtccClass(airspace.ClassText)) AppendSlot(area.Airspaces, area.AirspaceCount, airspace);
    }
    report.Advanced();

    Commit(state, std::move(area));
    return GatherOutcome::Gathered;
}

}  // namespace

AirspaceRecord MakeTraconAirspace(const AirportRecord& airport) {
    AirspaceRecord tracon;
    tracon.CenterLat = airport.Lat;
    tracon.CenterLon = airport.Lon;
    tracon.FromAltitude = airport.ElevationFt;
    tracon.ToAltitude = CheckedI32(static_cast<std::int64_t>(airport.ElevationFt) + kTraconHeightFt);
    tracon.ClassText = kTracon;
    if (!airport.DepartureFreq.empty()) tracon.FrequencyText += airport.DepartureFreq + " Mhz  ";
    if (!airport.ApproachFreq.empty()) tracon.FrequencyText += airport.ApproachFreq + " Mhz  ";
    BoundaryPoint& centre = tracon.Points.Grow(0);
    centre.Kind = bgl::kArcCentre;
    centre.Lat = airport.Lat;
    centre.Lon = airport.Lon;
    BoundaryPoint& circle = tracon.Points.Grow(1);
    circle.Kind = bgl::kCircle;
    circle.Radius = kTraconRadiusNm;
    tracon.PointCount = 2;
    return tracon;
}

geo::GeoPoint SectorCenter(const DeclinationGrid& grid, const SectorRectangle& box) {
    const std::int16_t distance = geo::DistanceNm(box.North, box.West, box.South, box.East);
    const std::int16_t course = geo::MagneticToTrue(
        grid, geo::MagneticCourse(grid, box.North, box.West, box.South, box.East), box.North, box.West);
    return geo::DestinationNm(box.North, box.West, course, ToI16(distance / 2.0));
}

GatherOutcome GatherArea(SelectionState state, const AreaChoice& choice, SelectionProgress* progress) {
    const Reporter report(progress);
    return choice.Kind == AreaChoiceKind::Airport ? GatherAirport(state, choice.Text, report)
                                                  : GatherSector(state, choice.Text, report);
}

}  // namespace tarnwick
