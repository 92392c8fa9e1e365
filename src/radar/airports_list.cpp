#include "radar/airports_list.h"

#include "selection/choice_lists.h"

namespace tarnwick {

namespace {

std::string FrequencyMessage(const AirportRecord& a) {
    return "Airport Name: " + a.Name + "\r\n" + "ICAO_ID: " + a.IcaoId + "\r\n" +
           "Clearance Frequency: " + a.ClearanceFreq + "\r\n" + "Ground Frequency: " + a.GroundFreq + "\r\n" +
           "Tower Frequency: " + a.TowerFreq + "\r\n" + "Departure Frequency: " + a.DepartureFreq + "\r\n" +
           "Approach Frequency: " + a.ApproachFreq;
}

}  // namespace

std::vector<std::string> AirportsListLines(const ChosenArea& area) {
    std::vector<std::string> lines;
    for (const AirportRecord& airport : area.FilledAirports()) lines.push_back(AirportListText(airport));
    return lines;
}

std::optional<GeoPosition> CenterScreenTarget(const ChosenArea& area, std::string_view selectedLine) {
    for (const AirportRecord& airport : area.FilledAirports()) {
        if (AirportListText(airport) == selectedLine) return GeoPosition{airport.Lat, airport.Lon};
    }
    return std::nullopt;
}

std::vector<std::string> FrequencyMessages(const ChosenArea& area, std::string_view selectedLine) {
    std::vector<std::string> messages;
    for (const AirportRecord& airport : area.FilledAirports()) {
        if (AirportListText(airport) == selectedLine) messages.push_back(FrequencyMessage(airport));
    }
    return messages;
}

}  // namespace tarnwick
