#include "radar/aids/aided_traffic.h"

#include <algorithm>

#include "base/rounding.h"
#include "geo/local_offset.h"
#include "radar/aids/data_block.h"
#include "radar/hover_info.h"
#include "radar/traffic_layer.h"
#include "traffic/conflict_alert.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

struct Shown {
    const PlayerRecord* Record = nullptr;
    std::size_t Index = 0;  // in the table
    AircraftSymbol Symbol;
    Motion Moving;
    bool Conflict = false;
};

std::vector<Shown> ShownAircraft(const ScopeContext& scope) {
    std::vector<Shown> shown;
    const auto entries = scope.Traffic.Table.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PlayerRecord& record = entries[i];
        if (!ShowsOnScope(scope.Traffic, record) || !scope.InView(record.Latitude, record.Longitude))
            continue;
        try {
            shown.push_back(
                {&record, i, SymbolOf(scope, record), scope.Aids->Motion.MotionOf(KeyOf(record))});
        } catch (const OverflowError&) {
            // A damaged record is left out whole, as the plain traffic pass leaves it.
        }
    }
    return shown;
}

// The aircraft's disc, heading line, label and leader: red in conflict.
Rgb ColorOf(const Shown& aircraft) { return aircraft.Conflict ? kConflictRed : kScopeGreen; }

Rgb DotColor(int dot, int dots) {
    const int span = kScopeGreen.G - kOldestDotGreen;
    const int green = dots <= 1 ? kScopeGreen.G : kScopeGreen.G - span * dot / (dots - 1);
    return {0, static_cast<std::uint8_t>(green), 0};
}

void DrawHistory(const ScopeContext& scope, const std::vector<Shown>& shown) {
    const RadarAids& aids = scope.Aids->Settings;
    Canvas& picture = scope.Picture;
    picture.SetFillStyle(FillStyle::Solid);
    picture.SetLineWidth(1);
    picture.SetLineStyle(LineStyle::Solid);
    for (const Shown& aircraft : shown) {
        const std::vector<MotionSample> trail = scope.Aids->Motion.Trail(
            KeyOf(*aircraft.Record), aids.HistoryDots, milliseconds(aids.HistorySpacingS * 1000));
        // The oldest first, so the newer dots lie on top.
        for (std::size_t k = trail.size(); k-- > 0;) {
            const MotionSample& at = trail[k];
            if (!scope.InView(at.Latitude, at.Longitude)) continue;
            const ScreenPoint p = scope.Project(at.Latitude, at.Longitude);
            const Rgb color = DotColor(static_cast<int>(k), aids.HistoryDots);
            picture.SetDrawColor(color);
            picture.SetFillColor(color);
            picture.Ellipse(p.X - kHistoryDotRadiusPx, p.Y - kHistoryDotRadiusPx, p.X + kHistoryDotRadiusPx,
                            p.Y + kHistoryDotRadiusPx);
        }
    }
}

void MarkConflicts(const ScopeContext& scope, std::vector<Shown>& shown) {
    const RadarAids& aids = scope.Aids->Settings;
    const std::vector<ConflictPair> pairs = FindConflicts(
        scope.Traffic, scope.Aids->Motion, ConflictLimitsOf(aids), ConflictInhibitions(aids, scope.Area));
    if (pairs.empty()) return;
    const auto entries = scope.Traffic.Table.Entries();
    Canvas& picture = scope.Picture;
    picture.SetDrawColor(kConflictRed);
    picture.SetLineWidth(1);
    picture.SetLineStyle(LineStyle::Solid);
    std::vector<bool> inConflict(entries.size(), false);
    for (const ConflictPair& pair : pairs) {
        inConflict[pair.First] = true;
        inConflict[pair.Second] = true;
    }
    for (Shown& aircraft : shown) aircraft.Conflict = inConflict[aircraft.Index];
    for (const ConflictPair& pair : pairs) {
        const PlayerRecord& a = entries[pair.First];
        const PlayerRecord& b = entries[pair.Second];
        // One of them may be out of view; the line still shows where the other is.
        try {
            const ScreenPoint pa = scope.Project(a.Latitude, a.Longitude);
            const ScreenPoint pb = scope.Project(b.Latitude, b.Longitude);
            picture.MoveToEx(pa.X, pa.Y);
            picture.LineTo(pb.X, pb.Y);
        } catch (const OverflowError&) {
        }
    }
}

// Where the aircraft will be after the vector's minutes; none while its
// motion is unknown or it stands still.
std::optional<ScreenPoint> VectorEnd(const ScopeContext& scope, const Shown& aircraft) {
    const Motion& motion = aircraft.Moving;
    if (!motion.GroundSpeedKt || !motion.TrackTrue) return std::nullopt;
    const double distanceNm = *motion.GroundSpeedKt * scope.Aids->Settings.VectorMinutes / 60.0;
    const PlayerRecord& r = *aircraft.Record;
    const geo::GeoPoint end =
        geo::MovedBy(r.Latitude, r.Longitude, geo::AlongCourse(*motion.TrackTrue, distanceNm));
    try {
        return scope.Project(end.Lat, end.Lon);
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

void DrawSymbols(const ScopeContext& scope, const std::vector<Shown>& shown) {
    Canvas& picture = scope.Picture;
    picture.SetLineWidth(1);
    picture.SetLineStyle(LineStyle::Solid);
    picture.SetFillStyle(FillStyle::Solid);
    constexpr std::int32_t r = kAircraftDiscRadiusPx;
    for (const Shown& aircraft : shown) {
        const Rgb color = ColorOf(aircraft);
        const ScreenPoint p = aircraft.Symbol.Position;
        picture.SetDrawColor(color);
        picture.SetFillColor(color);
        picture.Ellipse(p.X - r, p.Y + r, p.X + r, p.Y - r);
        picture.MoveToEx(p.X, p.Y);
        picture.LineTo(aircraft.Symbol.LineEnd.X, aircraft.Symbol.LineEnd.Y);
        if (!scope.Aids->Settings.Vectors) continue;
        if (const std::optional<ScreenPoint> end = VectorEnd(scope, aircraft)) {
            picture.MoveToEx(p.X, p.Y);
            picture.LineTo(end->X, end->Y);
        }
    }
}

// The aircraft the hover box would name: the last one within reach of the pointer.
std::optional<std::size_t> UnderPointer(const ScopeContext& scope, const std::vector<Shown>& shown) {
    if (!scope.Aids->Pointer) return std::nullopt;
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (WithinHoverReach(shown[i].Symbol.Position, *scope.Aids->Pointer)) found = i;
    }
    return found;
}

void DrawLabels(const ScopeContext& scope, const std::vector<Shown>& shown) {
    const RadarAids& aids = scope.Aids->Settings;
    Canvas& picture = scope.Picture;
    const std::int32_t lineHeight = picture.Metrics().LineHeight;
    std::vector<std::vector<std::string>> texts;
    std::vector<LabelRequest> requests;
    for (const Shown& aircraft : shown) {
        std::vector<std::string> lines = LabelLines(*aircraft.Record, aircraft.Moving, aids.DataBlock);
        TextExtent size{0, lineHeight * static_cast<std::int32_t>(lines.size())};
        for (const std::string& line : lines)
            size.Width = std::max(size.Width, picture.MeasureText(line).Width);
        requests.push_back({KeyOf(*aircraft.Record), aircraft.Symbol.Position, size});
        texts.push_back(std::move(lines));
    }
    const std::optional<std::size_t> onTop = UnderPointer(scope, shown);
    std::vector<LabelPlace> places(shown.size());
    if (aids.Labels) {
        const std::int32_t width = scope.View.PictureWidthPx;
        const std::int32_t height = scope.View.PictureHeightPx;
        const std::span<const PixelBox> mapTexts = scope.Aids->MapTexts;
        if (scope.Aids->Places) {
            places = scope.Aids->Places->Place(requests, width, height, mapTexts, onTop);
        } else {
            LabelPlaces fresh;
            places = fresh.Place(requests, width, height, mapTexts, onTop);
        }
    } else {
        for (std::size_t i = 0; i < shown.size(); ++i) places[i].TopLeft = shown[i].Symbol.Position;
    }
    // Leaders first, so that none runs across another label's text; each in
    // its label's colour, so that only a pair in conflict has red lines.
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!places[i].Leader) continue;
        const ScreenPoint p = shown[i].Symbol.Position;
        picture.SetDrawColor(ColorOf(shown[i]));
        picture.MoveToEx(p.X, p.Y);
        picture.LineTo(places[i].LeaderEnd.X, places[i].LeaderEnd.Y);
    }
    const auto write = [&](std::size_t i) {
        picture.SetDrawColor(ColorOf(shown[i]));
        std::int32_t y = places[i].TopLeft.Y;
        for (const std::string& line : texts[i]) {
            picture.TextOutA(places[i].TopLeft.X, y, line);
            y += lineHeight;
        }
    };
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i != onTop) write(i);
    }
    if (onTop) write(*onTop);
}

}  // namespace

void DrawAidedTraffic(const ScopeContext& scope) {
    std::vector<Shown> shown = ShownAircraft(scope);
    if (scope.Aids->Settings.History) DrawHistory(scope, shown);
    if (scope.Aids->Settings.Conflicts) MarkConflicts(scope, shown);
    DrawSymbols(scope, shown);
    DrawLabels(scope, shown);
    scope.Picture.ResetState();
}

}  // namespace tarnwick
