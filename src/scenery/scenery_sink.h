#pragma once
// Where a scenery file's records go once the whole file has been read
// soundly: the world tables, or the database files the build streams to. The
// parser never hands over part of a damaged file.
#include <cstdint>
#include <span>

#include "state/record_table.h"
#include "state/records.h"
#include "state/world_tables.h"

namespace tarnwick {

class ScenerySink {
   public:
    virtual ~ScenerySink() = default;
    // The file's records in file order. Throws on a failure of the sink's own
    // (a full disk, a count that no longer fits); the parser lets it pass.
    virtual void Accept(std::span<const AirportRecord> airports,
                        std::span<const AirspaceRecord> airspaces) = 0;
};

// Appends to the world tables under the growth rule; the counts are the
// settings' AirportCount and AirspaceCount.
class WorldTablesSink : public ScenerySink {
   public:
    WorldTablesSink(WorldTables& world, std::int32_t& airportCount, std::int32_t& airspaceCount)
        : world_(world), airportCount_(airportCount), airspaceCount_(airspaceCount) {}

    void Accept(std::span<const AirportRecord> airports, std::span<const AirspaceRecord> airspaces) override {
        world_.WorldAirports.resize(static_cast<std::size_t>(airportCount_) + 1);
        world_.WorldAirspaces.resize(static_cast<std::size_t>(airspaceCount_) + 1);
        for (const AirportRecord& airport : airports)
            AppendSlot(world_.WorldAirports, airportCount_, airport);
        for (const AirspaceRecord& airspace : airspaces)
            AppendSlot(world_.WorldAirspaces, airspaceCount_, airspace);
    }

   private:
    WorldTables& world_;
    std::int32_t& airportCount_;
    std::int32_t& airspaceCount_;
};

}  // namespace tarnwick
