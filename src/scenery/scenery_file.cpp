#include "scenery/scenery_file.h"

#include "base/rounding.h"
#include "scenery/airport_records.h"
#include "scenery/airspace_records.h"
#include "scenery/record_table.h"
#include "scenery/scenery_parse.h"

namespace tarnwick {
namespace {

constexpr std::int64_t kSectionsFlagOffset = 144;
constexpr std::int64_t kAirportSectionOffset = 156;
constexpr std::int64_t kAirspaceSectionOffset = 164;

void DecodeSections(SceneryParse& parse) {
    const SceneryBuffer& buffer = parse.Buffer();
    if (buffer.ReadI32(kSectionsFlagOffset) != 1) return;
    const std::int32_t airports = buffer.ReadI32(kAirportSectionOffset);
    const std::int32_t airspaces = buffer.ReadI32(kAirspaceSectionOffset);
    if (airports > 0) ParseAirportDirectory(parse, parse.ReadHeader(airports));
    if (airspaces > 0) ParseAirspaceSection(parse, parse.ReadHeader(airspaces));
}

template <typename Record>
void RollBack(std::vector<Record>& table, std::int32_t& count, std::int32_t countBefore) {
    count = countBefore;
    ShrinkTable(table, static_cast<std::size_t>(countBefore));
}

}  // namespace

SceneryFileOutcome ParseSceneryFile(const SceneryBuffer& buffer, ProgramState& state) {
    const std::int32_t airportsBefore = state.AirportCount;
    const std::int32_t airspacesBefore = state.AirspaceCount;
    // The tables hold slots 0..count; make sure they do before appending.
    state.WorldAirports.resize(static_cast<std::size_t>(airportsBefore) + 1);
    state.WorldAirspaces.resize(static_cast<std::size_t>(airspacesBefore) + 1);

    SceneryFileOutcome outcome;
    try {
        SceneryParse parse(buffer, state);
        DecodeSections(parse);
        outcome.AirportsAdded = state.AirportCount - airportsBefore;
        outcome.AirspacesAdded = state.AirspaceCount - airspacesBefore;
        return outcome;
    } catch (const SceneryReadError& error) {
        outcome.Reason = "a read at offset " + std::to_string(error.Offset()) + " lies outside the file";
    } catch (const MalformedScenery& error) {
        outcome.Reason = error.what();
    } catch (const OverflowError& error) {
        outcome.Reason = std::string("a value is out of range (") + error.what() + ")";
    }
    outcome.Malformed = true;
    RollBack(state.WorldAirports, state.AirportCount, airportsBefore);
    RollBack(state.WorldAirspaces, state.AirspaceCount, airspacesBefore);
    return outcome;
}

}  // namespace tarnwick
