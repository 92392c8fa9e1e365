#pragma once
// The airspace the hover timer picked under the pointer: it is drawn last and
// highlighted. Empty texts mean nothing is picked.
#include <string>

namespace tarnwick {

struct HoverTarget {
    std::string Caption;    // "Current Selected Airspace" when set
    std::string ClassText;  // the picked airspace's type
    double Lat = 0;         // the picked airspace's centre
    double Lon = 0;

    bool DesignatesAirspace() const { return !Caption.empty() && !ClassText.empty(); }
    void Clear() { *this = HoverTarget{}; }
};

}  // namespace tarnwick
