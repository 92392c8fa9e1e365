// The radar aids in the windows: the "Radar aids" window and the shortcuts
// on a live scope, the traffic list, and the conflict alert's list on the
// scope, over a scripted session whose pilots report their positions.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include "geo/local_offset.h"
#include "multiplayer/game/wire_values.h"
#include "multiplayer/session_windows_fixture.h"
#include "radar/aids/qt_conflict_panel.h"
#include "radar/aids/qt_radar_aids_store.h"
#include "radar/aids/radar_aids_window.h"
#include "radar/aids/scope_aids.h"
#include "radar/aids/traffic_list_window.h"
#include "radar/qt_painter_canvas.h"
#include "support/reported_flight.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;
using testing::FlightPath;

class AidsWindowsTest : public testing::SessionWindowsTest {
   protected:
    AidsWindowsTest() {
        EXPECT_TRUE(config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        flow->SetSessionClock([this] { return clock; });
        JoinScriptedSession();
    }

    // A pilot `east` and `north` nautical miles from the area's centre.
    void AddPilot(const std::string& name, double east, double north, double track, double speedKt,
                  double altitudeFt) {
        const geo::GeoPoint p =
            geo::MovedBy(state.Area.AreaCenterLat, state.Area.AreaCenterLon, {east, north});
        const std::int32_t id = hub.AddPlayer(name);
        hub.Send(id, state.Session.OwnPlayerId, Encode(MsgJoinAccept{id}));
        pilots.push_back(
            {id,
             {.Lat = p.Lat, .Lon = p.Lon, .AltitudeFt = altitudeFt, .TrackDeg = track, .SpeedKt = speedKt}});
    }
    // Every pilot reports each 100 ms receive tick, for `seconds` of the session.
    void Fly(double seconds) {
        for (int tick = 0; tick < static_cast<int>(seconds * 10) && Form1(); ++tick) {
            for (auto& [id, path] : pilots) {
                path = path.After(0.1);
                const PositionWords words{AttitudeWordForHeading(path.TrackDeg), LatitudeToWire(path.Lat),
                                          LongitudeToWire(path.Lon), AltitudeMetresFromFeet(path.AltitudeFt)};
                hub.Send(id, kAllPlayers, Encode(MsgPosition{words}));
            }
            clock += milliseconds(100);
            flow->ReceiveTick();
        }
    }
    QString ChatLog() { return Control<QPlainTextEdit>(Form6(), kChatLogName)->toPlainText(); }

    QTemporaryDir config;
    std::vector<std::pair<std::int32_t, FlightPath>> pilots;
};

TEST_F(AidsWindowsTest, ConflictsAreListedOnTheScopeNotInTheChatLogAndANewOneMaySound) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    auto* panel = radar->findChild<ConflictPanel*>(kConflictPanelName);
    ASSERT_NE(panel, nullptr);
    int sounds = 0;
    panel->Sound = [&] { ++sounds; };
    AddPilot("NORTH", 0, -4, 0, 200, 5000);
    AddPilot("SOUTH", 0, 4, 180, 200, 5000);
    Fly(8);
    EXPECT_TRUE(panel->isHidden()) << "the alert is off";
    state.Aids.Conflicts = true;
    Fly(1);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->text().contains("NORTH SOUTH")) << panel->text().toStdString();
    EXPECT_EQ(sounds, 0) << "silent unless asked for";
    // The panel keeps to the picture's top right corner.
    EXPECT_EQ(panel->geometry().right(), radar->Scope()->width() - 9);

    state.Aids.AlertSound = true;
    AddPilot("EAST", 20, 10, 270, 200, 9000);
    AddPilot("WEST", 12, 10, 90, 200, 9000);
    Fly(8);
    EXPECT_EQ(sounds, 1) << "once for the new pair";
    EXPECT_LT(panel->text().indexOf("EAST WEST"), panel->text().indexOf("NORTH SOUTH")) << "the newest first";
    Fly(30);
    EXPECT_EQ(sounds, 1);
    EXPECT_FALSE(ChatLog().contains("CONFLICT")) << ChatLog().toStdString();

    // Off from the aids window or a shortcut: the list goes at once.
    state.Aids.Conflicts = false;
    radar->ShowAidsChanged();
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(AidsWindowsTest, TheInhibitionsAndTheSoundAreSetInTheAidsWindowAndApplyAtOnce) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    // A runway landing north at the area's centre; two arrivals 2.5 nm apart in trail on its final.
    AirportRecord airport;
    airport.Lat = state.Area.AreaCenterLat;
    airport.Lon = state.Area.AreaCenterLon;
    RunwayEntry& runway = airport.Runways.Grow(0);
    runway.End1Lat = state.Area.AreaCenterLat - 0.01;
    runway.End1Lon = state.Area.AreaCenterLon;
    runway.End2Lat = state.Area.AreaCenterLat + 0.01;
    runway.End2Lon = state.Area.AreaCenterLon;
    airport.RunwayCount = 1;
    state.Area.AreaAirports = {airport, {}};
    state.Area.AreaAirportCount = 1;
    AddPilot("LEAD", 0, -6, 0, 140, 2500);
    AddPilot("TRAIL", 0, -8.5, 0, 140, 2900);
    state.Aids.Conflicts = true;
    Fly(8);
    auto* panel = radar->findChild<ConflictPanel*>(kConflictPanelName);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isHidden()) << "in trail on one final";

    radar->menuBar()->findChild<QAction*>(kRadarAidsActionName)->trigger();
    RadarAidsWindow* aidsWindow = flow->AidsWindow();
    ASSERT_NE(aidsWindow, nullptr);
    auto* finalCheck = Control<QCheckBox>(aidsWindow, AidCheckBoxName(&RadarAids::InhibitFinal));
    auto* circuitCheck = Control<QCheckBox>(aidsWindow, AidCheckBoxName(&RadarAids::InhibitCircuit));
    auto* soundCheck = Control<QCheckBox>(aidsWindow, AidCheckBoxName(&RadarAids::AlertSound));
    EXPECT_TRUE(finalCheck->isChecked() && circuitCheck->isChecked());
    EXPECT_FALSE(soundCheck->isChecked());
    finalCheck->setChecked(false);
    EXPECT_FALSE(state.Aids.InhibitFinal);
    EXPECT_TRUE(panel->isVisible()) << "the pair is listed without waiting for a tick";
    EXPECT_TRUE(panel->text().contains("LEAD TRAIL"));

    for (std::int32_t RadarAids::*field :
         {&RadarAids::FinalTrackDeg, &RadarAids::FinalDistanceNm, &RadarAids::FinalClosingKt,
          &RadarAids::CircuitRadiusNm, &RadarAids::CircuitHeightFt}) {
        const QString name = AidSpinBoxName(field);
        auto* spin = Control<QSpinBox>(aidsWindow, name);
        spin->setValue(spin->minimum() + 1);
        EXPECT_EQ(state.Aids.*field, spin->minimum() + 1) << name.toStdString();
    }
    circuitCheck->setChecked(false);
    soundCheck->setChecked(true);
    EXPECT_FALSE(state.Aids.InhibitCircuit);
    EXPECT_TRUE(state.Aids.AlertSound);
    EXPECT_EQ(LoadRadarAids(), state.Aids) << "kept in the user's configuration";

    // Set elsewhere, the window follows.
    state.Aids = RadarAids{};
    aidsWindow->ShowAids();
    EXPECT_TRUE(finalCheck->isChecked());
    EXPECT_EQ(Control<QSpinBox>(aidsWindow, AidSpinBoxName(&RadarAids::FinalClosingKt))->value(), 20);
}

TEST_F(AidsWindowsTest, HandEditedAlertValuesAreBroughtIntoRange) {
    {
        QSettings settings(QSettings::UserScope, "Tarnwick", "Tarnwick");
        settings.beginGroup("RadarAids");
        settings.setValue("final-track", 500);
        settings.setValue("circuit-height", -20);
        settings.setValue("final-closing", "fast");
        settings.setValue("inhibit-circuit", false);
        settings.setValue("alert-sound", true);
    }
    const RadarAids aids = LoadRadarAids();
    EXPECT_EQ(aids.FinalTrackDeg, 45);
    EXPECT_EQ(aids.CircuitHeightFt, 100);
    EXPECT_EQ(aids.FinalClosingKt, 20) << "not a number: the default";
    EXPECT_TRUE(aids.InhibitFinal) << "not given: the default";
    EXPECT_FALSE(aids.InhibitCircuit);
    EXPECT_TRUE(aids.AlertSound);
    RadarAids wild;
    wild.FinalDistanceNm = -4;
    wild.CircuitRadiusNm = 1000;
    EXPECT_EQ(Clamped(wild).FinalDistanceNm, 1);
    EXPECT_EQ(Clamped(wild).CircuitRadiusNm, 20);
}

TEST_F(AidsWindowsTest, TheAidsWindowAppliesAtOnceWithoutLockingAndIsKeptInTheUserConfiguration) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    QAction* menuItem = radar->menuBar()->findChild<QAction*>(kRadarAidsActionName);
    ASSERT_NE(menuItem, nullptr);
    menuItem->trigger();
    RadarAidsWindow* aidsWindow = flow->AidsWindow();
    ASSERT_NE(aidsWindow, nullptr);
    EXPECT_TRUE(aidsWindow->isVisible());
    EXPECT_TRUE(radar->isEnabled()) << "the scope stays live";
    EXPECT_TRUE(radar->findChild<QTimer*>(kRedrawTimerName)->isActive());

    const auto ringPixels = [&] {
        const QImage& image = radar->Scope()->Image();
        int count = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2)
                count += image.pixelColor(x, y) == ToQColor(kRangeRingGrey);
        }
        return count;
    };
    radar->RedrawNow();
    EXPECT_EQ(ringPixels(), 0);
    Control<QCheckBox>(aidsWindow, AidCheckBoxName(&RadarAids::Rings))->setChecked(true);
    EXPECT_TRUE(state.Aids.Rings);
    EXPECT_GT(ringPixels(), 0) << "redrawn at once";
    Control<QSpinBox>(aidsWindow, AidSpinBoxName(&RadarAids::HistoryDots))->setValue(8);
    EXPECT_EQ(LoadRadarAids(), state.Aids) << "kept in the user's configuration";
    EXPECT_EQ(LoadRadarAids().HistoryDots, 8);

    // A shortcut toggles an aid; the window's box follows.
    QAction* history = radar->menuBar()->findChild<QAction*>(kHistoryAidActionName);
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->shortcut(), QKeySequence("Ctrl+H"));
    history->trigger();
    EXPECT_TRUE(state.Aids.History);
    EXPECT_TRUE(Control<QCheckBox>(aidsWindow, AidCheckBoxName(&RadarAids::History))->isChecked());
    EXPECT_TRUE(LoadRadarAids().History);
    for (const char* name : {kVectorsAidActionName, kLabelsAidActionName})
        EXPECT_FALSE(radar->menuBar()->findChild<QAction*>(name)->shortcut().isEmpty()) << name;
}

TEST_F(AidsWindowsTest, TheTrafficListSortsLiveAndADoubleClickCentresTheScope) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    AddPilot("HIGH", 10, 0, 90, 300, 24000);
    AddPilot("LOW", -5, 5, 180, 120, 2500);
    Fly(7);
    radar->menuBar()->findChild<QAction*>(kTrafficListActionName)->trigger();
    TrafficListWindow* list = flow->TrafficListShown();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(radar->isEnabled());
    QTableWidget* table = list->Table();
    const auto names = [&] {
        QStringList shown;
        for (int row = 0; row < table->rowCount(); ++row) shown << table->item(row, 0)->text();
        return shown;
    };
    EXPECT_EQ(names(), (QStringList{"HIGH", "LOW"})) << "by name, the program's own left out";
    table->sortByColumn(2, Qt::AscendingOrder);
    EXPECT_EQ(names(), (QStringList{"LOW", "HIGH"})) << "by altitude, as numbers (2500 before 24000)";
    EXPECT_NEAR(table->item(1, 3)->text().toDouble(), 300, 10);
    const FlightPath& high = pilots[0].second;
    EXPECT_EQ(table->item(1, 5)->text().toInt(),
              geo::DistanceNm(state.Area.AreaCenterLat, state.Area.AreaCenterLon, high.Lat, high.Lon))
        << "distance from the centre";

    Fly(2);
    list->Refresh();
    EXPECT_EQ(names(), (QStringList{"LOW", "HIGH"})) << "the sort stays";
    emit table->cellDoubleClicked(0, 0);
    const GeoBounds& view = radar->View().ViewBounds;
    EXPECT_NEAR((view.North + view.South) / 2, pilots[1].second.Lat, 1e-4);
    EXPECT_NEAR((view.West + view.East) / 2, pilots[1].second.Lon, 1e-4);
}

TEST_F(AidsWindowsTest, TheTrafficListOpensWideEnoughAndSaysWhyItCannotCentreOnHiddenTraffic) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    AddPilot("SPEEDBIRD1234", 10, 0, 90, 300, 24000);
    AddPilot("LOW", -5, 5, 180, 120, 2500);
    Fly(32);  // the upkeep pass asks for the aircraft
    radar->menuBar()->findChild<QAction*>(kTrafficListActionName)->trigger();
    TrafficListWindow* list = flow->TrafficListShown();
    ASSERT_NE(list, nullptr);
    QApplication::processEvents();
    QTableWidget* table = list->Table();
    const auto allColumnsShown = [&] {
        const QHeaderView* header = table->horizontalHeader();
        const int last = table->columnCount() - 1;
        return header->sectionViewportPosition(last) + header->sectionSize(last) <=
               table->viewport()->width();
    };
    // As wide as the columns need, or at most as wide as the screen.
    const int screenWidth = list->screen()->availableGeometry().width();
    EXPECT_GT(list->width(), 720);
    EXPECT_TRUE(allColumnsShown() || list->width() == screenWidth)
        << "header " << table->horizontalHeader()->length() << ", window " << list->width();

    // The altitude filter hides the high one: its row is grey, and a
    // double-click says why instead of centring on empty space.
    state.Aids.AltitudeFilter = true;
    list->Refresh();
    const int high = table->findItems("SPEEDBIRD1234", Qt::MatchExactly).value(0)->row();
    const int low = table->findItems("LOW", Qt::MatchExactly).value(0)->row();
    EXPECT_NE(table->item(high, 2)->foreground(), table->item(low, 2)->foreground());
    const GeoBounds before = radar->View().ViewBounds;
    emit table->cellDoubleClicked(high, 0);
    EXPECT_EQ(radar->View().ViewBounds, before) << "the scope stays";
    auto* note = Control<QLabel>(list, kTrafficNoteLabelName);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(),
              "SPEEDBIRD1234 is at " + table->item(high, 2)->text() +
                  " ft, outside the altitude filter (0 to 18000 ft): the scope does not show it.");
    emit table->cellDoubleClicked(low, 0);
    EXPECT_FALSE(note->isVisible());
    EXPECT_NEAR((radar->View().ViewBounds.North + radar->View().ViewBounds.South) / 2, pilots[1].second.Lat,
                1e-4);

    // While another window holds the scope, the list says so.
    radar->menuBar()->findChild<QAction*>(kPreferencesActionName)->trigger();
    emit table->cellDoubleClicked(low, 0);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().startsWith("The scope is held by another window")) << note->text().toStdString();

    // Once the user sizes the window, it stays as sized.
    list->resize(300, 200);
    list->Refresh();
    EXPECT_EQ(list->width(), 300);
}

}  // namespace
}  // namespace tarnwick
