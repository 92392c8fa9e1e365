#include "radar/radar_view.h"

#include <gtest/gtest.h>

#include "base/rounding.h"

namespace tarnwick {
namespace {

RadarView TenByTen() {
    RadarView view;
    view.ViewBounds = {-5, 45, 5, 35};
    view.CullBounds = view.ViewBounds;
    view.PictureWidthPx = 1000;
    view.PictureHeightPx = 600;
    view.ZoomLevel = 20;
    return view;
}

void ExpectBoundsNear(const GeoBounds& actual, const GeoBounds& expected) {
    EXPECT_NEAR(actual.West, expected.West, 1e-9);
    EXPECT_NEAR(actual.North, expected.North, 1e-9);
    EXPECT_NEAR(actual.East, expected.East, 1e-9);
    EXPECT_NEAR(actual.South, expected.South, 1e-9);
}

TEST(RadarView, EdgesProjectOntoThePictureEdges) {
    const RadarView view = TenByTen();
    EXPECT_EQ(ProjectToScreen(view, 45, -5), (ScreenPoint{0, 0}));
    EXPECT_EQ(ProjectToScreen(view, 35, 5), (ScreenPoint{1000, 600}));
    EXPECT_EQ(ProjectToScreen(view, 40, 0), (ScreenPoint{500, 300}));
    // Outside the view: beyond the picture, not clipped.
    EXPECT_EQ(ProjectToScreen(view, 50, -10), (ScreenPoint{-500, -300}));
    // Halves go to the even pixel (two pixels per degree, exactly).
    RadarView halves = view;
    halves.ViewBounds = {0, 64, 128, 0};
    halves.PictureWidthPx = 256;
    halves.PictureHeightPx = 128;
    EXPECT_EQ(ProjectToScreen(halves, 64, 0.25).X, 0);
    EXPECT_EQ(ProjectToScreen(halves, 64, 0.75).X, 2);
    EXPECT_EQ(ProjectToScreen(halves, 64, 1.25).X, 2);
    EXPECT_EQ(ProjectToScreen(halves, 63.25, 0).Y, 2);
    // The pointer mapping is the inverse of the projection.
    const GeoPosition corner = PictureToGeo(view, 1000, 600);
    EXPECT_NEAR(corner.Lat, 35, 1e-12);
    EXPECT_NEAR(corner.Lon, 5, 1e-12);
    const GeoPosition middle = PictureToGeo(view, 250, 150);
    EXPECT_NEAR(middle.Lat, 42.5, 1e-12);
    EXPECT_NEAR(middle.Lon, -2.5, 1e-12);
}

TEST(RadarView, FarOffPositionsThatOverflowAreErrorsNotWrapAround) {
    RadarView view = TenByTen();
    view.ViewBounds = {0, 1e-6, 1e-6, 0};
    EXPECT_THROW(ProjectToScreen(view, 0, 179), OverflowError);
}

TEST(RadarView, ZoomingInThenOutRestoresTheBounds) {
    RadarView view = TenByTen();
    const GeoBounds before = view.ViewBounds;
    ASSERT_TRUE(ZoomInStep(view));
    EXPECT_EQ(view.ZoomLevel, 21);
    ExpectBoundsNear(view.ViewBounds, {-4, 44, 4, 36});  // 0.8 of each span, same centre
    ASSERT_TRUE(ZoomOutStep(view));
    EXPECT_EQ(view.ZoomLevel, 20);
    ExpectBoundsNear(view.ViewBounds, before);
    for (int i = 0; i < 10; ++i) ZoomOutStep(view);
    for (int i = 0; i < 10; ++i) ZoomInStep(view);
    ExpectBoundsNear(view.ViewBounds, before);
}

TEST(RadarView, ZoomStopsAtItsLimitsWithoutChangingTheView) {
    RadarView view = TenByTen();
    view.ZoomLevel = 55;
    EXPECT_FALSE(ZoomInStep(view));
    EXPECT_EQ(view.ZoomLevel, 55);
    EXPECT_EQ(view.ViewBounds, TenByTen().ViewBounds);
    EXPECT_TRUE(ZoomOutStep(view));
    view.ZoomLevel = 1;
    const GeoBounds before = view.ViewBounds;
    EXPECT_FALSE(ZoomOutStep(view));
    EXPECT_EQ(view.ZoomLevel, 1);
    EXPECT_EQ(view.ViewBounds, before);
    view.ZoomLevel = 0;
    EXPECT_FALSE(ZoomInStep(view));
    EXPECT_EQ(ZoomCaption(9), "x9");
    EXPECT_EQ(ZoomCaption(10), "x10");
}

TEST(RadarView, CullBoundsFreezeAtLevel35AndFollowCentring) {
    RadarView view = TenByTen();
    view.ZoomLevel = 34;
    ZoomInStep(view);  // to 35: copied
    const GeoBounds level35 = view.ViewBounds;
    EXPECT_EQ(view.CullBounds, level35);
    ZoomInStep(view);  // to 36: kept
    EXPECT_EQ(view.CullBounds, level35);
    EXPECT_NE(view.ViewBounds, level35);
    ZoomInStep(view);
    EXPECT_EQ(view.CullBounds, level35);

    // Centring moves both rectangles, each keeping its own extents.
    Center_Airport(view, 10, 20);
    EXPECT_NEAR((view.CullBounds.West + view.CullBounds.East) / 2, 10, 1e-9);
    EXPECT_NEAR((view.CullBounds.North + view.CullBounds.South) / 2, 20, 1e-9);
    EXPECT_NEAR(view.CullBounds.East - view.CullBounds.West, level35.East - level35.West, 1e-9);
    EXPECT_NEAR((view.ViewBounds.West + view.ViewBounds.East) / 2, 10, 1e-9);
    EXPECT_LT(view.ViewBounds.East - view.ViewBounds.West, view.CullBounds.East - view.CullBounds.West);

    ZoomOutStep(view);  // 37 -> 36: still the frozen rectangle
    EXPECT_NE(view.CullBounds, view.ViewBounds);
    ZoomOutStep(view);  // 36 -> 35: the view again
    EXPECT_EQ(view.CullBounds, view.ViewBounds);
}

TEST(RadarView, CentringOnTheCurrentCentreChangesNothing) {
    RadarView view = TenByTen();
    Center_Airport(view, 0, 40);
    ExpectBoundsNear(view.ViewBounds, TenByTen().ViewBounds);
    EXPECT_EQ(view.ZoomLevel, 20);
}

TEST(RadarView, OpensEightStepsInCentredOnTheArea) {
    RadarView view;
    InitializeView(view, 800, 600, 47.449, -122.309);
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_EQ(view.PictureWidthPx, 800);
    EXPECT_EQ(view.PictureHeightPx, 600);
    const GeoBounds& b = view.ViewBounds;
    EXPECT_NEAR(b.East - b.West, 359.9998 * 0.16777216, 1e-9);
    EXPECT_NEAR(b.North - b.South, 179.9998 * 0.16777216, 1e-9);
    EXPECT_NEAR((b.East + b.West) / 2, -122.309, 1e-9);
    EXPECT_NEAR((b.North + b.South) / 2, 47.449, 1e-9);
    EXPECT_EQ(view.CullBounds, view.ViewBounds);
    // Level 35 spans about 0.18 by 0.09 degrees.
    for (int i = 0; i < 26; ++i) ZoomInStep(view);
    EXPECT_EQ(view.ZoomLevel, 35);
    EXPECT_NEAR(view.ViewBounds.East - view.ViewBounds.West, 0.18, 0.005);
}

}  // namespace
}  // namespace tarnwick
