#pragma once
// The mouse on the scope: the right button recentres, the left button held
// measures, and a pointer at rest gets the information box of what it points
// at. The state lives here; the radar window only passes its events on and
// carries out what it is asked through PointerHost.
#include <string>

#include "radar/hover_info.h"
#include "radar/hover_target.h"
#include "radar/radar_view.h"

namespace tarnwick {

// What the pointer handling asks of the radar window.
class PointerHost {
   public:
    virtual ~PointerHost() = default;
    // Timer2, the periodic redraw.
    virtual void SetPeriodicRedraw(bool running) = 0;
    // Center_Airport with a longitude and latitude: recentre and redraw.
    virtual void CenterOn(double lon, double lat) = 0;
    // DrawMeasuringMove on the picture, shown at once.
    virtual void DrawMeasuring(GeoPosition anchor, GeoPosition pointer) = 0;
    // Label1 near the pointer with this text (Windows-1252, CR LF lines), or hidden.
    virtual void ShowBox(const std::string& text) = 0;
    virtual void HideBox() = 0;
};

// Button codes of the picture's mouse events; other codes and combinations do nothing.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

class PointerReadouts {
   public:
    // `hover` is the airspace highlight the redraw pass reads.
    PointerReadouts(PointerHost& host, HoverTarget& hover) : host_(host), hover_(hover) {}

    // Positions are the picture's user scale: latitude and longitude.
    void ButtonDown(int button, GeoPosition at);
    void PointerMove(GeoPosition at);
    void ButtonUp(int button);
    // Timer4: once the pointer rests, the box of the last object hit.
    void HoverTick(const HoverScene& scene);

    bool MeasureActive() const { return measureActive_; }
    GeoPosition MeasureAnchor() const { return anchor_; }
    GeoPosition Pointer() const { return pointer_; }
    // Label1's caption; the box is visible exactly when it is not empty.
    const std::string& BoxText() const { return boxText_; }

   private:
    PointerHost& host_;
    HoverTarget& hover_;
    bool measureActive_ = false;
    GeoPosition anchor_;
    GeoPosition pointer_;
    std::string boxText_;
};

}  // namespace tarnwick
