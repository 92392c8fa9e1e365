#include "scenery_kit/bgl_writer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "geo/geodesy.h"

namespace tarnwick::bgl {

namespace {

constexpr double kTwoTo32 = 4294967296.0;

// Little-endian bytes with length fields patched in once a record is complete.
class Out {
   public:
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void F32(float v) {
        std::uint32_t bits = 0;
        static_assert(sizeof bits == sizeof v);
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    // Text bytes, then zeros to the next multiple of 4 with at least one zero.
    void Text(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        Zeros(4 - text.size() % 4);
    }
    void FixedText(const std::string& text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            bytes_.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
    void Append(const std::vector<std::uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }

    // A framed record: type, body length (patched by End), body.
    std::size_t Begin(std::int32_t type) {
        const std::size_t start = bytes_.size();
        I32(type);
        I32(0);
        return start;
    }
    void End(std::size_t start) { Patch(start + 4, static_cast<std::int64_t>(bytes_.size() - start) - 8); }
    // The record that ends a chain: an unknown type with an empty body.
    void Terminator() { Zeros(8); }

    void Patch(std::size_t at, std::int64_t value) {
        if (value < INT32_MIN || value > INT32_MAX) throw std::invalid_argument("scenery file too large");
        const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
        for (int i = 0; i < 4; ++i)
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    std::size_t Size() const { return bytes_.size(); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

   private:
    std::vector<std::uint8_t> bytes_;
};

std::int32_t Checked(double raw, const char* what) {
    if (!(raw >= INT32_MIN && raw <= INT32_MAX))
        throw std::invalid_argument(std::string(what) + " out of range");
    return static_cast<std::int32_t>(raw);
}

// Longitudes are a fraction of a full circle, so a value that rounds up to +180
// is the same meridian as -180.
std::int32_t CircleRaw(double degrees, double unitsPerCircle) {
    if (!std::isfinite(degrees)) throw std::invalid_argument("angle is not a number");
    double folded = std::fmod(degrees, 360.0);
    if (folded >= 180.0) folded -= 360.0;
    if (folded < -180.0) folded += 360.0;
    auto raw = static_cast<std::int64_t>(std::nearbyint(folded * unitsPerCircle / 360.0));
    if (raw >= (std::int64_t{1} << 31)) raw -= std::int64_t{1} << 32;
    return static_cast<std::int32_t>(raw);
}

void Position(Out& out, double lat, double lon) {
    // +8 and +16 hold the low parts of the position in real files; only the
    // whole parts at +12 and +20 are read.
    out.I32(0);
    out.I32(LatitudeRaw(lat));
    out.I32(0);
    out.I32(LongitudeRaw(lon));
}

void WriteIls(Out& out, const Ils& ils) {
    const std::size_t start = out.Begin(kRunwayTrailer);
    Position(out, ils.Lat, ils.Lon);
    out.I32(0);  // +24
    out.I32(0);  // +28
    out.I32(HeadingRaw(ils.TrueCourse));
    out.I32(FrequencyRaw(ils.Mhz));
    out.I32(kIlsMark);  // +40
    out.Zeros(12);      // +44 .. +55
    out.Text(ils.Ident);
    out.End(start);
}

// A record the airport reader skips; `mark` at +40 tells a runway trailer
// that is no ILS from one that is.
void WriteOther(Out& out, std::int32_t type, std::int32_t mark) {
    const std::size_t start = out.Begin(type);
    out.Zeros(32);  // +8 .. +39
    out.I32(mark);
    out.Zeros(12);
    out.End(start);
}

void WriteRunway(Out& out, const Runway& runway) {
    const std::size_t start = out.Begin(kRunway);
    Position(out, runway.CenterLat, runway.CenterLon);
    out.I32(0);  // +24
    out.I32(ElevationRaw(runway.ElevationFt));
    out.I32(HeadingRaw(runway.TrueHeading));
    out.I32(0);  // +36
    out.I32(runway.LengthFt);
    out.I32(runway.WidthFt);
    out.I32(runway.DesignatorCode);
    out.I32(runway.Number);
    out.End(start);
    for (int i = 0; i < runway.OtherTrailers; ++i) WriteOther(out, kRunwayTrailer, 1);
    for (const Ils& ils : runway.IlsList) WriteIls(out, ils);
}

void WriteTaxiNetwork(Out& out, const TaxiNetwork& taxi) {
    const std::size_t start = out.Begin(kTaxiwayNetwork);
    if (!taxi.Points.empty()) {
        out.I32(static_cast<std::int32_t>(taxi.Points.size()));
        out.I32(kTaxiPointBlock);
        for (const TaxiPoint& p : taxi.Points) {
            out.I32(p.Kind);
            out.F32(static_cast<float>(p.EastM));
            out.F32(static_cast<float>(p.NorthM));
        }
    }
    if (!taxi.Parkings.empty()) {
        out.I32(static_cast<std::int32_t>(taxi.Parkings.size()));
        out.I32(kParkingBlock);
        for (const Parking& p : taxi.Parkings) {
            out.F32(static_cast<float>(p.EastM));
            out.F32(static_cast<float>(p.NorthM));
            out.F32(static_cast<float>(p.RadiusM));
            out.I32(0);  // +12
            out.U32(ParkingNameWord(p.NameCode, p.Number, p.SpotType));
        }
    }
    if (!taxi.Segments.empty()) {
        out.I32(static_cast<std::int32_t>(taxi.Segments.size()));
        out.I32(kTaxiSegmentBlock);
        for (const TaxiSegment& s : taxi.Segments) {
            out.I32(s.Type);
            out.Zeros(8);  // +4, +8
            out.I32(s.From);
            out.I32(s.To);
            out.Zeros(8);  // +20, +24
            out.I32(s.NameIndex);
        }
    }
    // The names block always comes last: reading it also names the runway
    // segments, and it ends the network.
    out.I32(static_cast<std::int32_t>(taxi.Names.size()));
    out.I32(kTaxiNameBlock);
    for (const std::string& name : taxi.Names) {
        if (name.size() > 8) throw std::invalid_argument("taxiway name longer than 8 bytes: " + name);
        out.FixedText(name, 8);
    }
    out.End(start);
}

std::vector<std::uint8_t> AirportRecordBytes(const Airport& airport) {
    Out out;
    out.I32(1);
    out.I32(0);  // body length, patched below
    out.I32(1);
    out.I32(0);
    {
        const std::size_t start = out.Begin(kReferencePoint);
        out.I32(0);
        out.I32(LatitudeRaw(airport.Lat));
        out.I32(0);
        out.I32(ReferenceLongitudeRaw(airport.Lon));
        out.I32(0);
        out.I32(ElevationRaw(airport.ElevationFt));
        out.End(start);
    }
    {
        const std::size_t start = out.Begin(kName);
        out.Text(airport.Icao);
        out.End(start);
    }
    for (const Frequency& f : airport.Frequencies) {
        const std::size_t start = out.Begin(kFrequency);
        out.I32(FrequencyRaw(f.Mhz));
        out.I32(static_cast<std::int32_t>(f.Kind));
        out.End(start);
    }
    static constexpr std::int32_t kOtherTypes[] = {kSkippedRecord, kOtherSkippedRecord, kRunwayTrailer};
    for (int i = 0; i < airport.OtherRecords; ++i) WriteOther(out, kOtherTypes[i % 3], kIlsMark);
    for (const Runway& runway : airport.Runways) WriteRunway(out, runway);
    if (!airport.Taxi.Empty()) WriteTaxiNetwork(out, airport.Taxi);
    out.Terminator();
    out.Patch(4, static_cast<std::int64_t>(out.Size()) - 8);
    return out.Take();
}

std::size_t EntrySize(const Airport& airport) {
    return 16 + airport.Name.size() + (4 - airport.Name.size() % 4);
}

void WriteBoundary(Out& out, const Boundary& point, const Airspace& airspace) {
    switch (point.Kind) {
        case kCircle: {
            const std::size_t start = out.Begin(kCirclePoint);
            out.I32(point.Radius);
            out.I32(0);
            out.I32(airspace.LowerFt);
            out.I32(airspace.UpperFt);
            out.End(start);
            return;
        }
        case kMovePoint: {
            const std::size_t start = out.Begin(kStartPoint);
            Position(out, point.Lat, point.Lon);
            out.I32(airspace.LowerFt);
            out.I32(airspace.UpperFt);
            out.End(start);
            return;
        }
        case kArcCentre:
        case kClockwiseArc:
        case kCounterClockwiseArc:
        case kLine: {
            const std::int32_t type = point.Kind == kArcCentre      ? kArcCentrePoint
                                      : point.Kind == kLine         ? kLinePoint
                                      : point.Kind == kClockwiseArc ? kClockwiseArcPoint
                                                                    : kCounterClockwiseArcPoint;
            const std::size_t start = out.Begin(type);
            Position(out, point.Lat, point.Lon);
            out.End(start);
            return;
        }
    }
}

void WriteAirspace(Out& out, const Airspace& airspace) {
    const std::size_t block = out.Begin(kGroupOrRecord);
    out.I32(kRecordMark);
    out.I32(0);
    {
        const std::size_t start = out.Begin(kName);
        out.Text(airspace.Name);
        out.End(start);
    }
    {
        // South at +8, west at +12, north at +16, east at +20: corner 1 is the
        // north-west corner and corner 2 the south-east one.
        const std::size_t start = out.Begin(kBoundingRectangle);
        out.I32(LatitudeRaw(airspace.South));
        out.I32(LongitudeRaw(airspace.West));
        out.I32(LatitudeRaw(airspace.North));
        out.I32(LongitudeRaw(airspace.East));
        out.End(start);
    }
    for (const Boundary& point : airspace.Points) WriteBoundary(out, point, airspace);
    if (airspace.Mhz > 0) {
        const std::size_t start = out.Begin(kFrequency);
        out.I32(FrequencyRaw(airspace.Mhz));
        out.I32(0);
        out.Text(airspace.FullName);
        out.End(start);
    }
    out.Terminator();
    out.End(block);
}

}  // namespace

std::int32_t LatitudeRaw(double lat) { return Checked(std::nearbyint(lat * 10001750.0 / 90.0), "latitude"); }
std::int32_t LongitudeRaw(double lon) { return CircleRaw(lon, kTwoTo32); }
std::int32_t ReferenceLongitudeRaw(double lon) { return CircleRaw(lon, kTwoTo32 + 1.0); }
std::int32_t HeadingRaw(double degrees) { return CircleRaw(degrees, kTwoTo32); }
double StoredLatitude(double lat) { return LatitudeRaw(lat) * 90.0 / 10001750.0; }
double StoredReferenceLongitude(double lon) { return ReferenceLongitudeRaw(lon) * 360.0 / (kTwoTo32 + 1.0); }

std::int32_t ElevationRaw(double feet) {
    return Checked(std::nearbyint(feet * geo::kMetresPerFoot), "elevation");
}

std::int32_t FrequencyRaw(double mhz) {
    const double units = std::nearbyint(mhz * 10000.0);
    if (!(units >= 0 && units <= 79999999)) throw std::invalid_argument("frequency out of range");
    // Each decimal digit becomes one hexadecimal digit: 118.3 MHz is 0x1183000.
    auto decimal = static_cast<std::uint32_t>(units);
    std::uint32_t raw = 0;
    for (int shift = 0; decimal != 0; shift += 4, decimal /= 10) raw |= (decimal % 10) << shift;
    return static_cast<std::int32_t>(raw);
}

std::uint32_t ParkingNameWord(int nameCode, int number, int spotType) {
    if (nameCode < 0 || nameCode > 127 || number < 0 || number > 8191 || spotType < 0 || spotType > 15) {
        throw std::invalid_argument("parking name, number or type out of range");
    }
    return static_cast<std::uint32_t>(nameCode) | (static_cast<std::uint32_t>(number) << 7) |
           (static_cast<std::uint32_t>(spotType) << 20);
}

Offset OffsetFrom(double refLat, double refLon, double lat, double lon) {
    // The reader moves from the reference point due north or south along a
    // meridian, and due east or west along the great circle that starts at
    // course 90 or 270, each with the program's own constants. These are the
    // inverses of those two moves.
    constexpr double kRadiansPerDegree = geo::kPi / 180.0;
    constexpr double kMetresPerRadian = 10800.0 / geo::kPi * geo::kMetresPerNm;
    double dLon = std::fmod(lon - refLon, 360.0);
    if (dLon > 180.0) dLon -= 360.0;
    if (dLon < -180.0) dLon += 360.0;
    const double sinDLon = std::sin(dLon * kRadiansPerDegree);
    const double sinPhi = std::sin(refLat * kRadiansPerDegree);
    const double sinD =
        sinDLon * std::cos(refLat * kRadiansPerDegree) / std::sqrt(1.0 - sinDLon * sinDLon * sinPhi * sinPhi);
    return {std::asin(sinD) * kMetresPerRadian, (lat - refLat) * kRadiansPerDegree * kMetresPerRadian};
}

std::vector<std::uint8_t> WriteSceneryFile(const SceneryFile& file) {
    std::vector<std::vector<std::uint8_t>> records;
    records.reserve(file.Airports.size());
    for (const Airport& airport : file.Airports) records.push_back(AirportRecordBytes(airport));

    const std::size_t perBlock = static_cast<std::size_t>(std::max(1, file.DirectoryEntriesPerBlock));
    std::size_t directorySize = 8;  // the chain's closing block
    for (std::size_t i = 0; i < file.Airports.size(); ++i) {
        if (i % perBlock == 0) directorySize += 24 + 8;  // block header and the closing entry
        directorySize += EntrySize(file.Airports[i]);
    }

    Out out;
    out.Zeros(static_cast<std::size_t>(kHeaderSize));
    out.Patch(static_cast<std::size_t>(kMarkerOffset), static_cast<std::int32_t>(kMarker));
    out.Patch(static_cast<std::size_t>(kSectionsFlagOffset), 1);

    if (!file.Airports.empty()) {
        out.Patch(static_cast<std::size_t>(kAirportSectionOffset), static_cast<std::int64_t>(out.Size()));
        std::int64_t recordOffset = static_cast<std::int64_t>(out.Size() + directorySize);
        for (std::size_t first = 0; first < file.Airports.size(); first += perBlock) {
            const std::size_t last = std::min(first + perBlock, file.Airports.size());
            const std::size_t block = out.Begin(kDirectory);
            out.Zeros(12);  // +8 .. +19
            out.I32(static_cast<std::int32_t>(last - first));
            for (std::size_t i = first; i < last; ++i) {
                const std::size_t entry = out.Begin(kDirectoryEntry);
                out.I32(kDirectoryEntryCheck);
                out.I32(Checked(static_cast<double>(recordOffset), "airport record offset"));
                out.Text(file.Airports[i].Name);
                out.End(entry);
                recordOffset += static_cast<std::int64_t>(records[i].size());
            }
            // The directory walk looks at one entry past the announced count;
            // an empty entry of no known type stands there.
            out.Terminator();
            out.End(block);
        }
        out.Terminator();
        for (const auto& record : records) out.Append(record);
    }

    if (!file.Airspaces.empty()) {
        out.Patch(static_cast<std::size_t>(kAirspaceSectionOffset), static_cast<std::int64_t>(out.Size()));
        constexpr std::size_t kPerGroup = 16;
        for (std::size_t first = 0; first < file.Airspaces.size(); first += kPerGroup) {
            const std::size_t block = out.Begin(kGroupOrRecord);
            out.I32(kGroupMark);
            out.I32(0);
            const std::size_t last = std::min(first + kPerGroup, file.Airspaces.size());
            for (std::size_t i = first; i < last; ++i) WriteAirspace(out, file.Airspaces[i]);
            out.Terminator();
            out.End(block);
        }
        out.Terminator();
    }
    return out.Take();
}

std::vector<std::uint8_t> NonAirportFile(std::size_t size, std::uint64_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint64_t state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        // splitmix64: cheap, and the same bytes on every platform
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        bytes[i] = static_cast<std::uint8_t>(z ^ (z >> 31));
    }
    for (std::size_t i = 118; i < 122 && i < size; ++i) bytes[i] = 0;
    return bytes;
}

}  // namespace tarnwick::bgl
