#include "scenery/database_file.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/file_system.h"

namespace tarnwick {
namespace {

// Smallest size of one stored element, to refuse element counts that the
// remaining bytes could never hold before any memory is reserved for them.
constexpr std::size_t kMinRunwayBytes = 2 + 2 + 6 * 8 + 4 + 2 + 2 + 4 + 4;
constexpr std::size_t kMinIlsBytes = 2 + 8 + 8 + 2 + 2;
constexpr std::size_t kMinTaxiPointBytes = 4 + 8 + 8;
constexpr std::size_t kMinParkingBytes = 2 + 8 + 8 + 4;
constexpr std::size_t kMinSegmentBytes = 4 + 4 + 4 + 2;
constexpr std::size_t kMinBoundaryBytes = 1 + 8 + 8 + 4;

// A structural fault in the file (as opposed to its simply ending early).
class MalformedData : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

void Put(ByteWriter& w, const RunwayEntry& r) {
    w.Text(r.PrimaryId);
    w.Text(r.SecondaryId);
    for (double v : {r.CenterLat, r.CenterLon, r.End1Lat, r.End1Lon, r.End2Lat, r.End2Lon}) w.F64(v);
    w.I32(r.ElevationFt);
    w.I16(r.PrimaryMagHeading);
    w.I16(r.SecondaryMagHeading);
    w.I32(r.LengthFt);
    w.I32(r.WidthFt);
}

void Put(ByteWriter& w, const IlsEntry& e) {
    w.Text(e.IlsId);
    w.F64(e.Lat);
    w.F64(e.Lon);
    w.I16(e.MagHeading);
    w.Text(e.Freq);
}

void Put(ByteWriter& w, const TaxiPointEntry& e) {
    w.I32(e.Kind);
    w.F64(e.Lat);
    w.F64(e.Lon);
}

void Put(ByteWriter& w, const ParkingEntry& e) {
    w.Text(e.Label);
    w.F64(e.Lat);
    w.F64(e.Lon);
    w.I32(e.RadiusFt);
}

void Put(ByteWriter& w, const TaxiSegmentEntry& e) {
    w.I32(e.SegmentType);
    w.I32(e.FromPoint);
    w.I32(e.ToPoint);
    w.Text(e.Label);
}

void Put(ByteWriter& w, const BoundaryPoint& p) {
    w.U8(p.Kind);
    w.F64(p.Lat);
    w.F64(p.Lon);
    w.I32(p.Radius);
}

template <typename T>
void PutList(ByteWriter& w, const SlotList<T>& list) {
    if (!list.IsSized()) {
        w.I16(0);
        return;
    }
    w.I16(1);
    w.U32(static_cast<std::uint32_t>(list.SlotCount()));
    w.I32(0);
    for (const T& element : list.Slots()) Put(w, element);
}

void Put(ByteWriter& w, const AirportRecord& a) {
    w.Text(a.Name);
    w.Text(a.IcaoId);
    w.F64(a.Lat);
    w.F64(a.Lon);
    w.I32(a.ElevationFt);
    w.Text(a.ClearanceFreq);
    w.Text(a.GroundFreq);
    w.Text(a.TowerFreq);
    w.Text(a.DepartureFreq);
    w.Text(a.ApproachFreq);
    PutList(w, a.Runways);
    w.I32(a.RunwayCount);
    PutList(w, a.IlsList);
    w.I32(a.IlsCount);
    PutList(w, a.TaxiPoints);
    w.I32(a.TaxiPointCount);
    PutList(w, a.Parkings);
    w.I32(a.ParkingCount);
    PutList(w, a.TaxiSegments);
    w.I32(a.TaxiSegmentCount);
}

void Put(ByteWriter& w, const AirspaceRecord& s) {
    PutList(w, s.Points);
    w.I32(s.PointCount);
    for (double v : {s.Corner1Lat, s.Corner2Lat, s.Corner1Lon, s.Corner2Lon, s.CenterLat, s.CenterLon}) {
        w.F64(v);
    }
    w.I32(s.FromAltitude);
    w.I32(s.ToAltitude);
    w.Text(s.FrequencyText);
    w.Text(s.ClassText);
    w.Text(s.AirspaceName);
    w.Text(s.FullName);
}

// Decoders fill the record in place, so that a file ending mid-record leaves
// the fields read so far and the rest empty.
void Get(ByteReader& r, RunwayEntry& e) {
    e.PrimaryId = r.Text();
    e.SecondaryId = r.Text();
    for (double* v : {&e.CenterLat, &e.CenterLon, &e.End1Lat, &e.End1Lon, &e.End2Lat, &e.End2Lon}) {
        *v = r.F64();
    }
    e.ElevationFt = r.I32();
    e.PrimaryMagHeading = r.I16();
    e.SecondaryMagHeading = r.I16();
    e.LengthFt = r.I32();
    e.WidthFt = r.I32();
}

void Get(ByteReader& r, IlsEntry& e) {
    e.IlsId = r.Text();
    e.Lat = r.F64();
    e.Lon = r.F64();
    e.MagHeading = r.I16();
    e.Freq = r.Text();
}

void Get(ByteReader& r, TaxiPointEntry& e) {
    e.Kind = r.I32();
    e.Lat = r.F64();
    e.Lon = r.F64();
}

void Get(ByteReader& r, ParkingEntry& e) {
    e.Label = r.Text();
    e.Lat = r.F64();
    e.Lon = r.F64();
    e.RadiusFt = r.I32();
}

void Get(ByteReader& r, TaxiSegmentEntry& e) {
    e.SegmentType = r.I32();
    e.FromPoint = r.I32();
    e.ToPoint = r.I32();
    e.Label = r.Text();
}

void Get(ByteReader& r, BoundaryPoint& p) {
    p.Kind = r.U8();
    p.Lat = r.F64();
    p.Lon = r.F64();
    p.Radius = r.I32();
}

template <typename T>
void GetList(ByteReader& r, SlotList<T>& list, std::size_t minElementBytes) {
    const std::size_t headerAt = r.Offset();
    const std::int16_t dimensions = r.I16();
    if (dimensions == 0) return;
    if (dimensions != 1) {
        throw MalformedData("a list at byte " + std::to_string(headerAt) + " has " +
                            std::to_string(dimensions) + " dimensions");
    }
    const std::uint32_t slots = r.U32();
    const std::int32_t lowerBound = r.I32();
    if (lowerBound != 0) {
        throw MalformedData("a list at byte " + std::to_string(headerAt) + " starts at index " +
                            std::to_string(lowerBound));
    }
    if (slots > r.Remaining() / minElementBytes) {
        throw MalformedData("a list at byte " + std::to_string(headerAt) + " announces " +
                            std::to_string(slots) + " elements, more than the file can hold");
    }
    list.SizeExactly(slots);
    for (std::uint32_t i = 0; i < slots; ++i) Get(r, list[i]);
}

void Get(ByteReader& r, AirportRecord& a) {
    a.Name = r.Text();
    a.IcaoId = r.Text();
    a.Lat = r.F64();
    a.Lon = r.F64();
    a.ElevationFt = r.I32();
    a.ClearanceFreq = r.Text();
    a.GroundFreq = r.Text();
    a.TowerFreq = r.Text();
    a.DepartureFreq = r.Text();
    a.ApproachFreq = r.Text();
    GetList(r, a.Runways, kMinRunwayBytes);
    a.RunwayCount = r.I32();
    GetList(r, a.IlsList, kMinIlsBytes);
    a.IlsCount = r.I32();
    GetList(r, a.TaxiPoints, kMinTaxiPointBytes);
    a.TaxiPointCount = r.I32();
    GetList(r, a.Parkings, kMinParkingBytes);
    a.ParkingCount = r.I32();
    GetList(r, a.TaxiSegments, kMinSegmentBytes);
    a.TaxiSegmentCount = r.I32();
}

void Get(ByteReader& r, AirspaceRecord& s) {
    GetList(r, s.Points, kMinBoundaryBytes);
    s.PointCount = r.I32();
    for (double* v :
         {&s.Corner1Lat, &s.Corner2Lat, &s.Corner1Lon, &s.Corner2Lon, &s.CenterLat, &s.CenterLon}) {
        *v = r.F64();
    }
    s.FromAltitude = r.I32();
    s.ToAltitude = r.I32();
    s.FrequencyText = r.Text();
    s.ClassText = r.Text();
    s.AirspaceName = r.Text();
    s.FullName = r.Text();
}

template <typename Record>
std::vector<std::uint8_t> EncodeTable(std::span<const Record> table) {
    ByteWriter w;
    for (const Record& record : table) Put(w, record);
    return w.Take();
}

template <typename Record>
DatabaseReadResult<Record> DecodeTable(std::span<const std::uint8_t> bytes, std::int32_t count) {
    DatabaseReadResult<Record> result;
    if (count < 0) {
        result.Entries.emplace_back();
        result.Damaged = true;
        result.Problem = "the settings give a negative count (" + std::to_string(count) + ")";
        return result;
    }
    ByteReader r(bytes);
    const std::int64_t wanted = static_cast<std::int64_t>(count) + 1;
    // An entry takes at least 64 bytes, so the file's size bounds the reservation.
    result.Entries.reserve(static_cast<std::size_t>(
                               std::min<std::int64_t>(wanted, static_cast<std::int64_t>(bytes.size() / 64))) +
                           1);
    for (std::int64_t i = 0; i < wanted && !result.Damaged; ++i) {
        if (r.AtEnd()) {
            result.Damaged = true;
            result.Problem =
                "the file ends after " + std::to_string(i) + " of " + std::to_string(wanted) + " entries";
            break;
        }
        Record& record = result.Entries.emplace_back();
        try {
            Get(r, record);
        } catch (const EndOfData&) {
            result.Damaged = true;
            result.Problem =
                "entry " + std::to_string(i) + " is cut off at byte " + std::to_string(r.Offset());
        } catch (const MalformedData& error) {
            result.Damaged = true;
            result.Problem = "entry " + std::to_string(i) + " is damaged: " + error.what();
        }
    }
    // A damaged table keeps what was read and still ends in an empty slot.
    if (result.Damaged) {
        result.Entries.emplace_back();
        return result;
    }
    // More than announced is as wrong as less: the count and the file
    // disagree. The announced entries load; the empty last slot stays empty.
    if (!r.AtEnd() || !(result.Entries.back() == Record{})) {
        result.Damaged = true;
        result.Problem =
            "the settings announce " + std::to_string(count) + " entries but the file holds more after them";
        result.Entries.back() = Record{};
    }
    return result;
}

template <typename Record>
DatabaseReadResult<Record> ReadTable(const std::filesystem::path& path, std::int32_t count) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileError& error) {
        DatabaseReadResult<Record> result;
        result.Entries.emplace_back();
        result.Damaged = true;
        result.Problem = error.what();
        return result;
    }
    auto result = DecodeTable<Record>(bytes, count);
    if (result.Damaged) result.Problem = path.filename().string() + ": " + result.Problem;
    return result;
}

}  // namespace

std::vector<std::uint8_t> EncodeAirports(std::span<const AirportRecord> table) { return EncodeTable(table); }
std::vector<std::uint8_t> EncodeAirspaces(std::span<const AirspaceRecord> table) {
    return EncodeTable(table);
}

DatabaseReadResult<AirportRecord> DecodeAirports(std::span<const std::uint8_t> bytes, std::int32_t count) {
    return DecodeTable<AirportRecord>(bytes, count);
}
DatabaseReadResult<AirspaceRecord> DecodeAirspaces(std::span<const std::uint8_t> bytes, std::int32_t count) {
    return DecodeTable<AirspaceRecord>(bytes, count);
}

void WriteAirportDatabase(const std::filesystem::path& path, std::span<const AirportRecord> table) {
    WriteFileAtomically(path, EncodeAirports(table));
}
void WriteAirspaceDatabase(const std::filesystem::path& path, std::span<const AirspaceRecord> table) {
    WriteFileAtomically(path, EncodeAirspaces(table));
}

DatabaseReadResult<AirportRecord> ReadAirportDatabase(const std::filesystem::path& path, std::int32_t count) {
    return ReadTable<AirportRecord>(path, count);
}
DatabaseReadResult<AirspaceRecord> ReadAirspaceDatabase(const std::filesystem::path& path,
                                                        std::int32_t count) {
    return ReadTable<AirspaceRecord>(path, count);
}

}  // namespace tarnwick
