#include "scenery/scenery_file.h"

#include "base/rounding.h"
#include "scenery/airport_records.h"
#include "scenery/airspace_records.h"
#include "scenery/scenery_layout.h"
#include "scenery/scenery_parse.h"

namespace tarnwick {
namespace {

using namespace bgl;

void DecodeSections(SceneryParse& parse) {
    const SceneryBuffer& buffer = parse.Buffer();
    if (buffer.ReadI32(kSectionsFlagOffset) != 1) return;
    const std::int32_t airports = buffer.ReadI32(kAirportSectionOffset);
    const std::int32_t airspaces = buffer.ReadI32(kAirspaceSectionOffset);
    if (airports > 0) ParseAirportDirectory(parse, parse.ReadHeader(airports));
    if (airspaces > 0) ParseAirspaceSection(parse, parse.ReadHeader(airspaces));
}

}  // namespace

SceneryFileOutcome ParseSceneryFile(const SceneryBuffer& buffer, const DeclinationGrid& grid,
                                    ScenerySink& sink) {
    SceneryFileOutcome outcome;
    SceneryParse parse(buffer, grid);
    try {
        DecodeSections(parse);
    } catch (const SceneryReadError& error) {
        outcome.Malformed = true;
        outcome.Reason = "a read at offset " + std::to_string(error.Offset()) + " lies outside the file";
    } catch (const MalformedScenery& error) {
        outcome.Malformed = true;
        outcome.Reason = error.what();
    } catch (const OverflowError& error) {
        outcome.Malformed = true;
        outcome.Reason = std::string("a value is out of range (") + error.what() + ")";
    }
    if (outcome.Malformed) return outcome;
    outcome.AirportsAdded = static_cast<std::int32_t>(parse.Airports().size());
    outcome.AirspacesAdded = static_cast<std::int32_t>(parse.Airspaces().size());
    sink.Accept(parse.Airports(), parse.Airspaces());
    return outcome;
}

}  // namespace tarnwick
