#pragma once
// Where aircraft are close together by design and a controller wants no
// conflict alert: in trail on one final approach to a runway of the area's
// airports (both on its extended centreline, tracking its course, within a
// distance of its threshold, and not closing fast), and in an airport's
// circuit (both near an airport of the area and low above it).
#include <cstddef>
#include <vector>

#include "state/chosen_area.h"
#include "state/radar_aids.h"

namespace tarnwick {

// How far either side of a runway's extended centreline an aircraft still
// counts as on it: pilots fly a final by eye or on a localiser, which is
// about this wide at 12 nm, and parallel runways close together share it.
inline constexpr double kFinalHalfWidthNm = 1.0;

// An aircraft's place as the inhibitions see it: the finals it flies and the
// circuits it is in, by index, each in increasing order.
struct InhibitionPlace {
    std::vector<std::size_t> Finals;
    std::vector<std::size_t> Circuits;
};

class ConflictInhibitions {
   public:
    // Nothing inhibited.
    ConflictInhibitions() = default;
    // The aids' inhibitions over the runways and airports of the area.
    ConflictInhibitions(const RadarAids& aids, const ChosenArea& area);

    InhibitionPlace PlaceOf(double lat, double lon, double altitudeFt, double trackTrue) const;
    // Whether two aircraft at these places, closing at this rate (knots;
    // negative when they draw apart), are left out of the alert.
    bool Excuses(const InhibitionPlace& a, const InhibitionPlace& b, double closingKt) const;

   private:
    // One runway end's final: aircraft land from the threshold along the
    // course (true), whose sine and cosine are kept, toward the other end.
    struct Final {
        double ThresholdLat = 0.0;
        double ThresholdLon = 0.0;
        double EastNmPerDegree = 0.0;
        double CourseTrue = 0.0;
        double Sin = 0.0;
        double Cos = 1.0;
        double RunwayLengthNm = 0.0;
    };
    struct Circuit {
        double Lat = 0.0;
        double Lon = 0.0;
        double EastNmPerDegree = 0.0;
        double ElevationFt = 0.0;
    };

    void AddFinal(double fromLat, double fromLon, double toLat, double toLon);
    bool OnFinal(const Final& final, double lat, double lon, double trackTrue) const;
    bool InCircuit(const Circuit& circuit, double lat, double lon, double altitudeFt) const;

    double trackToleranceDeg_ = 0.0;
    double finalDistanceNm_ = 0.0;
    double closingKt_ = 0.0;
    double circuitRadiusNm_ = 0.0;
    double circuitHeightFt_ = 0.0;
    // Empty while their inhibition is off.
    std::vector<Final> finals_;
    std::vector<Circuit> circuits_;
};

}  // namespace tarnwick
