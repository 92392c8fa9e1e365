#include "radar/aids/label_places.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace tarnwick {
namespace {

constexpr std::int32_t kWidth = 1200;
constexpr std::int32_t kHeight = 900;
constexpr TextExtent kLabel{90, 14};
// A full data block: a callsign over altitude and speed.
constexpr TextExtent kBlock{56, 28};

PixelBox LabelBox(const LabelPlace& place, TextExtent size) {
    return {place.TopLeft.X, place.TopLeft.Y, place.TopLeft.X + size.Width, place.TopLeft.Y + size.Height};
}

PixelBox DiscBox(ScreenPoint p) {
    constexpr std::int32_t r = LabelPlaces::kDiscRadiusPx;
    return {p.X - r, p.Y - r, p.X + r + 1, p.Y + r + 1};
}

bool Overlap(const PixelBox& a, const PixelBox& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

std::vector<LabelRequest> Requests(const std::vector<ScreenPoint>& aircraft, TextExtent size = kLabel) {
    std::vector<LabelRequest> requests;
    for (std::size_t i = 0; i < aircraft.size(); ++i)
        requests.push_back({{static_cast<std::int32_t>(i + 2), "N" + std::to_string(i)}, aircraft[i], size});
    return requests;
}

std::vector<ScreenPoint> Scattered(std::mt19937& random, int count, PixelBox area) {
    std::uniform_int_distribution<std::int32_t> x(area.Left, area.Right - 1), y(area.Top, area.Bottom - 1);
    std::vector<ScreenPoint> points;
    for (int i = 0; i < count; ++i) points.push_back({x(random), y(random)});
    return points;
}

// Names and runway numbers written all over the picture.
std::vector<PixelBox> MapTexts(std::mt19937& random, int count) {
    std::uniform_int_distribution<std::int32_t> x(0, kWidth - 1), y(0, kHeight - 1), chars(2, 20);
    std::vector<PixelBox> texts;
    for (int i = 0; i < count; ++i) {
        const ScreenPoint at{x(random), y(random)};
        texts.push_back({at.X, at.Y, at.X + 7 * chars(random), at.Y + 14});
    }
    return texts;
}

// What a label lies on: other labels, discs, the map's texts, the picture's edge.
std::vector<std::string> Faults(const std::vector<LabelRequest>& requests,
                                const std::vector<LabelPlace>& places, std::span<const PixelBox> mapTexts,
                                std::size_t i) {
    std::vector<std::string> faults;
    const PixelBox box = LabelBox(places[i], requests[i].Size);
    if (box.Left < 0 || box.Top < 0 || box.Right > kWidth || box.Bottom > kHeight) faults.push_back("off");
    for (std::size_t j = 0; j < places.size(); ++j) {
        if (Overlap(box, DiscBox(requests[j].Aircraft))) faults.push_back("disc " + std::to_string(j));
        if (j != i && Overlap(box, LabelBox(places[j], requests[j].Size)))
            faults.push_back("label " + std::to_string(j));
    }
    for (const PixelBox& text : mapTexts) {
        if (Overlap(box, text)) faults.push_back("map text at " + std::to_string(text.Left));
    }
    return faults;
}

void ExpectClear(const std::vector<LabelRequest>& requests, const std::vector<LabelPlace>& places,
                 std::span<const PixelBox> mapTexts = {}) {
    ASSERT_EQ(places.size(), requests.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        for (const std::string& fault : Faults(requests, places, mapTexts, i))
            ADD_FAILURE() << i << " on " << fault;
    }
}

bool AtDefaultPlace(const LabelRequest& request, const LabelPlace& place) {
    return !place.Leader && place.TopLeft == LabelPlaces::DefaultPlace(request.Aircraft, request.Size);
}

// Only a label left at its default place lies on anything: a disc, a map
// text, the picture's edge, or another label (of two overlapping labels, one
// at least). Gives how many lie on something.
int ExpectOnlyDefaultsOverlap(const std::vector<LabelRequest>& requests,
                              const std::vector<LabelPlace>& places,
                              std::span<const PixelBox> mapTexts = {}) {
    int lying = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const bool atDefault = AtDefaultPlace(requests[i], places[i]);
        const std::vector<std::string> faults = Faults(requests, places, mapTexts, i);
        if (!faults.empty()) ++lying;
        for (const std::string& fault : faults) {
            if (fault.starts_with("label ")) {
                const std::size_t j = std::stoul(fault.substr(6));
                EXPECT_TRUE(atDefault || AtDefaultPlace(requests[j], places[j])) << i << " on " << fault;
            } else {
                EXPECT_TRUE(atDefault) << i << " on " << fault;
            }
        }
    }
    return lying;
}

// Each leader ends on its label's edge, at most the bound from its aircraft.
void ExpectShortLeaders(const std::vector<LabelRequest>& requests, const std::vector<LabelPlace>& places) {
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (!places[i].Leader) continue;
        const ScreenPoint p = requests[i].Aircraft;
        const ScreenPoint end = places[i].LeaderEnd;
        EXPECT_LE(std::hypot(end.X - p.X, end.Y - p.Y), LabelPlaces::kMaxLeaderPx) << i;
        const PixelBox box = LabelBox(places[i], requests[i].Size);
        EXPECT_TRUE(end.X >= box.Left - 1 && end.X <= box.Right && end.Y >= box.Top && end.Y < box.Bottom)
            << i << " ends at " << end.X << "," << end.Y;
    }
}

int Side(ScreenPoint a, ScreenPoint b, ScreenPoint c) {
    const long long cross =
        static_cast<long long>(b.X - a.X) * (c.Y - a.Y) - static_cast<long long>(b.Y - a.Y) * (c.X - a.X);
    return (cross > 0) - (cross < 0);
}

int CrossingLeaders(const std::vector<LabelRequest>& requests, const std::vector<LabelPlace>& places) {
    int crossings = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        for (std::size_t j = i + 1; j < places.size(); ++j) {
            if (!places[i].Leader || !places[j].Leader) continue;
            const ScreenPoint a0 = requests[i].Aircraft;
            const ScreenPoint a1 = places[i].LeaderEnd;
            const ScreenPoint b0 = requests[j].Aircraft;
            const ScreenPoint b1 = places[j].LeaderEnd;
            if (Side(a0, a1, b0) * Side(a0, a1, b1) < 0 && Side(b0, b1, a0) * Side(b0, b1, a1) < 0)
                ++crossings;
        }
    }
    return crossings;
}

TEST(LabelPlaces, SparseTrafficKeepsEveryLabelBesideItsAircraftAndInsideThePicture) {
    std::mt19937 random(3);
    std::vector<ScreenPoint> aircraft = Scattered(random, 40, {0, 0, kWidth, kHeight});
    // Against the picture's edges.
    aircraft.push_back({2, 2});
    aircraft.push_back({kWidth - 3, kHeight - 3});
    const std::vector<LabelRequest> requests = Requests(aircraft);
    LabelPlaces places;
    const std::vector<LabelPlace> placed = places.Place(requests, kWidth, kHeight);
    ExpectClear(requests, placed);
    for (const LabelPlace& place : placed) EXPECT_FALSE(place.Leader);
}

TEST(LabelPlaces, TheMapsTextsAreKeptClearOfWhileAPlaceIsFree) {
    // An aircraft on the airport's point, where the name hangs from: the
    // label's default place is on the name.
    const ScreenPoint p{600, 450};
    const std::vector<LabelRequest> one = Requests({p}, kBlock);
    const std::vector<PixelBox> name{{600, 450, 733, 464}};
    LabelPlaces places;
    std::vector<LabelPlace> placed = places.Place(one, kWidth, kHeight, name);
    ExpectClear(one, placed, name);
    EXPECT_FALSE(placed[0].Leader) << "another place beside it is free";

    // Texts all round it, runway numbers and names: the label steps out to
    // the first room within the bound.
    const std::vector<PixelBox> around{{p.X - 120, p.Y - 30, p.X - 6, p.Y + 30},
                                       {p.X + 6, p.Y - 30, p.X + 120, p.Y + 30},
                                       {p.X - 6, p.Y - 30, p.X + 6, p.Y - 6},
                                       {p.X - 6, p.Y + 6, p.X + 6, p.Y + 30}};
    placed = LabelPlaces().Place(one, kWidth, kHeight, around);
    ExpectClear(one, placed, around);
    EXPECT_TRUE(placed[0].Leader);
    ExpectShortLeaders(one, placed);

    // No room within the bound: it stays beside its aircraft, over the text,
    // rather than going far away.
    const std::vector<PixelBox> wall{{p.X - 200, p.Y - 200, p.X + 200, p.Y + 200}};
    placed = LabelPlaces().Place(one, kWidth, kHeight, wall);
    EXPECT_TRUE(AtDefaultPlace(one[0], placed[0]));

    // Traffic over a map full of texts: a label lies on one only where it had
    // no room, and then at its default place.
    std::mt19937 random(17);
    const std::vector<PixelBox> texts = MapTexts(random, 150);
    const std::vector<LabelRequest> requests =
        Requests(Scattered(random, 80, {0, 0, kWidth, kHeight}), kBlock);
    placed = LabelPlaces().Place(requests, kWidth, kHeight, texts);
    EXPECT_LE(ExpectOnlyDefaultsOverlap(requests, placed, texts), 2) << "of 80";
    ExpectShortLeaders(requests, placed);
}

TEST(LabelPlaces, ACrowdStillGetsPlacedWithShortLeaders) {
    // Arrivals in trail on a final every 14 px, under the runway's numbers
    // and the airport's name, with a few in the circuit beside it.
    std::vector<ScreenPoint> aircraft;
    for (int i = 0; i < 14; ++i) aircraft.push_back({600 + i, 250 + 14 * i});
    for (int i = 0; i < 6; ++i) aircraft.push_back({680 + 8 * (i % 2), 300 + 40 * i});
    const std::vector<PixelBox> texts{{600, 450, 621, 464}, {604, 440, 737, 454}};
    const std::vector<LabelRequest> requests = Requests(aircraft, kBlock);
    LabelPlaces places;
    const std::vector<LabelPlace> placed = places.Place(requests, kWidth, kHeight, texts);
    ExpectClear(requests, placed, texts);
    ExpectShortLeaders(requests, placed);

    // Thirty aircraft in 300 x 240 px, data blocks covering two thirds of it:
    // all but a few find room.
    std::mt19937 random(5);
    const std::vector<LabelRequest> square = Requests(Scattered(random, 30, {450, 330, 750, 570}), kBlock);
    const std::vector<LabelPlace> squarePlaced = LabelPlaces().Place(square, kWidth, kHeight);
    EXPECT_LE(ExpectOnlyDefaultsOverlap(square, squarePlaced), 3);
    ExpectShortLeaders(square, squarePlaced);
}

TEST(LabelPlaces, ACrowdBeyondTheRoomWithinTheBoundLeavesTheRestAtTheirDefaultPlace) {
    // The first view of a session: twenty aircraft within a pixel or two.
    std::vector<ScreenPoint> aircraft;
    for (int i = 0; i < 20; ++i) aircraft.push_back({600 + i % 2, 450 + i % 3});
    const std::vector<LabelRequest> requests = Requests(aircraft);
    LabelPlaces places;
    const std::vector<LabelPlace> placed = places.Place(requests, kWidth, kHeight);
    ExpectShortLeaders(requests, placed);
    // The discs of a crowd on one point lie under the labels touching them.
    int apart = 0;
    int leaders = 0;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        leaders += placed[i].Leader ? 1 : 0;
        if (AtDefaultPlace(requests[i], placed[i])) continue;
        ++apart;
        for (std::size_t j = 0; j < placed.size(); ++j) {
            if (j == i || AtDefaultPlace(requests[j], placed[j])) continue;
            EXPECT_FALSE(Overlap(LabelBox(placed[i], kLabel), LabelBox(placed[j], kLabel))) << i << ", " << j;
        }
    }
    EXPECT_GE(apart, 8);
    EXPECT_GE(leaders, 4);
}

TEST(LabelPlaces, LeadersSeldomCrossEvenInThickCrowds) {
    // Short leaders, each running out from its own aircraft, rarely meet; a
    // label takes a place whose leader crosses another only when it has no
    // other free place. (Leaders reaching out to columns beside a crowd cross
    // about every other one.)
    std::mt19937 random(23);
    int leaders = 0;
    int crossings = 0;
    for (const int size : {60, 100, 150, 200, 300}) {
        for (int scene = 0; scene < 10; ++scene) {
            const std::vector<LabelRequest> requests =
                Requests(Scattered(random, size / 5, {450, 300, 450 + size, 300 + size}), kBlock);
            const std::vector<LabelPlace> placed = LabelPlaces().Place(requests, kWidth, kHeight);
            ExpectShortLeaders(requests, placed);
            crossings += CrossingLeaders(requests, placed);
            for (const LabelPlace& place : placed) leaders += place.Leader ? 1 : 0;
        }
    }
    EXPECT_GE(leaders, 300) << "crowded enough to need leaders";
    EXPECT_LE(crossings * 100, 10 * leaders) << crossings << " crossings of " << leaders << " leaders";
}

TEST(LabelPlaces, PlacesHoldFromOneRedrawToTheNext) {
    std::mt19937 random(29);
    const std::vector<PixelBox> texts = MapTexts(random, 60);
    std::vector<ScreenPoint> aircraft = Scattered(random, 120, {200, 150, 1000, 750});
    std::vector<LabelRequest> requests = Requests(aircraft, kBlock);
    LabelPlaces places;
    const std::vector<LabelPlace> first = places.Place(requests, kWidth, kHeight, texts);
    const std::vector<LabelPlace> again = places.Place(requests, kWidth, kHeight, texts);
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].TopLeft, first[i].TopLeft) << i;
        EXPECT_EQ(again[i].Leader, first[i].Leader) << i;
    }
    // A second later every aircraft has moved a pixel: nearly every label
    // moves with its aircraft instead of jumping to another side.
    for (LabelRequest& request : requests) ++request.Aircraft.X;
    const std::vector<LabelPlace> moved = places.Place(requests, kWidth, kHeight, texts);
    int kept = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (moved[i].TopLeft.X == first[i].TopLeft.X + 1 && moved[i].TopLeft.Y == first[i].TopLeft.Y) ++kept;
    }
    EXPECT_GE(kept, 108) << "of 120";
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

    // A crowd surrounds A: its label moves off on a leader; when the crowd
    // leaves it comes back beside A.
    std::vector<ScreenPoint> crowd{{300, 300}};
    for (int i = 1; i <= 7; ++i) crowd.push_back({300 + (i % 2), 300 + (i % 3)});
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
    const std::vector<LabelPlace> second = pointed.Place(requests, kWidth, kHeight, {}, 1);
    EXPECT_EQ(second[1].TopLeft, plain[0].TopLeft) << "the pointer's aircraft gets the first place";
    EXPECT_NE(second[0].TopLeft, plain[0].TopLeft);
}

}  // namespace
}  // namespace tarnwick
