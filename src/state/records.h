#pragma once
// The airport and airspace records, one form on disk and in memory. Texts are
// ANSI bytes. Each list carries its own slots beside the record's count field.
#include <cstdint>
#include <span>
#include <string>

#include "state/slot_list.h"

namespace tarnwick {

struct RunwayEntry {
    std::string PrimaryId;
    std::string SecondaryId;
    double CenterLat = 0, CenterLon = 0;
    double End1Lat = 0, End1Lon = 0;
    double End2Lat = 0, End2Lon = 0;
    std::int32_t ElevationFt = 0;
    std::int16_t PrimaryMagHeading = 0;
    std::int16_t SecondaryMagHeading = 0;
    std::int32_t LengthFt = 0;
    std::int32_t WidthFt = 0;
    bool operator==(const RunwayEntry&) const = default;
};

struct IlsEntry {
    std::string IlsId;
    double Lat = 0, Lon = 0;
    std::int16_t MagHeading = 0;
    std::string Freq;
    bool operator==(const IlsEntry&) const = default;
};

struct TaxiPointEntry {
    std::int32_t Kind = 0;
    double Lat = 0, Lon = 0;
    bool operator==(const TaxiPointEntry&) const = default;
};

struct ParkingEntry {
    std::string Label;
    double Lat = 0, Lon = 0;
    std::int32_t RadiusFt = 0;
    bool operator==(const ParkingEntry&) const = default;
};

struct TaxiSegmentEntry {
    std::int32_t SegmentType = 0;
    std::int32_t FromPoint = 0;
    std::int32_t ToPoint = 0;
    std::string Label;
    bool operator==(const TaxiSegmentEntry&) const = default;
};

struct AirportRecord {
    std::string Name;
    std::string IcaoId;
    double Lat = 0, Lon = 0;
    std::int32_t ElevationFt = 0;
    std::string ClearanceFreq, GroundFreq, TowerFreq, DepartureFreq, ApproachFreq;
    SlotList<RunwayEntry> Runways;
    std::int32_t RunwayCount = 0;
    SlotList<IlsEntry> IlsList;
    std::int32_t IlsCount = 0;
    SlotList<TaxiPointEntry> TaxiPoints;
    std::int32_t TaxiPointCount = 0;
    SlotList<ParkingEntry> Parkings;
    std::int32_t ParkingCount = 0;
    SlotList<TaxiSegmentEntry> TaxiSegments;
    std::int32_t TaxiSegmentCount = 0;
    bool operator==(const AirportRecord&) const = default;

    // The entries each count names that its list really holds.
    std::span<const RunwayEntry> FilledRunways() const { return Runways.Filled(RunwayCount); }
    std::span<const IlsEntry> FilledIls() const { return IlsList.Filled(IlsCount); }
    std::span<const TaxiPointEntry> FilledTaxiPoints() const { return TaxiPoints.Filled(TaxiPointCount); }
    std::span<const ParkingEntry> FilledParkings() const { return Parkings.Filled(ParkingCount); }
    std::span<const TaxiSegmentEntry> FilledTaxiSegments() const {
        return TaxiSegments.Filled(TaxiSegmentCount);
    }
};

struct BoundaryPoint {
    std::uint8_t Kind = 0;
    double Lat = 0, Lon = 0;
    std::int32_t Radius = 0;
    bool operator==(const BoundaryPoint&) const = default;
};

struct AirspaceRecord {
    SlotList<BoundaryPoint> Points;
    std::int32_t PointCount = 0;
    double Corner1Lat = 0, Corner2Lat = 0, Corner1Lon = 0, Corner2Lon = 0;
    double CenterLat = 0, CenterLon = 0;
    std::int32_t FromAltitude = 0, ToAltitude = 0;
    std::string FrequencyText;
    std::string ClassText;
    std::string AirspaceName;
    std::string FullName;
    bool operator==(const AirspaceRecord&) const = default;

    // The boundary points the count names that the list really holds.
    std::span<const BoundaryPoint> FilledPoints() const { return Points.Filled(PointCount); }
};

// Class texts of airspaces: those stored in the airspace database, the ones
// a scenery record may carry, and the one the area gathering adds.
inline constexpr const char* kClassB = "Airspace Class B";
inline constexpr const char* kClassC = "Airspace Class C";
inline constexpr const char* kClassD = "Airspace Class D";
inline constexpr const char* kArtccHigh = "ARTCC/FIR (HIGH)";
inline constexpr const char* kArtccLow = "ARTCC/FIR (LOW)";
inline constexpr const char* kTracon = "TRACON (Departure/Approach)";

// A terminal area reaching no higher than these (feet, both limits) is class C or D.
inline constexpr std::int32_t kClassCCeilingFt = 4000;
inline constexpr std::int32_t kClassDCeilingFt = 2500;

// The control sectors the user can choose and the scope draws wide.
inline bool IsArtccClass(const std::string& classText) {
    return classText == kArtccHigh || classText == kArtccLow;
}

}  // namespace tarnwick
