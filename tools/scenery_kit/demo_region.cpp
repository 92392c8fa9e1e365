#include "scenery_kit/demo_region.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <stdexcept>

#include "base/ansi.h"

namespace tarnwick::mkscenery {

namespace {

using nlohmann::json;

std::string Ansi(const json& value) {
    const std::string utf8 = value.get<std::string>();
    auto ansi = Utf8ToAnsi(utf8);
    if (!ansi) throw std::runtime_error("text not representable in Windows-1252: " + utf8);
    return *ansi;
}

// "16L" -> number 16, code 1; "9" -> 9, 0.
void ParseIdent(const std::string& ident, bgl::Runway& runway) {
    std::size_t digits = 0;
    while (digits < ident.size() && std::isdigit(static_cast<unsigned char>(ident[digits]))) ++digits;
    if (digits == 0) throw std::runtime_error("runway designator without a number: " + ident);
    runway.Number = std::stoi(ident.substr(0, digits));
    const std::string letter = ident.substr(digits);
    static const std::map<std::string, int> kCodes = {{"", 0}, {"L", 1}, {"R", 2}, {"C", 3}, {"H", 4}};
    const auto code = kCodes.find(letter);
    if (code == kCodes.end()) throw std::runtime_error("unknown runway designator: " + ident);
    runway.DesignatorCode = code->second;
}

bgl::FrequencyKind FrequencyKindOf(const std::string& type) {
    static const std::map<std::string, bgl::FrequencyKind> kKinds = {{"ground", bgl::kGroundFrequency},
                                                                     {"tower", bgl::kTowerFrequency},
                                                                     {"clearance", bgl::kClearanceFrequency},
                                                                     {"approach", bgl::kApproachFrequency},
                                                                     {"departure", bgl::kDepartureFrequency}};
    const auto kind = kKinds.find(type);
    if (kind == kKinds.end()) throw std::runtime_error("unknown frequency type: " + type);
    return kind->second;
}

double SignedDegrees(double degrees) { return degrees > 180.0 ? degrees - 360.0 : degrees; }

// A gate published as one letter and a number (A1, N14) keeps both as "Gate A"
// and 1; every other spot becomes "Parking" with a running number.
void NameParking(const std::string& name, int& runningNumber, bgl::Parking& parking) {
    const bool letterAndNumber = name.size() >= 2 && name.size() <= 5 && name[0] >= 'A' && name[0] <= 'Z' &&
                                 name.find_first_not_of("0123456789", 1) == std::string::npos;
    if (letterAndNumber) {
        parking.NameCode = 12 + (name[0] - 'A');
        parking.Number = std::stoi(name.substr(1));
    } else {
        parking.NameCode = 1;
        parking.Number = ++runningNumber;
    }
}

void ReadTaxi(const json& taxi, bgl::Airport& airport, const std::vector<std::string>& runwayIdents) {
    bgl::TaxiNetwork& net = airport.Taxi;
    const double refLat = bgl::StoredLatitude(airport.Lat);
    const double refLon = bgl::StoredReferenceLongitude(airport.Lon);
    for (const json& p : taxi.at("points")) {
        const bgl::Offset o = bgl::OffsetFrom(refLat, refLon, p.at("lat"), p.at("lon"));
        net.Points.push_back({p.at("kind").get<std::int32_t>(), o.EastM, o.NorthM});
    }
    int runningNumber = 0;
    for (const json& p : taxi.at("parkings")) {
        const bgl::Offset o = bgl::OffsetFrom(refLat, refLon, p.at("lat"), p.at("lon"));
        bgl::Parking parking;
        parking.EastM = o.EastM;
        parking.NorthM = o.NorthM;
        parking.RadiusM = p.at("radius_m");
        parking.SpotType = p.at("kind") == "gate" ? 1 : 0;
        NameParking(p.at("name").get<std::string>(), runningNumber, parking);
        net.Parkings.push_back(parking);
    }
    for (const json& s : taxi.at("segments")) {
        bgl::TaxiSegment segment;
        segment.From = s.at("from");
        segment.To = s.at("to");
        const std::string type = s.at("type");
        const std::string name = Ansi(s.at("name"));
        if (type == "taxiway") {
            segment.Type = 0;
            auto found = std::find(net.Names.begin(), net.Names.end(), name);
            if (found == net.Names.end()) found = net.Names.insert(net.Names.end(), name);
            segment.NameIndex = static_cast<std::int32_t>(found - net.Names.begin());
        } else if (type == "runway") {
            segment.Type = 1;
            const auto runway = std::find(runwayIdents.begin(), runwayIdents.end(), name);
            if (runway == runwayIdents.end())
                throw std::runtime_error("taxi segment on unknown runway " + name);
            segment.NameIndex = static_cast<std::int32_t>(runway - runwayIdents.begin());
        } else if (type == "parking") {
            segment.Type = 2;
        } else {
            throw std::runtime_error("unknown taxi segment type: " + type);
        }
        net.Segments.push_back(segment);
    }
}

bgl::Airport ReadAirport(const json& a) {
    bgl::Airport airport;
    airport.Icao = Ansi(a.at("icao"));
    airport.Name = Ansi(a.at("name"));
    airport.Lat = a.at("lat");
    airport.Lon = a.at("lon");
    airport.ElevationFt = a.at("elevation_ft");
    for (const json& f : a.at("frequencies")) {
        airport.Frequencies.push_back({FrequencyKindOf(f.at("type")), f.at("mhz")});
    }
    std::vector<std::string> ident1, ident2;
    for (const json& r : a.at("runways")) {
        bgl::Runway runway;
        ParseIdent(r.at("ident1"), runway);
        runway.CenterLat = (r.at("lat1").get<double>() + r.at("lat2").get<double>()) / 2.0;
        runway.CenterLon = (r.at("lon1").get<double>() + r.at("lon2").get<double>()) / 2.0;
        runway.TrueHeading = SignedDegrees(r.at("true_heading"));
        runway.ElevationFt = airport.ElevationFt;
        runway.LengthFt = r.at("length_ft");
        runway.WidthFt = r.at("width_ft");
        airport.Runways.push_back(runway);
        ident1.push_back(r.at("ident1"));
        ident2.push_back(r.at("ident2"));
    }
    for (const json& i : a.at("ils")) {
        const std::string end = i.at("runway");
        std::size_t k = 0;
        while (k < ident1.size() && ident1[k] != end && ident2[k] != end) ++k;
        if (k == ident1.size()) throw std::runtime_error("ILS for unknown runway " + end);
        airport.Runways[k].IlsList.push_back(
            {Ansi(i.at("ident")), i.at("lat"), i.at("lon"), i.at("mhz"), SignedDegrees(i.at("true_course"))});
    }
    if (a.contains("taxi")) ReadTaxi(a.at("taxi"), airport, ident1);
    return airport;
}

bgl::Airspace ReadAirspace(const json& s) {
    bgl::Airspace airspace;
    airspace.Name = Ansi(s.at("name"));
    if (s.contains("full_name") && !s.at("full_name").is_null()) airspace.FullName = Ansi(s.at("full_name"));
    if (s.contains("mhz") && !s.at("mhz").is_null()) airspace.Mhz = s.at("mhz");
    airspace.LowerFt = s.at("lower_ft");
    airspace.UpperFt = s.at("upper_ft");
    const json& box = s.at("bbox");
    airspace.North = box.at("north");
    airspace.South = box.at("south");
    airspace.West = box.at("west");
    airspace.East = box.at("east");
    static const std::map<std::string, bgl::BoundaryKind> kKinds = {{"start", bgl::kMovePoint},
                                                                    {"origin", bgl::kArcCentre},
                                                                    {"circle", bgl::kCircle},
                                                                    {"arc_cw", bgl::kClockwiseArc},
                                                                    {"arc_ccw", bgl::kCounterClockwiseArc},
                                                                    {"line", bgl::kLine}};
    for (const json& p : s.at("boundary")) {
        const auto kind = kKinds.find(p.at("kind").get<std::string>());
        if (kind == kKinds.end()) throw std::runtime_error("unknown boundary kind " + p.at("kind").dump());
        bgl::Boundary point;
        point.Kind = kind->second;
        if (point.Kind == bgl::kCircle) {
            point.Radius = p.at("radius_nm");
        } else {
            point.Lat = p.at("lat");
            point.Lon = p.at("lon");
        }
        airspace.Points.push_back(point);
    }
    return airspace;
}

}  // namespace

DemoRegion LoadDemoRegion(const std::filesystem::path& jsonFile) {
    std::ifstream in(jsonFile, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + jsonFile.string());
    DemoRegion region;
    std::string where = "the document";
    try {
        const json document = json::parse(in);
        for (const json& a : document.at("airports")) {
            where = "airport " + a.value("icao", std::string("?"));
            region.Airports.push_back(ReadAirport(a));
        }
        for (const json& s : document.at("airspaces")) {
            where = "airspace " + s.value("name", std::string("?"));
            region.Airspaces.push_back(ReadAirspace(s));
        }
    } catch (const std::exception& error) {
        throw std::runtime_error(jsonFile.string() + ", " + where + ": " + error.what());
    }
    return region;
}

}  // namespace tarnwick::mkscenery
