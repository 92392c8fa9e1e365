#include "radar/pointer_readouts.h"

namespace tarnwick {

void PointerReadouts::ButtonDown(int button, GeoPosition at) {
    if (button == kLeftButton) {
        // Nothing is drawn until the pointer moves.
        anchor_ = at;
        measureActive_ = true;
        host_.SetPeriodicRedraw(false);
    } else if (button == kRightButton) {
        host_.CenterOn(at.Lon, at.Lat);
    }
}

void PointerReadouts::ButtonUp(int button) {
    if (button != kLeftButton || !measureActive_) return;
    // The line stays on the picture until the next redraw.
    anchor_ = {};
    measureActive_ = false;
    host_.SetPeriodicRedraw(true);
}

void PointerReadouts::PointerMove(GeoPosition at) {
    pointer_ = at;
    if (!boxText_.empty()) {
        boxText_.clear();
        host_.HideBox();
    }
    if (hover_.DesignatesAirspace()) hover_.Clear();
    if (measureActive_) host_.DrawMeasuring(anchor_, pointer_);
}

void PointerReadouts::HoverTick(const HoverScene& scene) {
    // A box already up stays as it is until the pointer moves, even when the
    // aircraft under it moves on.
    if (measureActive_ || !boxText_.empty()) return;
    HoverInfo info = FindHoverInfo(scene, pointer_);
    if (info.Airspace) hover_ = *info.Airspace;
    if (info.Text.empty()) return;
    boxText_ = std::move(info.Text);
    host_.ShowBox(boxText_);
}

}  // namespace tarnwick
