// world_airports.dat with any content: see database_fuzz.h.
#include "database_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    fuzz::CheckDatabase<AirportRecord>({data, size}, DecodeAirports, EncodeAirports);
    return 0;
}
