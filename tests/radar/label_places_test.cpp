#include "radar/aids/label_places.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick {
namespace {

constexpr std::int32_t kWidth = 1200;
constexpr std::int32_t kHeight = 900;
constexpr TextExtent kLabel{90, 14};

struct Box {
    std::int32_t Left, Top, Right, Bottom;
};

Box LabelBox(const LabelPlace& place, TextExtent size) {
    return {place.TopLeft.X, place.TopLeft.Y, place.TopLeft.X + size.Width, place.TopLeft.Y + size.Height};
}

Box DiscBox(ScreenPoint p) {
    constexpr std::int32_t r = LabelPlaces::kDiscRadiusPx;
    return {p.X - r, p.Y - r, p.X + r + 1, p.Y + r + 1};
}

bool Overlap(const Box& a, const Box& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

std::vector<LabelRequest> Requests(const std::vector<ScreenPoint>& aircraft) {
    std::vector<LabelRequest> requests;
    for (std::size_t i = 0; i < aircraft.size(); ++i)
        requests.push_back(
            {{static_cast<std::int32_t>(i + 2), "N" + std::to_string(i)}, aircraft[i], kLabel});
    return requests;
}

// No label on another, on a disc, or off the picture.
void ExpectClear(const std::vector<LabelRequest>& requests, const std::vector<LabelPlace>& places) {
    ASSERT_EQ(places.size(), requests.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Box box = LabelBox(places[i], requests[i].Size);
        EXPECT_TRUE(box.Left >= 0 && box.Top >= 0 && box.Right <= kWidth && box.Bottom <= kHeight) << i;
        for (std::size_t j = 0; j < places.size(); ++j) {
            EXPECT_FALSE(Overlap(box, DiscBox(requests[j].Aircraft))) << i << " on the disc of " << j;
            if (j != i) {
                EXPECT_FALSE(Overlap(box, LabelBox(places[j], requests[j].Size))) << i << " on " << j;
            }
        }
    }
}

TEST(LabelPlaces, ACrowdOnOnePointGetsColumnsOfLabelsWithLeaders) {
    // The first view of a session: twenty aircraft within a pixel or two.
    std::vector<ScreenPoint> aircraft;
    for (int i = 0; i < 20; ++i) aircraft.push_back({600 + i % 2, 450 + i % 3});
    const std::vector<LabelRequest> requests = Requests(aircraft);
    LabelPlaces places;
    const std::vector<LabelPlace> placed = places.Place(requests, kWidth, kHeight);
    ExpectClear(requests, placed);
    int leaders = 0;
    for (const LabelPlace& place : placed) {
        if (!place.Leader) continue;
        ++leaders;
        const Box box = LabelBox(place, kLabel);
        // The leader ends on the label's edge.
        EXPECT_TRUE(place.LeaderEnd.X >= box.Left && place.LeaderEnd.X <= box.Right) << place.LeaderEnd.X;
        EXPECT_TRUE(place.LeaderEnd.Y >= box.Top && place.LeaderEnd.Y < box.Bottom) << place.LeaderEnd.Y;
    }
    EXPECT_GE(leaders, 12);
}

TEST(LabelPlaces, SparseTrafficKeepsEveryLabelBesideItsAircraftAndInsideThePicture) {
    std::mt19937 random(3);
    std::uniform_int_distribution<std::int32_t> x(0, kWidth - 1), y(0, kHeight - 1);
    std::vector<ScreenPoint> aircraft;
    for (int i = 0; i < 40; ++i) aircraft.push_back({x(random), y(random)});
    // Against the picture's edges.
    aircraft.push_back({2, 2});
    aircraft.push_back({kWidth - 3, kHeight - 3});
    const std::vector<LabelRequest> requests = Requests(aircraft);
    LabelPlaces places;
    const std::vector<LabelPlace> placed = places.Place(requests, kWidth, kHeight);
    ExpectClear(requests, placed);
    for (const LabelPlace& place : placed) EXPECT_FALSE(place.Leader);
}

TEST(LabelPlaces, ALabelKeepsItsPlaceWhileFreeAndComesHomeWhenTheCrowdLeaves) {
    // A's label sits to its right. B then appears left of that label, before A
    // in the table, with its own first place on A's label.
    const LabelRequest a{{2, "A"}, {500, 400}, kLabel};
    const LabelRequest b{{3, "B"}, {495, 388}, kLabel};
    LabelPlaces places;
    const LabelPlace first = places.Place(std::vector{a}, kWidth, kHeight)[0];
    const std::vector<LabelRequest> both{b, a};
    const std::vector<LabelPlace> kept = places.Place(both, kWidth, kHeight);
    ExpectClear(both, kept);
    EXPECT_EQ(kept[1].TopLeft, first.TopLeft) << "A's label stays where it was";
    LabelPlaces fresh;
    EXPECT_NE(fresh.Place(both, kWidth, kHeight)[1].TopLeft, first.TopLeft)
        << "placed afresh, B would take it";

    // A crowd surrounds A: its label moves away on a leader; when the crowd
    // leaves it comes back beside A.
    std::vector<ScreenPoint> crowd{{300, 300}};
    for (int i = 1; i <= 12; ++i) crowd.push_back({300 + (i % 2), 300 + (i % 3)});
    std::vector<LabelRequest> crowded = Requests(crowd);
    crowded.back().Player = {99, "LAST"};
    const std::vector<LabelRequest> left{crowded.back()};
    LabelPlaces crowdPlaces;
    ASSERT_TRUE(crowdPlaces.Place(crowded, kWidth, kHeight).back().Leader);
    EXPECT_FALSE(crowdPlaces.Place(left, kWidth, kHeight)[0].Leader);
}

TEST(LabelPlaces, TheAircraftUnderThePointerIsPlacedFirst) {
    const std::vector<LabelRequest> requests = Requests({{600, 450}, {600, 450}});
    LabelPlaces places;
    const std::vector<LabelPlace> plain = places.Place(requests, kWidth, kHeight);
    LabelPlaces pointed;
    const std::vector<LabelPlace> second = pointed.Place(requests, kWidth, kHeight, 1);
    EXPECT_EQ(second[1].TopLeft, plain[0].TopLeft) << "the pointer's aircraft gets the first place";
    EXPECT_NE(second[0].TopLeft, plain[0].TopLeft);
}

}  // namespace
}  // namespace tarnwick
