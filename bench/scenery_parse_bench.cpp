// Decoding scenery files in memory: bytes per second through the airport and
// airspace readers, for a file of many airports (one in ten with a taxiway
// network of a few hundred points) and for a small file of a few airports,
// the common case in a scenery folder.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "scenery/scenery_file.h"
#include "scenery_kit/bgl_writer.h"
#include "state/program_state.h"

namespace {

using namespace tarnwick;

bgl::TaxiNetwork Network(std::mt19937& random) {
    bgl::TaxiNetwork network;
    std::uniform_real_distribution<double> offset(-1500.0, 1500.0);
    for (int i = 0; i < 300; ++i) network.Points.push_back({1 + i % 3, offset(random), offset(random)});
    for (int i = 0; i < 40; ++i)
        network.Parkings.push_back({offset(random), offset(random), 20.0, 12 + i % 26, i, 3});
    for (int i = 0; i < 340; ++i)
        network.Segments.push_back({i % 7 == 0 ? 1 : 0, i % 300, (i + 1) % 300, i % 7 == 0 ? 0 : i % 20});
    for (int i = 0; i < 20; ++i) network.Names.push_back("T" + std::to_string(i));
    return network;
}

std::vector<std::uint8_t> SyntheticFile(int airports, int airspaces) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> lat(-60.0, 70.0), lon(-179.0, 179.0), heading(0.0, 180.0);
    bgl::SceneryFile file;
    for (int a = 0; a < airports; ++a) {
        bgl::Airport airport;
        airport.Name = "Synthetic Field " + std::to_string(a);
        airport.Icao = "X" + std::to_string(1000 + a);
        airport.Lat = lat(random);
        airport.Lon = lon(random);
        airport.ElevationFt = 400;
        airport.Frequencies = {
            {bgl::kTowerFrequency, 118.3}, {bgl::kGroundFrequency, 121.9}, {bgl::kApproachFrequency, 119.2}};
        for (int r = 0; r < 1 + a % 3; ++r) {
            bgl::Runway runway;
            runway.TrueHeading = heading(random);
            runway.Number = static_cast<int>(std::lround(runway.TrueHeading / 10.0)) % 36 + 1;
            runway.DesignatorCode = r % 3;
            runway.CenterLat = airport.Lat + 0.002 * r;
            runway.CenterLon = airport.Lon;
            runway.LengthFt = 6000 + 1000 * r;
            runway.WidthFt = 150;
            if (r == 0)
                runway.IlsList.push_back({"I" + std::to_string(a % 1000), runway.CenterLat, runway.CenterLon,
                                          110.3, runway.TrueHeading});
            airport.Runways.push_back(runway);
        }
        if (a % 10 == 0) airport.Taxi = Network(random);
        file.Airports.push_back(std::move(airport));
    }
    for (int s = 0; s < airspaces; ++s) {
        bgl::Airspace airspace;
        airspace.Name = "SECTOR " + std::to_string(s);
        airspace.FullName = "Center " + std::to_string(s);
        airspace.Mhz = 128.35;
        airspace.LowerFt = 0;
        airspace.UpperFt = 18000;
        const double north = lat(random), west = lon(random);
        airspace.North = north + 1;
        airspace.South = north;
        airspace.West = west;
        airspace.East = west + 1;
        for (int p = 0; p < 30; ++p) {
            airspace.Points.push_back({p == 0 ? bgl::kMovePoint : bgl::kLine,
                                       north + 0.5 + 0.5 * std::sin(p / 5.0),
                                       west + 0.5 + 0.5 * std::cos(p / 5.0), 0});
        }
        file.Airspaces.push_back(std::move(airspace));
    }
    return bgl::WriteSceneryFile(file);
}

void ParseRepeatedly(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
    const SceneryBuffer buffer(bytes, "synthetic.bgl");
    ProgramState world;
    WorldTablesSink sink(world.World, world.Settings.AirportCount, world.Settings.AirspaceCount);
    for (auto _ : state) {
        const SceneryFileOutcome outcome = ParseSceneryFile(buffer, *world.Declination, sink);
        if (outcome.Malformed) state.SkipWithError(outcome.Reason.c_str());
        state.PauseTiming();
        world.World.WorldAirports.assign(1, AirportRecord{});
        world.World.WorldAirspaces.assign(1, AirspaceRecord{});
        world.Settings.AirportCount = 0;
        world.Settings.AirspaceCount = 0;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ParseLargeSceneryFile(benchmark::State& state) {
    static const auto bytes = SyntheticFile(2000, 200);
    ParseRepeatedly(state, bytes);
    state.counters["airports/s"] =
        benchmark::Counter(2000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ParseSmallSceneryFile(benchmark::State& state) {
    static const auto bytes = SyntheticFile(8, 2);
    ParseRepeatedly(state, bytes);
}

}  // namespace

BENCHMARK(BM_ParseLargeSceneryFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseSmallSceneryFile)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
