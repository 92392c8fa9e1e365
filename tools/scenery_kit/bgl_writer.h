#pragma once
// Writes FS2002-style scenery files holding airports and airspaces, in the
// layout the scenery scan reads: the demo scenery and the synthetic benchmark
// input are made with it. The input is a plain description in natural units
// (degrees, true headings, feet, MHz, metres); the writer turns each value into
// the raw field the reader converts back.
#include <cstdint>
#include <string>
#include <vector>

#include "scenery/scenery_layout.h"

namespace tarnwick::bgl {

struct Frequency {
    FrequencyKind Kind = kTowerFrequency;
    double Mhz = 0;
};

struct Ils {
    std::string Ident;
    double Lat = 0, Lon = 0;
    double Mhz = 0;
    double TrueCourse = 0;  // degrees, -180..180 or 0..360
};

struct Runway {
    int Number = 0;          // 1..36 for a real runway
    int DesignatorCode = 0;  // 0 none, 1 L, 2 R, 3 C, 4 H (of the primary end)
    double CenterLat = 0, CenterLon = 0;
    double TrueHeading = 0;  // of the primary end, degrees
    double ElevationFt = 0;
    std::int32_t LengthFt = 0, WidthFt = 0;
    std::vector<Ils> IlsList;  // written right after the runway
    // Trailing records of the runway's kind that are not ILS (other navaids),
    // written before its ILS; readers pass over them.
    int OtherTrailers = 0;
};

struct TaxiPoint {
    std::int32_t Kind = 1;
    double EastM = 0, NorthM = 0;  // offsets from the airport's reference point
};

struct Parking {
    double EastM = 0, NorthM = 0, RadiusM = 0;
    int NameCode = 1;  // 1 "Parking" ... 10 "Gate", 12..37 "Gate A".."Gate Z"
    int Number = 0;    // 0..8191
    int SpotType = 0;  // 0..15
};

struct TaxiSegment {
    std::int32_t Type = 0;  // 0 taxiway, 1 runway, 2 parking link
    std::int32_t From = 0, To = 0;
    std::int32_t NameIndex = 0;  // index into the names (type 0) or the runways (type 1)
};

struct TaxiNetwork {
    std::vector<TaxiPoint> Points;
    std::vector<Parking> Parkings;
    std::vector<TaxiSegment> Segments;
    std::vector<std::string> Names;  // at most 8 bytes each
    bool Empty() const { return Points.empty() && Parkings.empty() && Segments.empty(); }
};

struct Airport {
    std::string Name;  // ANSI
    std::string Icao;
    double Lat = 0, Lon = 0;
    double ElevationFt = 0;
    std::vector<Frequency> Frequencies;  // in order; the reader keeps the first of each kind
    std::vector<Runway> Runways;
    TaxiNetwork Taxi;
    // Records of the kinds the reader passes over (0x10003, 0x10005, a lone
    // 0x10004), written after the frequencies.
    int OtherRecords = 0;
};

struct Boundary {
    BoundaryKind Kind = kLine;
    double Lat = 0, Lon = 0;  // not for circles
    std::int32_t Radius = 0;  // circles only, nautical miles
};

struct Airspace {
    std::string Name;
    std::string FullName;                   // written with the frequency; empty with no frequency
    double Mhz = 0;                         // 0: no frequency record
    std::int32_t LowerFt = 0, UpperFt = 0;  // written on every start and circle
    double North = 0, South = 0, West = 0, East = 0;
    std::vector<Boundary> Points;
};

struct SceneryFile {
    std::vector<Airport> Airports;
    std::vector<Airspace> Airspaces;
    int DirectoryEntriesPerBlock = 16;  // airports per directory block
};

// The raw fields, exposed so that callers and tests can reason about them.
std::int32_t LatitudeRaw(double lat);
std::int32_t LongitudeRaw(double lon);           // 2^32 per full circle
std::int32_t ReferenceLongitudeRaw(double lon);  // (2^32 + 1) per full circle
std::int32_t HeadingRaw(double degrees);
std::int32_t ElevationRaw(double feet);  // whole metres
// The frequency's decimal digits in units of 100 Hz, written as hexadecimal digits.
std::int32_t FrequencyRaw(double mhz);
std::uint32_t ParkingNameWord(int nameCode, int number, int spotType);

// The position the reader decodes from the raw fields: taxi offsets are taken
// from the airport's reference point as stored, not as given.
double StoredLatitude(double lat);
double StoredReferenceLongitude(double lon);

// East and north offsets in metres of (lat, lon) from a reference point, such
// that moving the reference point east/west and north/south by them along great
// circles gives that position back.
struct Offset {
    double EastM = 0, NorthM = 0;
};
Offset OffsetFrom(double refLat, double refLon, double lat, double lon);

// The whole file. Throws std::invalid_argument when a value does not fit its field.
std::vector<std::uint8_t> WriteSceneryFile(const SceneryFile& file);

// A file of `size` bytes that is not a scenery file (no marker at 118), with
// content made from `seed`, for folders that mix other .bgl files in.
std::vector<std::uint8_t> NonAirportFile(std::size_t size, std::uint64_t seed);

}  // namespace tarnwick::bgl
