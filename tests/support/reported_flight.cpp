#include "support/reported_flight.h"

#include <algorithm>
#include <cmath>

#include "geo/local_offset.h"
#include "multiplayer/game/wire_values.h"

namespace tarnwick::testing {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kReportInterval{250};
constexpr milliseconds kTick{100};
constexpr double kStepSeconds = 0.01;

}  // namespace

FlightPath FlightPath::After(double seconds) const {
    FlightPath path = *this;
    for (double flown = 0.0; flown < seconds - 1e-9;) {
        const double step = std::min(kStepSeconds, seconds - flown);
        // Half the turn before the move and half after keeps the arc true.
        path.TrackDeg += path.TurnDegPerS * step / 2.0;
        const geo::GeoPoint next =
            geo::MovedBy(path.Lat, path.Lon, geo::AlongCourse(path.TrackDeg, path.SpeedKt * step / 3600.0));
        path.TrackDeg = std::fmod(path.TrackDeg + path.TurnDegPerS * step / 2.0 + 360.0, 360.0);
        path.Lat = next.Lat;
        path.Lon = next.Lon;
        path.AltitudeFt += path.ClimbFpm * step / 60.0;
        flown += step;
    }
    return path;
}

void ReportedTraffic::Add(const std::string& name, std::int32_t id, const FlightPath& path, Delay delay) {
    (void)Table.Append(name, id, kKindPlayer);
    pilots_.push_back({name, path, delay ? delay : [](int) { return milliseconds{0}; }, path});
}

void ReportedTraffic::Silence(const std::string& name) {
    for (Pilot& pilot : pilots_) pilot.Silent = pilot.Silent || pilot.Name == name;
}

FlightPath ReportedTraffic::TrueAt(const std::string& name, double seconds) const {
    const auto pilot =
        std::find_if(pilots_.begin(), pilots_.end(), [&](const Pilot& p) { return p.Name == name; });
    return pilot->Start.After(seconds);
}

void ReportedTraffic::RunUntil(double seconds) {
    const milliseconds end{static_cast<std::int64_t>(std::llround(seconds * 1000.0))};
    while (now_ + kTick <= end) {
        now_ += kTick;
        bool changed = false;
        for (Pilot& pilot : pilots_) {
            // Reports arrive in order: one late report holds up those behind it.
            while (!pilot.Silent &&
                   kReportInterval * pilot.NextReport + pilot.ReportDelay(pilot.NextReport) <= now_) {
                const double sentAt = 0.25 * pilot.NextReport;
                pilot.Reported = pilot.Reported.After(sentAt - pilot.ReportedAt);
                pilot.ReportedAt = sentAt;
                const FlightPath& at = pilot.Reported;
                for (PlayerRecord& entry : Table.Entries()) {
                    if (entry.Name != pilot.Name) continue;
                    entry.Latitude = LatitudeFromWire(LatitudeToWire(at.Lat));
                    entry.Longitude = LongitudeFromWire(LongitudeToWire(at.Lon));
                    entry.Altitude = AltitudeFeetFromMetres(AltitudeMetresFromFeet(at.AltitudeFt));
                }
                ++pilot.NextReport;
                changed = true;
            }
        }
        if (changed) History.Observe(Table, now_);
    }
}

}  // namespace tarnwick::testing
