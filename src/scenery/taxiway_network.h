#pragma once
// An airport's taxiway network: points, parking spots, segments and the
// taxiway names, placed around the airport's reference point.
#include "scenery/scenery_parse.h"

namespace tarnwick {

// Decodes the network record `record` into `airport`, whose reference point
// (Lat, Lon) has been read before it.
void ParseTaxiwayNetwork(SceneryParse& parse, const BlockHeader& record, AirportRecord& airport);

}  // namespace tarnwick
