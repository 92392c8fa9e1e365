#pragma once
// The simulator's magnetic declination grid: one signed 16-bit value per whole
// degree of latitude (-90..90) and longitude (0..359 east), in 360/65536 degree.
#include <array>
#include <cstdint>

namespace tarnwick {

struct DeclinationGrid {
    static constexpr int kLatitudes = 181;
    static constexpr int kLongitudes = 360;
    static constexpr int kCellCount = kLatitudes * kLongitudes;  // 65160 cells: index 0..65159
    // One spare cell: the grid is dimensioned 0 to 65160.
    std::array<std::int16_t, kCellCount + 1> Cells{};

    static constexpr int IndexOf(int lat, int lonEast) { return lonEast * kLatitudes + (lat + 90); }
};

}  // namespace tarnwick
