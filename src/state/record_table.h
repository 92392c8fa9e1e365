#pragma once
// The rule of the program's record tables (world, area and builder tables): a
// table of n elements spans slots 0..n with the last slot empty, grows one
// element at a time, and is released by shrinking it back to one empty slot.
#include <cstdint>
#include <utility>
#include <vector>

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

// Keeps the first `elements` slots and puts a fresh empty slot after them,
// holding on to the memory (the builder refills its tables file after file).
template <typename Record>
void ShrinkTable(std::vector<Record>& table, std::size_t elements) {
    table.resize(elements);
    table.emplace_back();
}

// Released and counted empty: how the gathering starts its area tables.
template <typename Record>
void EmptyTable(std::vector<Record>& table, std::int32_t& count) {
    ReleaseTable(table);
    count = 0;
}

}  // namespace tarnwick
