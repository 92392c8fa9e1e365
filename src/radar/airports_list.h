#pragma once
// The area's airports list: one line per area airport, the airport to centre
// the scope on, and the frequency messages. The window keeps no state of its
// own: an airport is found again by its list line, so two airports with the
// same name and ICAO identifier share one line text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "radar/radar_view.h"
#include "state/chosen_area.h"

namespace tarnwick {

// The list lines (Windows-1252) in table order, as the choice window writes them.
std::vector<std::string> AirportsListLines(const ChosenArea& area);

// "Center Screen": the position of the first airport with the selected line;
// none when no airport has it.
std::optional<GeoPosition> CenterScreenTarget(const ChosenArea& area, std::string_view selectedLine);

// "Show Frequencies": one message per airport with the selected line, in
// table order (Windows-1252, seven lines joined by CR LF).
std::vector<std::string> FrequencyMessages(const ChosenArea& area, std::string_view selectedLine);

}  // namespace tarnwick
