#pragma once
// Numbers as the program shows them: doubles as general numbers with up to 15
// significant digits and no trailing zeros (270, 270.5, 118.3).
#include <string>

namespace tarnwick {

std::string FormatGeneral(double value);

// Shortest text that reads back to the same double (for machine-read output).
std::string FormatRoundTrip(double value);

}  // namespace tarnwick
