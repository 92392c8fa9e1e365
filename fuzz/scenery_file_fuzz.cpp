// Scenery files as found on any disk. The parser must not crash, must decode no
// more than the file's bytes can describe, and must give the world tables all
// of a sound file or nothing of a malformed one.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "scenery/scenery_file.h"

namespace tarnwick::fuzz {
namespace {

// Every decoded entry (airport, airspace, runway, ILS, taxi point, parking,
// taxi segment, boundary point) rests on at least one 8-byte block header or
// list entry, and a file may decode its bytes only a few times over: so a file
// of n bytes yields at most about one entry per two bytes.
std::int64_t MaxEntries(std::size_t size) { return (static_cast<std::int64_t>(size) + 256) / 2; }

// A list's count, after checking that its memory follows the count.
template <typename T>
std::int64_t ListEntries(const SlotList<T>& list, std::int32_t count) {
    Require(count >= 0, "list counts are never negative");
    Require(list.SlotCount() <= static_cast<std::size_t>(count) + 1,
            "a list holds at most one slot beyond its count");
    return count;
}

std::int64_t Entries(const AirportRecord& a) {
    return 1 + ListEntries(a.Runways, a.RunwayCount) + ListEntries(a.IlsList, a.IlsCount) +
           ListEntries(a.TaxiPoints, a.TaxiPointCount) + ListEntries(a.Parkings, a.ParkingCount) +
           ListEntries(a.TaxiSegments, a.TaxiSegmentCount);
}

std::int64_t Entries(const AirspaceRecord& s) { return 1 + ListEntries(s.Points, s.PointCount); }

// A world that already holds one airport and one airspace from an earlier file.
struct World {
    WorldTables Tables;
    std::int32_t AirportCount = 0;
    std::int32_t AirspaceCount = 0;

    World() {
        AirportRecord airport;
        airport.Name = "Earlier Field";
        airport.IcaoId = "KERL";
        AirspaceRecord airspace;
        airspace.AirspaceName = "EARLIER";
        WorldTablesSink sink(Tables, AirportCount, AirspaceCount);
        sink.Accept({&airport, 1}, {&airspace, 1});
    }
};

}  // namespace
}  // namespace tarnwick::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    using namespace tarnwick::fuzz;
    static const DeclinationGrid grid{};

    World world;
    const World before = world;
    const SceneryBuffer buffer(std::vector<std::uint8_t>(data, data + size), "fuzz.bgl");
    WorldTablesSink sink(world.Tables, world.AirportCount, world.AirspaceCount);
    const SceneryFileOutcome outcome = ParseSceneryFile(buffer, grid, sink);

    if (outcome.Malformed) {
        Require(!outcome.Reason.empty(), "a malformed file says why");
        Require(outcome.AirportsAdded == 0 && outcome.AirspacesAdded == 0, "a malformed file adds nothing");
        Require(world.AirportCount == before.AirportCount && world.AirspaceCount == before.AirspaceCount &&
                    world.Tables.WorldAirports == before.Tables.WorldAirports &&
                    world.Tables.WorldAirspaces == before.Tables.WorldAirspaces,
                "a malformed file leaves the world tables as they were");
        return 0;
    }
    Require(world.AirportCount == before.AirportCount + outcome.AirportsAdded &&
                world.AirspaceCount == before.AirspaceCount + outcome.AirspacesAdded,
            "the counts grow by what the file added");
    Require(world.Tables.WorldAirports.size() == static_cast<std::size_t>(world.AirportCount) + 1 &&
                world.Tables.WorldAirspaces.size() == static_cast<std::size_t>(world.AirspaceCount) + 1,
            "the world tables span their counts plus one empty slot");
    Require(world.Tables.WorldAirports.front() == before.Tables.WorldAirports.front() &&
                world.Tables.WorldAirspaces.front() == before.Tables.WorldAirspaces.front(),
            "a file's records come after the earlier ones");
    Require(world.Tables.WorldAirports.back() == AirportRecord{} &&
                world.Tables.WorldAirspaces.back() == AirspaceRecord{},
            "the last slot stays empty");

    std::int64_t entries = 0;
    for (std::int32_t i = before.AirportCount; i < world.AirportCount; ++i)
        entries += Entries(world.Tables.WorldAirports[static_cast<std::size_t>(i)]);
    for (std::int32_t i = before.AirspaceCount; i < world.AirspaceCount; ++i)
        entries += Entries(world.Tables.WorldAirspaces[static_cast<std::size_t>(i)]);
    Require(entries <= MaxEntries(size), "the entries decoded stay within what the file's bytes describe");
    return 0;
}
