#include "scenery_kit/synthetic_world.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "geo/local_plane.h"
#include "scenery_kit/bgl_writer.h"

namespace tarnwick::mkscenery {

namespace {

constexpr std::size_t kAirportFilesPerArea = 250;

// Draws from the engine's raw output only: the standard fixes that sequence,
// while the library's distributions differ between implementations.
class Random {
   public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    double Uniform(double low, double high) {
        return low + (high - low) * static_cast<double>(engine_() >> 11) * 0x1.0p-53;
    }
    int Int(int low, int high) {  // inclusive
        return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Chance(double p) { return Uniform(0, 1) < p; }
    std::uint64_t Bits() { return engine_(); }

   private:
    std::mt19937_64 engine_;
};

std::string IcaoFor(std::size_t index) {
    static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string id(4, 'A');
    id[0] = static_cast<char>('A' + (index / (36 * 36 * 36)) % 26);
    for (int i = 3; i >= 1; --i, index /= 36) id[static_cast<std::size_t>(i)] = kDigits[index % 36];
    return id;
}

std::string NameFor(Random& random, int size) {
    static const char* kParts[] = {"Ash",  "Bel",   "Cor",   "Dun",  "Elm", "Fal",  "Glen", "Har",
                                   "Ivy",  "Jas",   "Kel",   "Lor",  "Mar", "Nor",  "Oak",  "Pem",
                                   "Quin", "Ros",   "Sel",   "Tor",  "Ul",  "Val",  "Wen",  "Yar",
                                   "Zan",  "brook", "field", "ford", "ton", "ville"};
    static const char* kKinds[] = {"Airstrip", "Municipal", "Regional", "Intl"};
    std::string name = kParts[random.Int(0, 24)];
    name += kParts[random.Int(10, 29)];
    return name + " " + kKinds[size];
}

double Frequency(Random& random) { return 118.0 + random.Int(0, 759) * 0.025; }

// Moves (lat, lon) by metres east and north on a local flat approximation: good
// enough for laying out a synthetic airport.
void Move(double& lat, double& lon, double eastM, double northM) {
    lat += northM / geo::kMetresPerDegreeLat;
    lon += eastM / geo::MetresPerDegreeLon(lat);
}

void AddTaxiNetwork(Random& random, bgl::Airport& airport) {
    bgl::TaxiNetwork& net = airport.Taxi;
    const double heading = geo::DegreesToRadians(airport.Runways[0].TrueHeading);
    const double alongE = std::sin(heading), alongN = std::cos(heading);
    const int columns = random.Int(40, 90);
    // Three taxiways parallel to the main runway, with cross links between them.
    for (int lane = 0; lane < 3; ++lane) {
        const double side = 120.0 + 90.0 * lane;
        for (int c = 0; c < columns; ++c) {
            const double along = (c - columns / 2.0) * 45.0;
            net.Points.push_back({lane == 0 && c % 10 == 0 ? 2 : 1, along * alongE + side * alongN,
                                  along * alongN - side * alongE});
        }
    }
    net.Names = {"A", "B", "C", "D"};
    for (int lane = 0; lane < 3; ++lane) {
        for (int c = 0; c + 1 < columns; ++c) {
            net.Segments.push_back({0, lane * columns + c, lane * columns + c + 1, lane});
        }
    }
    for (int c = 0; c < columns; c += 6) {
        net.Segments.push_back({0, c, columns + c, 3});
        net.Segments.push_back({0, columns + c, 2 * columns + c, 3});
        net.Segments.push_back({1, c, c + (c + 1 < columns ? 1 : 0), 0});
    }
    const int gates = random.Int(20, 60);
    for (int g = 0; g < gates; ++g) {
        const int column = random.Int(0, columns - 1);
        const bgl::TaxiPoint& at = net.Points[static_cast<std::size_t>(2 * columns + column)];
        bgl::Parking parking;
        parking.EastM = at.EastM + 60.0 * alongN;
        parking.NorthM = at.NorthM - 60.0 * alongE;
        parking.RadiusM = g % 4 == 0 ? 36 : 24;
        parking.NameCode = 12 + g / 20;
        parking.Number = g % 20 + 1;
        parking.SpotType = 1;
        net.Segments.push_back({2, 2 * columns + column, g, 0});
        net.Parkings.push_back(parking);
    }
}

bgl::Airport MakeAirport(Random& random, std::size_t index) {
    bgl::Airport airport;
    const int size = index % 10 == 0 ? 3 : random.Chance(0.3) ? 2 : random.Chance(0.6) ? 1 : 0;
    airport.Icao = IcaoFor(index);
    airport.Name = NameFor(random, size);
    airport.Lat = geo::RadiansToDegrees(
        std::asin(random.Uniform(std::sin(geo::DegreesToRadians(-55)), std::sin(geo::DegreesToRadians(70)))));
    airport.Lon = random.Uniform(-180, 180);
    airport.ElevationFt =
        std::round(random.Chance(0.7) ? random.Uniform(0, 1500) : random.Uniform(1500, 8000));

    static const bgl::FrequencyKind kOrder[] = {bgl::kTowerFrequency, bgl::kGroundFrequency,
                                                bgl::kApproachFrequency, bgl::kClearanceFrequency,
                                                bgl::kDepartureFrequency};
    const int frequencies = size == 3 ? 5 : size == 2 ? 3 : size == 1 ? random.Int(0, 2) : 0;
    for (int f = 0; f < frequencies; ++f) airport.Frequencies.push_back({kOrder[f], Frequency(random)});
    if (size == 3 && random.Chance(0.5))
        airport.Frequencies.push_back({bgl::kApproachFrequency, Frequency(random)});

    const int runways = size == 3 ? random.Int(2, 4) : size == 2 ? random.Int(1, 2) : 1;
    const double mainHeading = random.Int(1, 360);
    for (int r = 0; r < runways; ++r) {
        bgl::Runway runway;
        const bool parallel = r == 1 && size == 3;
        double heading = parallel || r == 0 ? mainHeading : random.Int(1, 360);
        if (heading > 180) heading -= 360;
        runway.TrueHeading = heading + random.Uniform(-0.4, 0.4);
        int number = static_cast<int>(std::lround((heading < 0 ? heading + 360 : heading) / 10.0));
        if (number == 0) number = 36;
        runway.Number = number;
        runway.DesignatorCode = parallel ? 2 : (r == 0 && size == 3) ? 1 : 0;
        runway.CenterLat = airport.Lat;
        runway.CenterLon = airport.Lon;
        const double spacing = parallel ? 400.0 : 0.0;
        Move(runway.CenterLat, runway.CenterLon, spacing * std::cos(geo::DegreesToRadians(heading)),
             -spacing * std::sin(geo::DegreesToRadians(heading)));
        runway.ElevationFt = airport.ElevationFt;
        runway.LengthFt = size == 3   ? random.Int(8000, 13000)
                          : size == 2 ? random.Int(5000, 9000)
                                      : random.Int(1800, 5000);
        runway.WidthFt = size >= 2 ? random.Int(100, 200) : random.Int(40, 100);
        const int ilsEnds = size == 3 ? 2 : size == 2 ? 1 : 0;
        for (int e = 0; e < ilsEnds; ++e) {
            bgl::Ils ils;
            ils.Ident = "I" + airport.Icao.substr(1);
            ils.Ident[1] = static_cast<char>('A' + (r * 2 + e) % 26);
            ils.Lat = runway.CenterLat;
            ils.Lon = runway.CenterLon;
            const double half = runway.LengthFt * 0.3048 / 2 + 300;
            const double toward = runway.TrueHeading + (e == 0 ? 0 : 180);
            Move(ils.Lat, ils.Lon, half * std::sin(geo::DegreesToRadians(toward)),
                 half * std::cos(geo::DegreesToRadians(toward)));
            ils.Mhz = 108.1 + random.Int(0, 39) * 0.05;
            ils.TrueCourse = e == 0 ? runway.TrueHeading : runway.TrueHeading + 180;
            runway.IlsList.push_back(ils);
            runway.OtherTrailers = 1;
        }
        airport.Runways.push_back(runway);
    }
    if (size == 3) {
        airport.OtherRecords = 3;
        AddTaxiNetwork(random, airport);
    }
    return airport;
}

// A polygon (start and lines) or a circle around (lat, lon).
bgl::Airspace MakeAirspace(Random& random, const bgl::Airport& near, const std::string& name, double radiusNm,
                           std::int32_t lower, std::int32_t upper, bool circle) {
    bgl::Airspace s;
    s.Name = name;
    s.LowerFt = lower;
    s.UpperFt = upper;
    const double dLat = radiusNm / 60.0;
    const double dLon =
        std::min(179.0, radiusNm / (60.0 * std::max(0.1, std::cos(geo::DegreesToRadians(near.Lat)))));
    s.North = std::min(89.0, near.Lat + dLat);
    s.South = std::max(-89.0, near.Lat - dLat);
    s.West = near.Lon - dLon;
    s.East = near.Lon + dLon;
    if (s.West < -180) s.West += 360;
    if (s.East > 180) s.East -= 360;
    if (circle) {
        s.Points.push_back({bgl::kArcCentre, near.Lat, near.Lon, 0});
        s.Points.push_back({bgl::kCircle, 0, 0, static_cast<std::int32_t>(radiusNm)});
        return s;
    }
    const int corners = random.Int(5, 12);
    for (int c = 0; c <= corners; ++c) {
        const double angle = 2 * std::numbers::pi * (c % corners) / corners;
        s.Points.push_back({c == 0 ? bgl::kMovePoint : bgl::kLine, near.Lat + dLat * std::cos(angle) * 0.9,
                            near.Lon + dLon * std::sin(angle) * 0.9, 0});
    }
    return s;
}

// n in decimal, with leading zeros up to `width` digits.
std::string ZeroPadded(std::size_t n, std::size_t width) {
    std::string digits = std::to_string(n);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

WriteSummary WriteSyntheticFolder(FolderWriter& out, const std::filesystem::path& dataDir,
                                  std::size_t airports, std::uint64_t seed) {
    Random random(seed);
    WriteSummary summary;

    // Plan the files first, about eight airports each, so the areas are known.
    std::vector<std::size_t> perFile;
    for (std::size_t left = airports; left > 0;) {
        const auto count = std::min<std::size_t>(left, static_cast<std::size_t>(random.Int(4, 12)));
        perFile.push_back(count);
        left -= count;
    }
    const std::size_t areas =
        std::max<std::size_t>(1, (perFile.size() + kAirportFilesPerArea - 1) / kAirportFilesPerArea);
    std::vector<ConfigArea> config = {{"Default Terrain", "Scenery\\World", true, true}};
    for (std::size_t a = 0; a < areas; ++a) {
        config.push_back({"Synthetic Region " + ZeroPadded(a + 1, 2),
                          "Synthetic\\Region" + ZeroPadded(a + 1, 2), true, false});
    }
    WriteFolderBasics(out, config, dataDir);

    std::size_t next = 0;
    for (std::size_t f = 0; f < perFile.size(); ++f) {
        const std::string folder =
            "Synthetic/REGION" + ZeroPadded(f / kAirportFilesPerArea + 1, 2) + "/Scenery/";
        bgl::SceneryFile file;
        for (std::size_t i = 0; i < perFile[f]; ++i) file.Airports.push_back(MakeAirport(random, next++));
        for (const bgl::Airport& airport : file.Airports) {
            if (airport.Taxi.Empty()) continue;  // the big ones get a class B
            file.Airspaces.push_back(
                MakeAirspace(random, airport, airport.Icao + " CLASS B", 20, 0, 10000, random.Chance(0.5)));
        }
        if (f % 4 == 0) {
            const bgl::Airport& centre = file.Airports.front();
            const std::string unit = "SECTOR " + ZeroPadded(f / 4, 4) + " CONTROL";
            bgl::Airspace low =
                MakeAirspace(random, centre, "SECTOR " + ZeroPadded(f / 4, 4) + " LOW", 150, 0, 18000, false);
            bgl::Airspace high = low;
            high.Name = "SECTOR " + ZeroPadded(f / 4, 4) + " HIGH";
            high.LowerFt = high.UpperFt = -1;
            low.FullName = high.FullName = unit;
            low.Mhz = Frequency(random);
            high.Mhz = Frequency(random);
            file.Airspaces.push_back(low);
            file.Airspaces.push_back(high);
        }
        if (f % 5 == 0) {  // a class D ring, which the database leaves out
            file.Airspaces.push_back(MakeAirspace(random, file.Airports.back(),
                                                  file.Airports.back().Icao + " D", 4, 0, 2500, true));
        }
        summary.Airports += file.Airports.size();
        summary.Airspaces += file.Airspaces.size();
        out.Write(folder + (f % 2 ? "ap" + ZeroPadded(f, 5) + ".bgl" : "AP" + ZeroPadded(f, 5) + ".BGL"),
                  bgl::WriteSceneryFile(file));
        ++summary.AirportFiles;

        // About two other files for every airport file, in the same folder or
        // in the default terrain.
        for (int k = 0; k < 2; ++k) {
            const std::size_t size = static_cast<std::size_t>(random.Int(1024, 24 * 1024));
            const std::string name = k == 0 ? folder + "Obj" + ZeroPadded(f, 5) + ".bgl"
                                            : "Scenery/World/Scenery/TX" + ZeroPadded(f, 5) + ".BGL";
            out.Write(name, bgl::NonAirportFile(size, random.Bits()));
            ++summary.OtherFiles;
        }
    }
    return summary;
}

}  // namespace tarnwick::mkscenery
