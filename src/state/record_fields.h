#pragma once
// Each record's fields, written once, in the order the database files store
// them. The database reader and writer, the JSON dump and the area summary
// all walk these lists, so a field is added or renamed in one place.
//
// A visitor is called as
//   visitor(name, field, tag)                       for a plain field, and
//   visitor.List(name, list, countName, count, tag)  for a list with its count field
// where the field types are std::string (ANSI text), double, std::int32_t,
// std::int16_t and std::uint8_t, and the list elements are records with
// fields of their own. `Record` may be const.
#include <cstdint>
#include <type_traits>

#include "state/records.h"
#include "state/traffic_table.h"

namespace tarnwick {

// Marks the fields a short summary of a record shows (the area command's).
enum class FieldTag { Full, Summary };

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, RunwayEntry>
void VisitFields(Record& r, Visitor& v) {
    v("PrimaryId", r.PrimaryId, FieldTag::Full);
    v("SecondaryId", r.SecondaryId, FieldTag::Full);
    v("CenterLat", r.CenterLat, FieldTag::Full);
    v("CenterLon", r.CenterLon, FieldTag::Full);
    v("End1Lat", r.End1Lat, FieldTag::Full);
    v("End1Lon", r.End1Lon, FieldTag::Full);
    v("End2Lat", r.End2Lat, FieldTag::Full);
    v("End2Lon", r.End2Lon, FieldTag::Full);
    v("ElevationFt", r.ElevationFt, FieldTag::Full);
    v("PrimaryMagHeading", r.PrimaryMagHeading, FieldTag::Full);
    v("SecondaryMagHeading", r.SecondaryMagHeading, FieldTag::Full);
    v("LengthFt", r.LengthFt, FieldTag::Full);
    v("WidthFt", r.WidthFt, FieldTag::Full);
}

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, IlsEntry>
void VisitFields(Record& e, Visitor& v) {
    v("IlsId", e.IlsId, FieldTag::Full);
    v("Lat", e.Lat, FieldTag::Full);
    v("Lon", e.Lon, FieldTag::Full);
    v("MagHeading", e.MagHeading, FieldTag::Full);
    v("Freq", e.Freq, FieldTag::Full);
}

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, TaxiPointEntry>
void VisitFields(Record& e, Visitor& v) {
    v("Kind", e.Kind, FieldTag::Full);
    v("Lat", e.Lat, FieldTag::Full);
    v("Lon", e.Lon, FieldTag::Full);
}

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, ParkingEntry>
void VisitFields(Record& e, Visitor& v) {
    v("Label", e.Label, FieldTag::Full);
    v("Lat", e.Lat, FieldTag::Full);
    v("Lon", e.Lon, FieldTag::Full);
    v("RadiusFt", e.RadiusFt, FieldTag::Full);
}

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, TaxiSegmentEntry>
void VisitFields(Record& e, Visitor& v) {
    v("SegmentType", e.SegmentType, FieldTag::Full);
    v("FromPoint", e.FromPoint, FieldTag::Full);
    v("ToPoint", e.ToPoint, FieldTag::Full);
    v("Label", e.Label, FieldTag::Full);
}

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, BoundaryPoint>
void VisitFields(Record& p, Visitor& v) {
    v("Kind", p.Kind, FieldTag::Full);
    v("Lat", p.Lat, FieldTag::Full);
    v("Lon", p.Lon, FieldTag::Full);
    v("Radius", p.Radius, FieldTag::Full);
}

template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, AirportRecord>
void VisitFields(Record& a, Visitor& v) {
    v("Name", a.Name, FieldTag::Summary);
    v("IcaoId", a.IcaoId, FieldTag::Summary);
    v("Lat", a.Lat, FieldTag::Summary);
    v("Lon", a.Lon, FieldTag::Summary);
    v("ElevationFt", a.ElevationFt, FieldTag::Full);
    v("ClearanceFreq", a.ClearanceFreq, FieldTag::Full);
    v("GroundFreq", a.GroundFreq, FieldTag::Full);
    v("TowerFreq", a.TowerFreq, FieldTag::Full);
    v("DepartureFreq", a.DepartureFreq, FieldTag::Full);
    v("ApproachFreq", a.ApproachFreq, FieldTag::Full);
    v.List("Runways", a.Runways, "RunwayCount", a.RunwayCount, FieldTag::Full);
    v.List("IlsList", a.IlsList, "IlsCount", a.IlsCount, FieldTag::Full);
    v.List("TaxiPoints", a.TaxiPoints, "TaxiPointCount", a.TaxiPointCount, FieldTag::Full);
    v.List("Parkings", a.Parkings, "ParkingCount", a.ParkingCount, FieldTag::Full);
    v.List("TaxiSegments", a.TaxiSegments, "TaxiSegmentCount", a.TaxiSegmentCount, FieldTag::Full);
}

// The summary of an airspace shows its point count but not the points.
template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, AirspaceRecord>
void VisitFields(Record& s, Visitor& v) {
    v.List("Points", s.Points, "PointCount", s.PointCount, FieldTag::Summary);
    v("Corner1Lat", s.Corner1Lat, FieldTag::Full);
    v("Corner2Lat", s.Corner2Lat, FieldTag::Full);
    v("Corner1Lon", s.Corner1Lon, FieldTag::Full);
    v("Corner2Lon", s.Corner2Lon, FieldTag::Full);
    v("CenterLat", s.CenterLat, FieldTag::Summary);
    v("CenterLon", s.CenterLon, FieldTag::Summary);
    v("FromAltitude", s.FromAltitude, FieldTag::Summary);
    v("ToAltitude", s.ToAltitude, FieldTag::Summary);
    v("FrequencyText", s.FrequencyText, FieldTag::Summary);
    v("ClassText", s.ClassText, FieldTag::Summary);
    v("AirspaceName", s.AirspaceName, FieldTag::Summary);
    v("FullName", s.FullName, FieldTag::Summary);
}

// A traffic table entry, as the tools print and read it.
template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, PlayerRecord>
void VisitFields(Record& p, Visitor& v) {
    v("Name", p.Name, FieldTag::Full);
    v("PlayerId", p.PlayerId, FieldTag::Full);
    v("Kind", p.Kind, FieldTag::Full);
    v("Altitude", p.Altitude, FieldTag::Full);
    v("Heading", p.Heading, FieldTag::Full);
    v("Longitude", p.Longitude, FieldTag::Full);
    v("Latitude", p.Latitude, FieldTag::Full);
    v("Category", p.Category, FieldTag::Full);
    v("Aircraft", p.Aircraft, FieldTag::Full);
}

}  // namespace tarnwick
