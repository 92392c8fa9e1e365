#include "scenery_kit/world_magnetic_model.h"

#include <array>
#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "base/file_system.h"
#include "base/rounding.h"

namespace tarnwick::geo {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kReferenceRadiusKm = 6371.2;  // the model's geomagnetic reference radius
constexpr double kWgs84A = 6378.137;           // semi-major axis, km
constexpr double kWgs84F = 1.0 / 298.257223563;
constexpr double kWgs84E2 = kWgs84F * (2.0 - kWgs84F);

constexpr int kSize = WorldMagneticModel::kMaxDegree + 1;
using Table = std::array<std::array<double, kSize>, kSize>;

// Schmidt semi-normalised associated Legendre functions P[n][m](cos theta) and
// their derivatives by theta (colatitude), without the Condon-Shortley phase.
void Legendre(double cosTheta, double sinTheta, Table& p, Table& dp) {
    p = {};
    dp = {};
    p[0][0] = 1.0;
    for (int m = 1; m < kSize; ++m) {
        // Sectoral terms: P(m,m) = sqrt((2m-1)/2m) sin(theta) P(m-1,m-1), with P(1,1) = sin(theta).
        const double k = m == 1 ? 1.0 : std::sqrt((2.0 * m - 1.0) / (2.0 * m));
        p[m][m] = k * sinTheta * p[m - 1][m - 1];
        dp[m][m] = k * (cosTheta * p[m - 1][m - 1] + sinTheta * dp[m - 1][m - 1]);
    }
    for (int m = 0; m < kSize; ++m) {
        for (int n = m + 1; n < kSize; ++n) {
            const double a = 2.0 * n - 1.0;
            const double b = n >= m + 2 ? std::sqrt(static_cast<double>((n - 1) * (n - 1) - m * m)) : 0.0;
            const double c = std::sqrt(static_cast<double>(n * n - m * m));
            const double p2 = n >= m + 2 ? p[n - 2][m] : 0.0;
            const double dp2 = n >= m + 2 ? dp[n - 2][m] : 0.0;
            p[n][m] = (a * cosTheta * p[n - 1][m] - b * p2) / c;
            dp[n][m] = (a * (cosTheta * dp[n - 1][m] - sinTheta * p[n - 1][m]) - b * dp2) / c;
        }
    }
}

[[noreturn]] void Malformed(int line, const std::string& why) {
    throw std::runtime_error("magnetic model coefficients, line " + std::to_string(line) + ": " + why);
}

}  // namespace

WorldMagneticModel WorldMagneticModel::Parse(std::string_view text) {
    WorldMagneticModel model;
    const std::size_t count = static_cast<std::size_t>(Index(kMaxDegree, kMaxDegree) + 1);
    model.g_.assign(count, 0.0);
    model.h_.assign(count, 0.0);
    model.gDot_.assign(count, 0.0);
    model.hDot_.assign(count, 0.0);

    std::istringstream in{std::string(text)};
    std::string line;
    int number = 0;
    bool header = false;
    int terms = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (line.find_first_not_of(" 9") == std::string::npos) break;  // closing lines of 9s
        std::istringstream fields(line);
        if (!header) {
            if (!(fields >> model.epoch_ >> model.name_))
                Malformed(number, "expected the epoch and the model name");
            header = true;
            continue;
        }
        int n = 0, m = 0;
        double g = 0, h = 0, gDot = 0, hDot = 0;
        if (!(fields >> n >> m >> g >> h >> gDot >> hDot)) Malformed(number, "expected n m g h g' h'");
        if (n < 1 || n > kMaxDegree || m < 0 || m > n) Malformed(number, "degree or order out of range");
        const auto i = static_cast<std::size_t>(Index(n, m));
        model.g_[i] = g;
        model.h_[i] = h;
        model.gDot_[i] = gDot;
        model.hDot_[i] = hDot;
        ++terms;
    }
    if (!header || terms == 0) throw std::runtime_error("magnetic model coefficients: no coefficients found");
    return model;
}

WorldMagneticModel WorldMagneticModel::Load(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(file);
    try {
        return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(file.string() + ": " + error.what());
    }
}

double WorldMagneticModel::DeclinationDegrees(double lat, double lon, double heightKm,
                                              double decimalYear) const {
    // Geodetic to geocentric spherical coordinates on the WGS84 ellipsoid.
    const double phi = lat * kDegree;
    const double lambda = lon * kDegree;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double rc = kWgs84A / std::sqrt(1.0 - kWgs84E2 * sinPhi * sinPhi);
    const double xp = (rc + heightKm) * cosPhi;
    const double zp = (rc * (1.0 - kWgs84E2) + heightKm) * sinPhi;
    const double r = std::hypot(xp, zp);
    const double phiC = std::asin(zp / r);

    // Colatitude theta: cos(theta) = sin(phiC), sin(theta) = cos(phiC).
    Table p, dp;
    Legendre(std::sin(phiC), std::cos(phiC), p, dp);

    std::array<double, kSize> cosM{}, sinM{};
    for (int m = 0; m < kSize; ++m) {
        cosM[static_cast<std::size_t>(m)] = std::cos(m * lambda);
        sinM[static_cast<std::size_t>(m)] = std::sin(m * lambda);
    }

    const double dt = decimalYear - epoch_;
    double north = 0, east = 0, down = 0;
    double ratio = kReferenceRadiusKm / r;
    double power = ratio * ratio;  // (a/r)^(n+2) starts at n = 0
    for (int n = 1; n <= kMaxDegree; ++n) {
        power *= ratio;
        for (int m = 0; m <= n; ++m) {
            const auto i = static_cast<std::size_t>(Index(n, m));
            const double g = g_[i] + dt * gDot_[i];
            const double h = h_[i] + dt * hDot_[i];
            const double c = cosM[static_cast<std::size_t>(m)];
            const double s = sinM[static_cast<std::size_t>(m)];
            // d/d(latitude) = -d/d(colatitude)
            north += power * (g * c + h * s) * dp[n][m];
            east += power * m * (g * s - h * c) * p[n][m];
            down -= power * (n + 1) * (g * c + h * s) * p[n][m];
        }
    }
    east /= std::cos(phiC);

    // Back from the geocentric to the geodetic frame; east is unchanged.
    const double psi = phiC - phi;
    const double northGeodetic = north * std::cos(psi) - down * std::sin(psi);
    return std::atan2(east, northGeodetic) / kDegree;
}

double DecimalYear(int year, int month, int day) {
    static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    if (month < 1 || month > 12) throw std::invalid_argument("month out of range: " + std::to_string(month));
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int dayOfYear = kDaysBefore[month - 1] + day - 1;
    if (leap && month > 2) ++dayOfYear;
    return year + dayOfYear / (leap ? 366.0 : 365.0);
}

DeclinationGrid DeclinationGridFor(const WorldMagneticModel& model, double decimalYear) {
    constexpr double kNearPole = 89.999;
    DeclinationGrid grid;
    for (int lon = 0; lon < DeclinationGrid::kLongitudes; ++lon) {
        for (int lat = -90; lat <= 90; ++lat) {
            const double at = lat == 90 ? kNearPole : lat == -90 ? -kNearPole : lat;
            const double degrees = model.DeclinationDegrees(at, lon, 0.0, decimalYear);
            double units = RoundHalfEven(degrees * 65536.0 / 360.0);
            if (units >= 32768.0) units -= 65536.0;  // +180 degrees is the same direction as -180
            grid.Cells[static_cast<std::size_t>(DeclinationGrid::IndexOf(lat, lon))] = ToI16(units);
        }
    }
    return grid;
}

}  // namespace tarnwick::geo
