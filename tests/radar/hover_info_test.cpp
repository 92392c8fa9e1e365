#include "radar/hover_info.h"

#include <gtest/gtest.h>

#include "scope_fixture.h"

namespace tarnwick {
namespace {

using testing::AddAirport;
using testing::AddAirspace;
using testing::AddPlayer;
using testing::Append;

class HoverInfoTest : public ::testing::Test {
   protected:
    HoverInfoTest() {
        testing::AllSwitchesOn(state);
        state.Session.OwnPlayerId = 1;
    }
    // 10 pixels per 0.001 degree of longitude; (500, 400) is the centre.
    GeoPosition At(int x, int y) const { return PictureToGeo(view, x, y); }
    HoverInfo Find(int x = 500, int y = 400) {
        const HoverScene scene{
            view, state.Area, state.Display, {state.Session.Traffic, state.Session.OwnPlayerId, "ATC"}};
        return FindHoverInfo(scene, At(x, y));
    }
    AirportRecord& Airport() {
        if (state.Area.AreaAirportCount == 0) AddAirport(state, AirportRecord{});
        return state.Area.AreaAirports[0];
    }
    void AddRunwayEndAt(int x, int y) {
        RunwayEntry r{"16L", "34R", 0, 0, 0, 0, 0, 0, 430, 160, 340, 11900, 150};
        const GeoPosition end1 = At(x, y);
        r.End1Lat = end1.Lat;
        r.End1Lon = end1.Lon;
        Append(Airport().Runways, Airport().RunwayCount, r);
    }
    ProgramState state;
    RadarView view = testing::ViewAround(47, -122, 0.05, 0.05, 40);
};

TEST(HoverReach, SevenPixelsIsAHitEightIsNot) {
    const ScreenPoint p{100, 100};
    EXPECT_TRUE(WithinHoverReach(p, p));
    EXPECT_TRUE(WithinHoverReach({107, 100}, p));
    EXPECT_TRUE(WithinHoverReach({100, 93}, p));
    EXPECT_FALSE(WithinHoverReach({108, 100}, p));
    EXPECT_FALSE(WithinHoverReach({100, 92}, p));
    EXPECT_TRUE(WithinHoverReach({105, 105}, p));   // 7.07 rounds to 7
    EXPECT_TRUE(WithinHoverReach({93, 102}, p));    // 7.28
    EXPECT_FALSE(WithinHoverReach({106, 105}, p));  // 7.81
    EXPECT_FALSE(WithinHoverReach({93, 103}, p));   // 7.62
}

TEST_F(HoverInfoTest, RunwayEndWithinSevenPixelsOfThePointer) {
    AddRunwayEndAt(507, 400);
    EXPECT_EQ(Find().Text,
              "RUNWAY: 16L\r\nHEADING: 160\r\nALTITUDE: 430 ft\r\nLENGHT: 11900 ft\r\nWIDTH: 150 ft");
    EXPECT_EQ(Find(514, 400).Text.substr(0, 11), "RUNWAY: 16L");
    EXPECT_EQ(Find(499, 400).Text, "");
    EXPECT_EQ(Find(515, 400).Text, "");
    view.ZoomLevel = 34;  // the ground is hovered from level 35 on
    EXPECT_EQ(Find().Text, "");
}

TEST_F(HoverInfoTest, TheLastHitInTheFixedOrderWins) {
    const GeoPosition here = At(500, 400);
    AddPlayer(state, "N123", 5, here.Lat, here.Lon);
    EXPECT_EQ(Find().Text.substr(0, 13), "PLAYER: N123\r");
    Append(Airport().Parkings, Airport().ParkingCount, ParkingEntry{"gate \xE4 1", here.Lat, here.Lon, 60});
    EXPECT_EQ(Find().Text, "GATE \xC4 1\r\nRADIUS: 60 ft");
    AddRunwayEndAt(503, 403);
    EXPECT_EQ(Find().Text.substr(0, 11), "RUNWAY: 16L");
    Append(Airport().IlsList, Airport().IlsCount, IlsEntry{"ISEA", here.Lat, here.Lon, 340, "110.30"});
    EXPECT_EQ(Find().Text, "ILS: ISEA\r\nHEADING: 340\r\nFREQUENCY: 110.30 Mhz");
    state.Display.DisplayIls = false;
    state.Display.DisplayParkings = false;
    EXPECT_EQ(Find().Text.substr(0, 11), "RUNWAY: 16L");
    EXPECT_FALSE(Find().Airspace);
}

TEST_F(HoverInfoTest, AirspacesGiveTheHighlightEvenWithoutText) {
    view.ZoomLevel = 20;
    const GeoPosition here = At(500, 400);
    AirspaceRecord classC;
    classC.ClassText = "Airspace Class C";
    classC.CenterLat = here.Lat;
    classC.CenterLon = here.Lon;
    AddAirspace(state, classC);
    HoverInfo info = Find();
    EXPECT_EQ(info.Text, "");
    ASSERT_TRUE(info.Airspace);
    EXPECT_TRUE(info.Airspace->DesignatesAirspace());
    EXPECT_EQ(info.Airspace->Caption, "Current Selected Airspace");
    EXPECT_EQ(info.Airspace->ClassText, "Airspace Class C");
    EXPECT_EQ(info.Airspace->Lat, here.Lat);

    AirspaceRecord tracon = classC;
    tracon.ClassText = kTracon;
    tracon.FrequencyText = "119.2 Mhz";
    tracon.FromAltitude = 10000;
    tracon.ToAltitude = 0;
    AddAirspace(state, tracon);
    EXPECT_EQ(Find().Text,
              "AIRSPACE TYPE: TRACON (Departure/Approach)\r\nFREQUENCY: 119.2 Mhz\r\n"
              "FROM ALTITUDE: 0 ft\r\nTO ALTITUDE: 10000 ft");

    // A switched-off ARTCC/FIR is passed over; an aircraft takes the text
    // but the highlight stays with the last airspace hit.
    AirspaceRecord fir = classC;
    fir.ClassText = kArtccLow;
    fir.FullName = "SEATTLE";
    AddAirspace(state, fir);
    state.Display.DisplayLowArtcc = false;
    AddPlayer(state, "N9", 5, here.Lat, here.Lon);
    info = Find();
    EXPECT_EQ(info.Text.substr(0, 10), "PLAYER: N9");
    EXPECT_EQ(info.Airspace->ClassText, kTracon);
    state.Display.DisplayAirspaces = false;
    EXPECT_FALSE(Find().Airspace);
}

}  // namespace
}  // namespace tarnwick
