#pragma once
// The layout of an FS2002 scenery file as far as the program reads it: the
// header fields, the type codes of blocks and records, and the coded values
// records carry. The reader, the writer of demo and test scenery and the
// drawing layers all take them from here. Field offsets inside one record are
// read in one place each and stay with their reader.
#include <cstdint>

namespace tarnwick::bgl {

// File header.
inline constexpr std::int64_t kHeaderSize = 176;
// The 32-bit value at this offset reads 87654321 in hexadecimal in a scenery file.
inline constexpr std::int64_t kMarkerOffset = 118;
inline constexpr std::uint32_t kMarker = 0x87654321u;
// 1 when the two section offsets below are set.
inline constexpr std::int64_t kSectionsFlagOffset = 144;
inline constexpr std::int64_t kAirportSectionOffset = 156;
inline constexpr std::int64_t kAirspaceSectionOffset = 164;

// Every block, entry and record opens with its type and its body length; the
// whole thing is body length + 8 bytes long.
inline constexpr std::int64_t kBlockHeaderBytes = 8;

enum BlockType : std::int32_t {
    // Airport directory and its entries.
    kDirectory = 0x30001,
    kDirectoryEntry = 0x30002,
    kDirectoryEntryCheck = 0x50001,

    // Sub-records of an airport.
    kReferencePoint = 0x10001,
    kRunway = 0x10002,
    kSkippedRecord = 0x10003,
    kRunwayTrailer = 0x10004,  // holds an ILS when its mark is kIlsMark
    kOtherSkippedRecord = 0x10005,
    kName = 0x10006,  // an airport's identifier, an airspace's name
    kTaxiwayNetwork = 0x11001,
    kFrequency = 0x20001,  // an airport's frequency, an airspace's controlling unit

    // Sub-records of an airspace: its rectangle and the points of its outline.
    kBoundingRectangle = 0x1000B,
    kArcCentrePoint = 0x12001,
    kStartPoint = 0x12002,
    kSkippedPoint = 0x12003,
    kLinePoint = 0x12005,
    kClockwiseArcPoint = 0x12006,
    kCounterClockwiseArcPoint = 0x12007,
    kCirclePoint = 0x12008,

    // A group of airspaces or an airspace record, told apart by their mark.
    kGroupOrRecord = 1,
};

// The marks at +8 of a group-or-record block, and at +40 of a runway trailer.
inline constexpr std::int32_t kGroupMark = 4;
inline constexpr std::int32_t kRecordMark = 5;
inline constexpr std::int32_t kIlsMark = 4;

// Blocks of a taxiway network, named by the size of their entries.
enum TaxiBlock : std::int32_t {
    kTaxiPointBlock = 12,
    kParkingBlock = 20,
    kTaxiSegmentBlock = 32,
    kTaxiNameBlock = 8,
};

// Stored in TaxiSegmentEntry::SegmentType.
enum TaxiSegmentType : std::int32_t {
    kNamedTaxiwaySegment = 0,  // two taxi points, with a taxiway name
    kRunwaySegment = 1,        // two taxi points on a runway
    kParkingSegment = 2,       // a taxi point to a parking
};

// Stored in BoundaryPoint::Kind: an airspace outline is a small program with a
// current position and an arc centre.
enum BoundaryKind : std::uint8_t {
    kMovePoint = 0,
    kArcCentre = 1,
    kCircle = 2,
    kClockwiseArc = 3,
    kCounterClockwiseArc = 4,
    kLine = 5,
};

// The frequency kinds of an airport frequency record.
enum FrequencyKind : std::int32_t {
    kGroundFrequency = 5,
    kTowerFrequency = 6,
    kClearanceFrequency = 7,
    kApproachFrequency = 8,
    kDepartureFrequency = 9,
};

}  // namespace tarnwick::bgl
