// world_airspaces.dat with any content: see database_fuzz.h.
#include "database_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    fuzz::CheckDatabase<AirspaceRecord>({data, size}, DecodeAirspaces, EncodeAirspaces);
    return 0;
}
