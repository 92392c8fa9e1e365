#pragma once
// Hand-filled areas for the scope tests: airports and airspaces built in
// code, a view on them, and a recording of what one pass draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "radar/recording_canvas.h"
#include "radar/scope_context.h"
#include "radar/scope_redraw.h"
#include "state/program_state.h"

namespace tarnwick::testing {

inline void AddAirport(ProgramState& state, const AirportRecord& airport) {
    state.Area.AreaAirports[static_cast<std::size_t>(state.Area.AreaAirportCount)] = airport;
    ++state.Area.AreaAirportCount;
    state.Area.AreaAirports.resize(static_cast<std::size_t>(state.Area.AreaAirportCount) + 1);
}

inline void AddAirspace(ProgramState& state, const AirspaceRecord& airspace) {
    state.Area.AreaAirspaces[static_cast<std::size_t>(state.Area.AreaAirspaceCount)] = airspace;
    ++state.Area.AreaAirspaceCount;
    state.Area.AreaAirspaces.resize(static_cast<std::size_t>(state.Area.AreaAirspaceCount) + 1);
}

template <typename T>
void Append(SlotList<T>& list, std::int32_t& count, const T& entry) {
    list.Grow(static_cast<std::size_t>(count)) = entry;
    ++count;
}

// A traffic table entry with a position report.
inline PlayerRecord& AddPlayer(ProgramState& state, const std::string& name, std::int32_t id, double lat,
                               double lon, const std::string& kind = kKindPlayer) {
    EXPECT_TRUE(state.Session.Traffic.Append(name, id, kind));
    PlayerRecord& record = state.Session.Traffic.Entries().back();
    record.Latitude = lat;
    record.Longitude = lon;
    return record;
}

inline void AllSwitchesOn(ProgramState& state) {
    state.Display = {true, true, true, true, true, true, true, true};
}

// A 1000 x 800 picture showing a square degree-ish view around (lat, lon).
inline RadarView ViewAround(double lat, double lon, double halfLon, double halfLat, std::int16_t level) {
    RadarView view;
    view.ViewBounds = {lon - halfLon, lat + halfLat, lon + halfLon, lat - halfLat};
    view.CullBounds = view.ViewBounds;
    view.PictureWidthPx = 1000;
    view.PictureHeightPx = 800;
    view.ZoomLevel = level;
    return view;
}

struct Pass {
    RecordingCanvas Canvas;
    std::vector<RecordedCall> Calls;
    std::vector<std::string> Lines;

    bool Any(CallKind kind) const {
        return std::any_of(Calls.begin(), Calls.end(), [&](const RecordedCall& c) { return c.Kind == kind; });
    }
    // Calls drawn in a colour: the pixel colour or the pen colour.
    std::size_t CountColor(Rgb color) const {
        return static_cast<std::size_t>(std::count_if(Calls.begin(), Calls.end(), [&](const RecordedCall& c) {
            if (c.Kind == CallKind::MoveToEx || c.Kind == CallKind::Clear) return false;
            return c.Kind == CallKind::SetPixelV ? c.PixelColor == color : c.State.DrawColor == color;
        }));
    }
    std::vector<RecordedCall> OfKind(CallKind kind) const {
        std::vector<RecordedCall> found;
        for (const RecordedCall& c : Calls) {
            if (c.Kind == kind) found.push_back(c);
        }
        return found;
    }
};

// The session's own participant is named `ownName`.
template <typename Draw>
Pass Record(const ProgramState& state, const RadarView& view, const HoverTarget& hover, Draw draw,
            std::string_view ownName = {}) {
    Pass pass;
    const ScopeContext scope{pass.Canvas,
                             view,
                             state.Area,
                             state.Display,
                             *state.Declination,
                             hover,
                             {state.Session.Traffic, state.Session.OwnPlayerId, ownName}};
    draw(scope);
    pass.Calls = pass.Canvas.Calls();
    for (const RecordedCall& call : pass.Calls) pass.Lines.push_back(FormatCall(call));
    return pass;
}

inline Pass RecordRedraw(const ProgramState& state, const RadarView& view, const HoverTarget& hover = {}) {
    return Record(state, view, hover, [](const ScopeContext& scope) { RedrawScope(scope); });
}

}  // namespace tarnwick::testing
