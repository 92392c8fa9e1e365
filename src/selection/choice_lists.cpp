#include "selection/choice_lists.h"

#include <algorithm>
#include <unordered_set>

#include "base/ansi.h"
#include "selection/area_tables.h"

namespace tarnwick {

std::string AirportListText(const AirportRecord& airport) {
    std::string text;
    text.reserve(airport.Name.size() + airport.IcaoId.size() + 4);
    text += airport.Name;
    text += "  (";
    text += airport.IcaoId;
    text += ')';
    return text;
}

std::vector<std::string> AirportListTexts(SelectionState state) {
    const std::int32_t count = ReadableWorldAirports(state);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        texts.push_back(AirportListText(state.World.WorldAirports[static_cast<std::size_t>(i)]));
    return texts;
}

std::optional<std::size_t> EntryForTypedText(const std::vector<std::string>& ansiEntries,
                                             std::string_view ansiTyped) {
    if (ansiTyped.empty()) return std::nullopt;
    const auto equal = std::find(ansiEntries.begin(), ansiEntries.end(), ansiTyped);
    if (equal != ansiEntries.end()) return static_cast<std::size_t>(equal - ansiEntries.begin());
    const std::string wanted = UpperCaseAnsi(ansiTyped);
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < ansiEntries.size(); ++i) {
        if (UpperCaseAnsi(ansiEntries[i]).find(wanted) == std::string::npos) continue;
        if (found) return std::nullopt;  // the filter shows several
        found = i;
    }
    return found;
}

std::vector<std::string> SectorListNames(SelectionState state) {
    // A set gives the same first-come order as scanning the list for every
    // candidate, without the quadratic cost on large databases.
    std::vector<std::string> names;
    std::unordered_set<std::string> listed;
    const std::int32_t count = ReadableWorldAirspaces(state);
    for (std::int32_t i = 0; i < count; ++i) {
        const AirspaceRecord& airspace = state.World.WorldAirspaces[static_cast<std::size_t>(i)];
        if (!IsArtccClass(airspace.ClassText)) continue;
        if (listed.insert(airspace.FullName).second) names.push_back(airspace.FullName);
    }
    return names;
}

}  // namespace tarnwick
