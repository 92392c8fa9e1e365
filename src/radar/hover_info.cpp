#include "radar/hover_info.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "base/ansi.h"
#include "base/number_format.h"
#include "base/rounding.h"
#include "radar/airport_layers.h"
#include "radar/scope_redraw.h"

namespace tarnwick {

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += kBoxLineBreak;
        text += line;
    }
    return text;
}

std::string Feet(std::int64_t value) { return std::to_string(value) + " ft"; }

std::string AirspaceText(const AirspaceRecord& s) {
    const std::int32_t lower = std::min(s.FromAltitude, s.ToAltitude);
    const std::int32_t upper = std::max(s.FromAltitude, s.ToAltitude);
    if (s.ClassText == kArtccHigh || s.ClassText == kArtccLow) {
        return Lines({"AIRSPACE FULLNAME: " + s.FullName, "AIRSPACE TYPE: " + s.ClassText,
                      "FREQUENCY: " + s.FrequencyText});
    }
    if (s.ClassText == kTracon) {
        return Lines({"AIRSPACE TYPE: " + s.ClassText, "FREQUENCY: " + s.FrequencyText,
                      "FROM ALTITUDE: " + Feet(lower), "TO ALTITUDE: " + Feet(upper)});
    }
    if (s.ClassText == kClassB) {
        return Lines({"AIRSPACE TYPE: " + s.ClassText, "FROM ALTITUDE: " + Feet(lower),
                      "TO ALTITUDE: " + Feet(upper)});
    }
    return {};
}

std::string AircraftText(const PlayerRecord& p) {
    return Lines({"PLAYER: " + p.Name, "HEADING: " + FormatGeneral(p.Heading),
                  "ALTITUDE: " + Feet(p.Altitude), "TYPE PLANE: " + p.Category});
}

std::string ParkingText(const ParkingEntry& p) {
    return Lines({UpperCaseAnsi(p.Label), "RADIUS: " + Feet(p.RadiusFt)});
}

std::string RunwayEndText(const RunwayEntry& r, bool secondEnd) {
    return Lines({"RUNWAY: " + (secondEnd ? r.SecondaryId : r.PrimaryId),
                  "HEADING: " + std::to_string(secondEnd ? r.SecondaryMagHeading : r.PrimaryMagHeading),
                  "ALTITUDE: " + Feet(r.ElevationFt), "LENGHT: " + Feet(r.LengthFt),
                  "WIDTH: " + Feet(r.WidthFt)});
}

std::string IlsText(const IlsEntry& i) {
    return Lines(
        {"ILS: " + i.IlsId, "HEADING: " + std::to_string(i.MagHeading), "FREQUENCY: " + i.Freq + " Mhz"});
}

// Walks the candidates; each hit replaces what an earlier one said.
class HoverSearch {
   public:
    HoverSearch(const HoverScene& scene, ScreenPoint pointer) : scene_(scene), pointer_(pointer) {}

    bool Hits(double lat, double lon) const {
        if (!StrictlyInside(scene_.View.ViewBounds, lat, lon)) return false;
        return WithinHoverReach(ProjectToScreen(scene_.View, lat, lon), pointer_);
    }

    void Airspaces() {
        const ChosenArea& area = scene_.Area;
        const DisplayOptions& display = scene_.Display;
        const std::int16_t level = scene_.View.ZoomLevel;
        if (level < kAirspacesFromLevel || level > kAirspacesToLevel || !display.DisplayAirspaces) return;
        for (const AirspaceRecord& s : area.FilledAirspaces()) {
            if ((s.ClassText == kArtccHigh && !display.DisplayHighArtcc) ||
                (s.ClassText == kArtccLow && !display.DisplayLowArtcc)) {
                continue;
            }
            if (!Hits(s.CenterLat, s.CenterLon)) continue;
            info_.Text = AirspaceText(s);
            info_.Airspace = HoverTarget{kSelectedAirspaceCaption, s.ClassText, s.CenterLat, s.CenterLon};
        }
    }

    void Aircraft() {
        for (const PlayerRecord& p : scene_.Traffic.Table.Entries()) {
            if (ShowsOnScope(scene_.Traffic, p) && Hits(p.Latitude, p.Longitude))
                info_.Text = AircraftText(p);
        }
    }

    // Taken from every airport of the area, whether or not the redraw pass
    // drew its ground layers.
    void Ground() {
        const ChosenArea& area = scene_.Area;
        const DisplayOptions& display = scene_.Display;
        if (scene_.View.ZoomLevel < kGroundFromLevel) return;
        for (const AirportRecord& airport : area.FilledAirports()) {
            if (display.DisplayParkings) {
                for (const ParkingEntry& p : airport.FilledParkings()) {
                    if (Hits(p.Lat, p.Lon)) info_.Text = ParkingText(p);
                }
            }
            for (const RunwayEntry& r : airport.FilledRunways()) {
                if (Hits(r.End1Lat, r.End1Lon)) info_.Text = RunwayEndText(r, false);
                if (Hits(r.End2Lat, r.End2Lon)) info_.Text = RunwayEndText(r, true);
            }
            if (display.DisplayIls) {
                for (const IlsEntry& ils : airport.FilledIls()) {
                    if (Hits(ils.Lat, ils.Lon)) info_.Text = IlsText(ils);
                }
            }
        }
    }

    HoverInfo Result() && { return std::move(info_); }

   private:
    const HoverScene& scene_;
    ScreenPoint pointer_;
    HoverInfo info_;
};

}  // namespace

bool WithinHoverReach(ScreenPoint object, ScreenPoint pointer) {
    const double dx = std::abs(static_cast<double>(object.X) - pointer.X);
    const double dy = std::abs(static_cast<double>(object.Y) - pointer.Y);
    return RoundHalfEven(std::sqrt(dx * dx + dy * dy)) <= kHoverReachPx;
}

HoverInfo FindHoverInfo(const HoverScene& scene, GeoPosition pointer) {
    ScreenPoint p;
    try {
        p = ProjectToScreen(scene.View, pointer.Lat, pointer.Lon);
    } catch (const OverflowError&) {
        return {};  // a pointer whose pixel does not fit 32 bits is on no object
    }
    HoverSearch search(scene, p);
    search.Airspaces();
    search.Aircraft();
    search.Ground();
    return std::move(search).Result();
}

}  // namespace tarnwick
