#pragma once
// What the choice window lists: one text per airport, and one name per
// ARTCC/FIR sector (all airspaces sharing a FullName form one sector).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "selection/selection_state.h"
#include "state/records.h"

namespace tarnwick {

// Name + "  (" + IcaoId + ")": the list text, and the key by which the chosen
// airport is found again.
std::string AirportListText(const AirportRecord& airport);

// Every readable world airport's list text, in table order, without checks.
std::vector<std::string> AirportListTexts(SelectionState state);

// The entry that typed text stands for: the entry equal to it, else the one
// entry holding it anywhere, ignoring case, as the lists' filter shows them.
// None when the text is empty or the filter would show no entry or several.
std::optional<std::size_t> EntryForTypedText(const std::vector<std::string>& ansiEntries,
                                             std::string_view ansiTyped);

// The FullName of every ARTCC/FIR airspace, each name once, at the place of
// its first airspace (exact, case-sensitive comparison).
std::vector<std::string> SectorListNames(SelectionState state);

}  // namespace tarnwick
