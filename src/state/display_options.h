#pragma once
// The radar scope's eight display switches. They live in memory only; every
// start begins with the values the radar window's load and the area gathering set.
namespace tarnwick {

struct DisplayOptions {
    bool DisplayAirspaces = false;
    bool DisplayIls = false;
    bool DisplayHighArtcc = false;
    bool DisplayLowArtcc = false;
    bool DisplayTaxiways = false;
    bool DisplayTaxiwayIds = false;
    bool DisplayParkings = false;
    bool DisplayAirportName = false;
};

// The radar window's load switches every layer on; the two ARTCC/FIR switches
// stay as the area gathering set them.
inline void SwitchOnAtRadarLoad(DisplayOptions& display) {
    display.DisplayAirportName = true;
    display.DisplayIls = true;
    display.DisplayTaxiways = true;
    display.DisplayTaxiwayIds = true;
    display.DisplayParkings = true;
    display.DisplayAirspaces = true;
}

}  // namespace tarnwick
