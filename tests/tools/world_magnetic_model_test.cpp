#include "scenery_kit/world_magnetic_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarnwick::geo {
namespace {

const WorldMagneticModel& Model() {
    static const WorldMagneticModel model =
        WorldMagneticModel::Load(std::filesystem::path(TARNWICK_SOURCE_DIR) / "data" / "WMM2025.COF");
    return model;
}

struct Reference {
    const char* place;
    double lat, lon, declination;
};

// Published reference values at 2026-01-01, sea level.
TEST(WorldMagneticModel, MatchesReferenceDeclinations) {
    const Reference references[] = {
        {"KSEA", 47.4475, -122.3129, 14.928},
        {"JFK", 40.6413, -73.7781, -12.584},
        {"LHR", 51.47, -0.4543, 0.972},
        {"Sydney", -33.9399, 151.1753, 12.827},
        {"HND", 35.5494, 139.7798, -7.850},
        {"Cape Town", -33.9715, 18.6021, -26.757},
        {"0, 0", 0, 0, -3.893},
        {"Anchorage", 61.1743, -149.9982, 14.166},
    };
    const double year = DecimalYear(2026, 1, 1);
    EXPECT_EQ(year, 2026.0);
    for (const Reference& r : references) {
        EXPECT_NEAR(Model().DeclinationDegrees(r.lat, r.lon, 0.0, year), r.declination, 0.01) << r.place;
    }
}

TEST(WorldMagneticModel, SecularChangeMovesDeclinationWithTheDate) {
    // At Seattle the declination drifts by roughly a tenth of a degree a year;
    // a model that ignored the yearly change would give the same value twice.
    const double at2025 = Model().DeclinationDegrees(47.4475, -122.3129, 0.0, 2025.0);
    const double at2026 = Model().DeclinationDegrees(47.4475, -122.3129, 0.0, 2026.0);
    EXPECT_GT(std::abs(at2026 - at2025), 0.02);
    EXPECT_LT(std::abs(at2026 - at2025), 0.5);
    EXPECT_NEAR(DecimalYear(2024, 3, 1), 2024.0 + 60.0 / 366.0, 1e-12);  // leap year
    EXPECT_NEAR(DecimalYear(2026, 7, 2), 2026.0 + 182.0 / 365.0, 1e-12);
}

TEST(WorldMagneticModel, GridCellsHoldRoundedDeclinationInGridUnits) {
    const DeclinationGrid grid = DeclinationGridFor(Model(), 2026.0);
    // Cell for 47 N, 238 E (122 W): about 15 degrees east.
    const double expected = Model().DeclinationDegrees(47, 238, 0.0, 2026.0) * 65536.0 / 360.0;
    EXPECT_NEAR(grid.Cells[DeclinationGrid::IndexOf(47, 238)], expected, 0.5);
    EXPECT_GT(grid.Cells[DeclinationGrid::IndexOf(47, 238)], 14 * 182);
    // Longitude 0 column, equator: about -3.9 degrees.
    EXPECT_NEAR(grid.Cells[DeclinationGrid::IndexOf(0, 0)] * 360.0 / 65536.0, -3.9, 0.1);
    EXPECT_EQ(grid.Cells[DeclinationGrid::kCellCount], 0);  // the spare cell stays empty
}

TEST(WorldMagneticModel, MalformedCoefficientsAreRejected) {
    EXPECT_THROW(WorldMagneticModel::Parse(""), std::runtime_error);
    EXPECT_THROW(WorldMagneticModel::Parse("2025.0 WMM-2025 x\n 1 0 abc\n"), std::runtime_error);
    EXPECT_THROW(WorldMagneticModel::Parse("2025.0 WMM-2025 x\n 13 0 1 2 3 4\n"), std::runtime_error);
    const auto tiny = WorldMagneticModel::Parse("2025.0 TEST x\r\n 1 0 -30000 0 0 0\r\n9999999\r\n");
    EXPECT_EQ(tiny.Epoch(), 2025.0);
    EXPECT_EQ(tiny.Name(), "TEST");
    // An axial dipole points to true north everywhere.
    EXPECT_NEAR(tiny.DeclinationDegrees(40, 30, 0, 2025.0), 0.0, 1e-9);
}

}  // namespace
}  // namespace tarnwick::geo
