#pragma once
// JSON forms of the records for the command-line tools: the field names as the
// databases name them, each list with its filled elements only.
#include "base/json_writer.h"
#include "state/records.h"
#include "state/settings.h"
#include "state/traffic_table.h"

namespace tarnwick {

void WriteJson(JsonWriter& json, const SettingsRecord& settings);
void WriteJson(JsonWriter& json, const AirportRecord& airport);
void WriteJson(JsonWriter& json, const AirspaceRecord& airspace);
void WriteJson(JsonWriter& json, const PlayerRecord& entry);
// The entry's fields inside an object the caller opened, for one with more keys.
void WriteJsonFields(JsonWriter& json, const PlayerRecord& entry);

// The few fields that name and place a record.
void WriteJsonSummary(JsonWriter& json, const AirportRecord& airport);
void WriteJsonSummary(JsonWriter& json, const AirspaceRecord& airspace);

}  // namespace tarnwick
