#pragma once
// The table rules shared by the world and area tables: a table of n elements
// spans slots 0..n with the last slot empty, grows one element at a time, and
// is released by shrinking it back to one empty slot.
#include <cstdint>
#include <vector>

#include "app/program_state.h"
#include "base/rounding.h"

namespace tarnwick {

// Appends one element: the count goes up by one (an overflow is an error, never
// a wrap), the table spans 0..count again and the element lands in slot count - 1.
template <typename Record>
Record& AppendSlot(std::vector<Record>& table, std::int32_t& count, Record element) {
    const std::int32_t grown = CheckedI32(static_cast<std::int64_t>(count) + 1);
    table.resize(static_cast<std::size_t>(grown) + 1);
    count = grown;
    Record& slot = table[static_cast<std::size_t>(grown) - 1];
    slot = std::move(element);
    return slot;
}

// One empty slot again, with the memory of the old contents given back.
template <typename Record>
void ReleaseTable(std::vector<Record>& table) {
    std::vector<Record>(1).swap(table);
}

// Released and counted empty: how the gathering starts its area tables.
template <typename Record>
void EmptyTable(std::vector<Record>& table, std::int32_t& count) {
    ReleaseTable(table);
    count = 0;
}

// The world tables are released; their counts keep the settings' values.
void ReleaseWorldTables(ProgramState& state);

// How many world entries can be read. Normally the count from the settings; a
// database that was cut short holds fewer entries than its count announces,
// and nothing past what was read is ever touched.
std::int32_t ReadableWorldAirports(const ProgramState& state);
std::int32_t ReadableWorldAirspaces(const ProgramState& state);

}  // namespace tarnwick
