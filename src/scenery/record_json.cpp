#include "scenery/record_json.h"

#include <algorithm>

namespace tarnwick {
namespace {

// The filled elements: as many as the count field says, never past the slots.
template <typename T, typename WriteElement>
void WriteList(JsonWriter& json, const char* key, const SlotList<T>& list, std::int32_t count,
               WriteElement write) {
    json.Key(key).BeginArray();
    const std::size_t filled =
        std::min<std::size_t>(count < 0 ? 0 : static_cast<std::size_t>(count), list.SlotCount());
    for (std::size_t i = 0; i < filled; ++i) {
        json.BeginObject();
        write(list[i]);
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace

void WriteJson(JsonWriter& json, const SettingsRecord& s) {
    json.BeginObject();
    json.Key("ProgramTitle").Ansi(s.ProgramTitle);
    json.Key("SetupDone").Integer(s.SetupDone);
    json.Key("FsVersion").Integer(s.FsVersion);
    json.Key("FsFolder").Ansi(s.FsFolder);
    json.Key("AirportCount").Integer(s.AirportCount);
    json.Key("AirspaceCount").Integer(s.AirspaceCount);
    json.EndObject();
}

void WriteJson(JsonWriter& json, const AirportRecord& a) {
    json.BeginObject();
    json.Key("Name").Ansi(a.Name);
    json.Key("IcaoId").Ansi(a.IcaoId);
    json.Key("Lat").Number(a.Lat);
    json.Key("Lon").Number(a.Lon);
    json.Key("ElevationFt").Integer(a.ElevationFt);
    json.Key("ClearanceFreq").Ansi(a.ClearanceFreq);
    json.Key("GroundFreq").Ansi(a.GroundFreq);
    json.Key("TowerFreq").Ansi(a.TowerFreq);
    json.Key("DepartureFreq").Ansi(a.DepartureFreq);
    json.Key("ApproachFreq").Ansi(a.ApproachFreq);
    json.Key("RunwayCount").Integer(a.RunwayCount);
    WriteList(json, "Runways", a.Runways, a.RunwayCount, [&](const RunwayEntry& r) {
        json.Key("PrimaryId").Ansi(r.PrimaryId);
        json.Key("SecondaryId").Ansi(r.SecondaryId);
        json.Key("CenterLat").Number(r.CenterLat);
        json.Key("CenterLon").Number(r.CenterLon);
        json.Key("End1Lat").Number(r.End1Lat);
        json.Key("End1Lon").Number(r.End1Lon);
        json.Key("End2Lat").Number(r.End2Lat);
        json.Key("End2Lon").Number(r.End2Lon);
        json.Key("ElevationFt").Integer(r.ElevationFt);
        json.Key("PrimaryMagHeading").Integer(r.PrimaryMagHeading);
        json.Key("SecondaryMagHeading").Integer(r.SecondaryMagHeading);
        json.Key("LengthFt").Integer(r.LengthFt);
        json.Key("WidthFt").Integer(r.WidthFt);
    });
    json.Key("IlsCount").Integer(a.IlsCount);
    WriteList(json, "IlsList", a.IlsList, a.IlsCount, [&](const IlsEntry& e) {
        json.Key("IlsId").Ansi(e.IlsId);
        json.Key("Lat").Number(e.Lat);
        json.Key("Lon").Number(e.Lon);
        json.Key("MagHeading").Integer(e.MagHeading);
        json.Key("Freq").Ansi(e.Freq);
    });
    json.Key("TaxiPointCount").Integer(a.TaxiPointCount);
    WriteList(json, "TaxiPoints", a.TaxiPoints, a.TaxiPointCount, [&](const TaxiPointEntry& e) {
        json.Key("Kind").Integer(e.Kind);
        json.Key("Lat").Number(e.Lat);
        json.Key("Lon").Number(e.Lon);
    });
    json.Key("ParkingCount").Integer(a.ParkingCount);
    WriteList(json, "Parkings", a.Parkings, a.ParkingCount, [&](const ParkingEntry& e) {
        json.Key("Label").Ansi(e.Label);
        json.Key("Lat").Number(e.Lat);
        json.Key("Lon").Number(e.Lon);
        json.Key("RadiusFt").Integer(e.RadiusFt);
    });
    json.Key("TaxiSegmentCount").Integer(a.TaxiSegmentCount);
    WriteList(json, "TaxiSegments", a.TaxiSegments, a.TaxiSegmentCount, [&](const TaxiSegmentEntry& e) {
        json.Key("SegmentType").Integer(e.SegmentType);
        json.Key("FromPoint").Integer(e.FromPoint);
        json.Key("ToPoint").Integer(e.ToPoint);
        json.Key("Label").Ansi(e.Label);
    });
    json.EndObject();
}

void WriteJson(JsonWriter& json, const AirspaceRecord& s) {
    json.BeginObject();
    json.Key("ClassText").Ansi(s.ClassText);
    json.Key("AirspaceName").Ansi(s.AirspaceName);
    json.Key("FullName").Ansi(s.FullName);
    json.Key("FrequencyText").Ansi(s.FrequencyText);
    json.Key("FromAltitude").Integer(s.FromAltitude);
    json.Key("ToAltitude").Integer(s.ToAltitude);
    json.Key("Corner1Lat").Number(s.Corner1Lat);
    json.Key("Corner2Lat").Number(s.Corner2Lat);
    json.Key("Corner1Lon").Number(s.Corner1Lon);
    json.Key("Corner2Lon").Number(s.Corner2Lon);
    json.Key("CenterLat").Number(s.CenterLat);
    json.Key("CenterLon").Number(s.CenterLon);
    json.Key("PointCount").Integer(s.PointCount);
    WriteList(json, "Points", s.Points, s.PointCount, [&](const BoundaryPoint& p) {
        json.Key("Kind").Integer(p.Kind);
        json.Key("Lat").Number(p.Lat);
        json.Key("Lon").Number(p.Lon);
        json.Key("Radius").Integer(p.Radius);
    });
    json.EndObject();
}

}  // namespace tarnwick
