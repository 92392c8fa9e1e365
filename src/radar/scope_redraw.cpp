#include "radar/scope_redraw.h"

#include <vector>

#include "base/rounding.h"
#include "radar/aids/range_rings.h"
#include "radar/airport_layers.h"
#include "radar/airspace_layer.h"

namespace tarnwick {

namespace {

// A broken record whose pixels do not fit 32 bits loses its own layer only.
template <typename Layer>
void DrawGuarded(Layer layer, const ScopeContext& scope, const AirportRecord& airport) {
    try {
        layer(scope, airport);
    } catch (const OverflowError&) {
    }
}

// Notes the texts written on the picture into `boxes` while it lives.
class TextNotes {
   public:
    TextNotes(Canvas& picture, std::vector<PixelBox>* boxes) : picture_(picture) {
        picture.NoteTextsIn(boxes);
    }
    ~TextNotes() { picture_.NoteTextsIn(nullptr); }
    TextNotes(const TextNotes&) = delete;
    TextNotes& operator=(const TextNotes&) = delete;

   private:
    Canvas& picture_;
};

}  // namespace

void RedrawScope(const ScopeContext& scope) {
    const ChosenArea& area = scope.Area;
    const DisplayOptions& display = scope.Display;
    const std::int16_t level = scope.View.ZoomLevel;
    if (level < 1 || area.AreaAirportCount < 1) return;
    const auto forCulled = [&](auto&& draw) {
        for (const AirportRecord& airport : area.FilledAirports()) {
            if (StrictlyInside(scope.View.CullBounds, airport.Lat, airport.Lon)) draw(airport);
        }
    };

    if (level >= kAirspacesFromLevel && level <= kAirspacesToLevel && area.AreaAirspaceCount >= 1 &&
        display.DisplayAirspaces) {
        DrawAirspaces(scope);
    }
    if (level >= kGroundFromLevel) {
        forCulled([&](const AirportRecord& airport) {
            if (airport.ParkingCount > 0 && display.DisplayParkings) {
                DrawGuarded(DrawParkings, scope, airport);
            }
            if (airport.TaxiSegmentCount > 0 && display.DisplayTaxiways) {
                DrawGuarded(DrawTaxiways, scope, airport);
            }
        });
    }
    if (level >= kRunwaysFromLevel) {
        forCulled([&](const AirportRecord& airport) {
            if (airport.RunwayCount > 0) DrawGuarded(DrawRunways, scope, airport);
            if (airport.IlsCount > 0 && display.DisplayIls) DrawGuarded(DrawIls, scope, airport);
        });
    }
    if (level >= kNamesFromLevel) {
        forCulled([&](const AirportRecord& airport) {
            if (display.DisplayAirportName) DrawGuarded(DrawAirportName, scope, airport);
        });
    }
    if (level < kNamesFromLevel) {
        for (const AirportRecord& airport : area.FilledAirports())
            DrawGuarded(DrawAirportDot, scope, airport);
    }
    scope.Picture.ResetState();
}

void RedrawScopeAndTraffic(const ScopeContext& scope) {
    // With label placement on, the texts of the rings and the map are noted
    // as they are written, for the labels to keep clear of.
    const bool placing = scope.Aids && scope.Aids->Settings.Labels;
    std::vector<PixelBox> mapTexts;
    {
        const TextNotes notes(scope.Picture, placing ? &mapTexts : nullptr);
        if (scope.Aids && scope.Aids->Settings.Rings) {
            DrawRangeRings(scope, scope.Aids->Settings.RingSpacingNm);
            scope.Picture.ResetState();
        }
        RedrawScope(scope);
    }
    if (!placing) {
        DrawTraffic(scope);
        return;
    }
    ScopeAids aids = *scope.Aids;
    aids.MapTexts = mapTexts;
    ScopeContext withTexts = scope;
    withTexts.Aids = &aids;
    DrawTraffic(withTexts);
}

}  // namespace tarnwick
