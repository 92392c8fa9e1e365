#include "traffic/conflict_inhibitions.h"

#include <algorithm>
#include <cmath>

#include "geo/local_offset.h"

namespace tarnwick {
namespace {

constexpr double kNmPerDegreeLat = 60.0;

// The angle between two courses, 0 to 180 degrees.
double CourseDifference(double a, double b) { return std::abs(std::remainder(a - b, 360.0)); }

bool ShareAny(const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) {
    for (auto i = a.begin(), j = b.begin(); i != a.end() && j != b.end();) {
        if (*i == *j) return true;
        if (*i < *j) {
            ++i;
        } else {
            ++j;
        }
    }
    return false;
}

}  // namespace

ConflictInhibitions::ConflictInhibitions(const RadarAids& aids, const ChosenArea& area)
    : trackToleranceDeg_(aids.FinalTrackDeg),
      finalDistanceNm_(aids.FinalDistanceNm),
      closingKt_(aids.FinalClosingKt),
      circuitRadiusNm_(aids.CircuitRadiusNm),
      circuitHeightFt_(aids.CircuitHeightFt) {
    for (const AirportRecord& airport : area.FilledAirports()) {
        if (aids.InhibitCircuit) {
            circuits_.push_back({airport.Lat, airport.Lon, geo::EastNmPerDegree(airport.Lat),
                                 static_cast<double>(airport.ElevationFt)});
        }
        if (!aids.InhibitFinal) continue;
        // Either end of a runway may be the one in use.
        for (const RunwayEntry& runway : airport.FilledRunways()) {
            AddFinal(runway.End1Lat, runway.End1Lon, runway.End2Lat, runway.End2Lon);
            AddFinal(runway.End2Lat, runway.End2Lon, runway.End1Lat, runway.End1Lon);
        }
    }
}

void ConflictInhibitions::AddFinal(double fromLat, double fromLon, double toLat, double toLon) {
    const geo::OffsetNm along = geo::OffsetBetween(fromLat, fromLon, toLat, toLon);
    const double length = geo::LengthNm(along);
    // A runway without a length has no course to fly.
    if (!(length > 0.0) || !std::isfinite(length)) return;
    Final final;
    final.ThresholdLat = fromLat;
    final.ThresholdLon = fromLon;
    final.EastNmPerDegree = geo::EastNmPerDegree(fromLat);
    final.CourseTrue = geo::CourseDegrees(along);
    final.Sin = along.East / length;
    final.Cos = along.North / length;
    final.RunwayLengthNm = length;
    finals_.push_back(final);
}

// On the extended centreline up to the distance before the threshold, or
// over the runway, tracking its course.
bool ConflictInhibitions::OnFinal(const Final& final, double lat, double lon, double trackTrue) const {
    const double north = (lat - final.ThresholdLat) * kNmPerDegreeLat;
    if (std::abs(north) > finalDistanceNm_ + final.RunwayLengthNm) return false;
    const double east = std::remainder(lon - final.ThresholdLon, 360.0) * final.EastNmPerDegree;
    // Beyond the threshold along the course is positive, right of it too.
    const double along = east * final.Sin + north * final.Cos;
    const double right = east * final.Cos - north * final.Sin;
    return std::abs(right) <= kFinalHalfWidthNm && along >= -finalDistanceNm_ &&
           along <= final.RunwayLengthNm &&
           CourseDifference(trackTrue, final.CourseTrue) <= trackToleranceDeg_;
}

bool ConflictInhibitions::InCircuit(const Circuit& circuit, double lat, double lon, double altitudeFt) const {
    if (!(altitudeFt - circuit.ElevationFt < circuitHeightFt_)) return false;
    const double north = (lat - circuit.Lat) * kNmPerDegreeLat;
    const double east = std::remainder(lon - circuit.Lon, 360.0) * circuit.EastNmPerDegree;
    return std::hypot(east, north) <= circuitRadiusNm_;
}

InhibitionPlace ConflictInhibitions::PlaceOf(double lat, double lon, double altitudeFt,
                                             double trackTrue) const {
    InhibitionPlace place;
    for (std::size_t i = 0; i < finals_.size(); ++i) {
        if (OnFinal(finals_[i], lat, lon, trackTrue)) place.Finals.push_back(i);
    }
    for (std::size_t i = 0; i < circuits_.size(); ++i) {
        if (InCircuit(circuits_[i], lat, lon, altitudeFt)) place.Circuits.push_back(i);
    }
    return place;
}

bool ConflictInhibitions::Excuses(const InhibitionPlace& a, const InhibitionPlace& b,
                                  double closingKt) const {
    if (ShareAny(a.Circuits, b.Circuits)) return true;
    return closingKt <= closingKt_ && ShareAny(a.Finals, b.Finals);
}

}  // namespace tarnwick
