#pragma once
// What both database files must honour, whatever their bytes: the count the
// settings announce only limits how far the reading goes, the memory used stays
// within what the file's bytes can hold, and a file that loads soundly is
// exactly the encoding of what was loaded.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "scenery/database_file.h"

namespace tarnwick::fuzz {

// Every stored element (an entry, or a runway, ILS, taxi point, parking, taxi
// segment or boundary point in one) takes at least this many bytes.
inline constexpr std::size_t kMinElementBytes = 14;

template <typename T>
std::size_t SlotsOf(const SlotList<T>& list) {
    return list.SlotCount();
}

inline std::size_t Elements(const AirportRecord& a) {
    return 1 + SlotsOf(a.Runways) + SlotsOf(a.IlsList) + SlotsOf(a.TaxiPoints) + SlotsOf(a.Parkings) +
           SlotsOf(a.TaxiSegments);
}

inline std::size_t Elements(const AirspaceRecord& s) { return 1 + SlotsOf(s.Points); }

// `decode` and `encode` are the file's DecodeAirports/EncodeAirports or
// DecodeAirspaces/EncodeAirspaces.
template <typename Record, typename Decode, typename Encode>
void CheckDatabase(std::span<const std::uint8_t> bytes, Decode decode, Encode encode) {
    // Announcing more entries than any file holds reads every entry there is.
    const DatabaseReadResult<Record> all = decode(bytes, std::numeric_limits<std::int32_t>::max());
    Require(all.Damaged && !all.Problem.empty(), "a file shorter than announced is reported");
    Require(!all.Entries.empty() && all.Entries.back() == Record{}, "the table ends in an empty slot");
    std::size_t elements = 0;
    for (const Record& record : all.Entries) elements += Elements(record);
    Require(elements <= bytes.size() / kMinElementBytes + 2, "memory stays within what the file can hold");

    const std::int32_t read = all.Count();
    if (read == 0) return;
    // Announced as exactly the entries there are (the empty last slot is
    // stored too, so it is one of them), a file made of whole entries ending
    // in an empty one loads soundly; and whatever loads soundly is exactly
    // the encoding of what was loaded.
    const std::span<const Record> whole(all.Entries.data(), static_cast<std::size_t>(read));
    const bool madeOfWholeEntries = encode(whole) == std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    const DatabaseReadResult<Record> announced = decode(bytes, read - 1);
    Require(announced.Damaged == !announced.Problem.empty(), "damage, and only damage, is explained");
    if (madeOfWholeEntries && whole.back() == Record{}) {
        Require(!announced.Damaged, "a file of whole entries ending in an empty one loads soundly");
    }
    if (!announced.Damaged) {
        Require(announced.Count() == read - 1 && madeOfWholeEntries &&
                    encode(announced.Entries) == std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                "what loads soundly is what the file holds");
    }
}

}  // namespace tarnwick::fuzz
