#pragma once
// The World Magnetic Model: Gauss coefficients to degree 12 with their yearly
// change, evaluated as a spherical-harmonic expansion of the main field. Used
// to write declination grids for demo scenery; the radar itself reads the
// simulator's grid.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "geo/declination_grid.h"

namespace tarnwick::geo {

class WorldMagneticModel {
   public:
    static constexpr int kMaxDegree = 12;

    // Parses the coefficient file's text (header line, "n m g h g' h'" lines,
    // closing lines of 9s). Throws std::runtime_error on malformed text.
    static WorldMagneticModel Parse(std::string_view text);
    // Throws FileError or std::runtime_error naming the file.
    static WorldMagneticModel Load(const std::filesystem::path& file);

    double Epoch() const { return epoch_; }
    const std::string& Name() const { return name_; }

    // Declination in degrees, east positive, at a geodetic position (WGS84)
    // `heightKm` above the ellipsoid, at `decimalYear` (2026.0 is 1 January 2026).
    double DeclinationDegrees(double lat, double lon, double heightKm, double decimalYear) const;

   private:
    static int Index(int n, int m) { return n * (n + 1) / 2 + m; }

    double epoch_ = 0;
    std::string name_;
    std::vector<double> g_, h_, gDot_, hDot_;  // indexed by Index(n, m)
};

// Year + fraction of the year elapsed at 0h UT of the given day.
double DecimalYear(int year, int month, int day);

// A declination grid (unit 360/65536 degree, east positive) at sea level. At the
// poles, where declination depends on the direction of approach, the value is
// taken just short of the pole along the cell's meridian.
DeclinationGrid DeclinationGridFor(const WorldMagneticModel& model, double decimalYear);

}  // namespace tarnwick::geo
