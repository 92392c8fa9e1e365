#include "radar/radar_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSettings>
#include <QWheelEvent>
#include <filesystem>

#include "app/preferences_window.h"
#include "app/qt_window_flow.h"
#include "base/program_name.h"
#include "multiplayer/chat_window.h"
#include "multiplayer/connection_window.h"
#include "multiplayer/service_providers.h"
#include "radar/about_window.h"
#include "radar/aids/radar_aids_window.h"
#include "radar/aids/traffic_list_window.h"
#include "radar/airport_layers.h"
#include "radar/airports_list_window.h"
#include "radar/qt_view_store.h"
#include "scope_fixture.h"
#include "selection/choice_window.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

template <typename T = QWidget>
T* Find(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void ExpectNearBounds(const GeoBounds& actual, const GeoBounds& expected) {
    EXPECT_NEAR(actual.West, expected.West, 1e-9);
    EXPECT_NEAR(actual.North, expected.North, 1e-9);
    EXPECT_NEAR(actual.East, expected.East, 1e-9);
    EXPECT_NEAR(actual.South, expected.South, 1e-9);
}

QWidget* TopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible()) return widget;
    }
    return nullptr;
}

class RadarWindowTest : public ::testing::Test {
   protected:
    RadarWindowTest() {
        AirportRecord airport;
        airport.Name = "Seattle Tacoma Intl";
        airport.Lat = 47.449;
        airport.Lon = -122.309;
        testing::AddAirport(state, airport);
        state.Area.AreaTitle = "Seattle Tacoma Intl  (KSEA)";
        state.Area.AreaKind = "Airport";
        state.Area.AreaCenterLat = airport.Lat;
        state.Area.AreaCenterLon = airport.Lon;
        state.Display.DisplayLowArtcc = true;
        state.Session.SessionConnected = true;
    }
    ~RadarWindowTest() override {
        for (QWidget* widget : QApplication::topLevelWidgets()) widget->close();
        QApplication::processEvents();
    }
    void Click(RadarWindow& window, const char* name) { Find<QPushButton>(&window, name)->click(); }
    QString Level(RadarWindow& window) { return Find<QLabel>(&window, kZoomLevelLabelName)->text(); }

    ProgramState state;
    tarnwick::testing::RecordingMessageBoxes boxes;
    // Never created: the scope runs without session objects.
    PlayObjects play{[] { return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes({})); }};
};

TEST_F(RadarWindowTest, LoadsCentredOnTheAreaAtLevelNine) {
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    window.Load();
    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), QString(kProgramName) + " - Seattle Tacoma Intl  (KSEA)");
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Find<QPushButton>(&window, kZoomInButtonName)->text(), "+");
    EXPECT_EQ(Find<QPushButton>(&window, kCentreButtonName)->text(), "C");
    EXPECT_EQ(Find<QPushButton>(&window, kZoomOutButtonName)->text(), "-");
    EXPECT_EQ(Find<QPushButton>(&window, kDisconnectButtonName)->text(), "> Disconnect");
    EXPECT_TRUE(Find<QPushButton>(&window, kDisconnectButtonName)->isEnabled());
    EXPECT_EQ(Find<QLabel>(&window, kZoomCaptionLabelName)->text(), "Zoom:");
    EXPECT_EQ(Level(window), "x9");
    auto* timer2 = window.findChild<QTimer*>(kRedrawTimerName);
    ASSERT_NE(timer2, nullptr);
    EXPECT_EQ(timer2->interval(), 1000);
    EXPECT_TRUE(timer2->isActive());
    EXPECT_EQ(window.View().ZoomLevel, 9);
    EXPECT_NEAR((window.View().ViewBounds.West + window.View().ViewBounds.East) / 2, -122.309, 1e-9);
    // The load turns six switches on and leaves the ARTCC pair to the gathering.
    EXPECT_TRUE(state.Display.DisplayAirspaces && state.Display.DisplayIls && state.Display.DisplayTaxiways &&
                state.Display.DisplayTaxiwayIds && state.Display.DisplayParkings &&
                state.Display.DisplayAirportName);
    EXPECT_FALSE(state.Display.DisplayHighArtcc);
    EXPECT_TRUE(state.Display.DisplayLowArtcc);
    ASSERT_NE(window.menuBar()->findChild<QAction*>(kPreferencesActionName), nullptr);

    // The periodic redraw paints the airport's red dot.
    window.RedrawNow();
    const ScreenPoint dot = ProjectToScreen(window.View(), 47.449, -122.309);
    EXPECT_EQ(window.Scope()->Image().pixelColor(dot.X, dot.Y), QColor(255, 0, 0));
}

TEST_F(RadarWindowTest, WithoutASessionTheScopeStaysEmptyAndInactive) {
    state.Session.SessionConnected = false;
    WindowFlow flow(state, play, boxes, "");
    RadarWindow& window = *flow.ShowRadar();
    EXPECT_EQ(window.windowTitle(), QString(kProgramName) + " ");
    EXPECT_EQ(Level(window), "0x");
    EXPECT_FALSE(window.findChild<QTimer*>(kRedrawTimerName)->isActive());
    Click(window, kZoomInButtonName);
    EXPECT_EQ(Level(window), "0x");
    EXPECT_FALSE(flow.findChild<QTimer*>(kReceiveTimerName)->isActive());
}

TEST_F(RadarWindowTest, ChoiceHandOverOpensTheConnectionWindowBeforeSessionsExist) {
    state.Session.SessionConnected = false;
    WindowFlow flow(state, boxes, "");
    flow.AreaChosen();
    EXPECT_EQ(TopLevel(kRadarWindowName), nullptr);
    EXPECT_NE(TopLevel(kConnectionWindowName), nullptr);
}

TEST_F(RadarWindowTest, ZoomButtonsAndTheWheelStepTheSameWay) {
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    window.Load();
    const GeoBounds start = window.View().ViewBounds;
    Click(window, kZoomInButtonName);
    EXPECT_EQ(Level(window), "x10");
    Click(window, kZoomOutButtonName);
    EXPECT_EQ(Level(window), "x9");
    EXPECT_NEAR(window.View().ViewBounds.West, start.West, 1e-9);

    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.Scope(), &event);
    };
    wheel(240);
    EXPECT_EQ(Level(window), "x11");
    wheel(-120);
    EXPECT_EQ(Level(window), "x10");
    wheel(60);  // half a notch waits for the other half
    EXPECT_EQ(Level(window), "x10");
    wheel(60);
    EXPECT_EQ(Level(window), "x11");

    // At the limit the level stays, but the picture is still cleared and redrawn.
    for (int i = 0; i < 60; ++i) Click(window, kZoomInButtonName);
    EXPECT_EQ(Level(window), "x55");
    window.Scope()->Image().setPixelColor(3, 3, Qt::white);
    Click(window, kZoomInButtonName);
    EXPECT_EQ(Level(window), "x55");
    EXPECT_EQ(window.Scope()->Image().pixelColor(3, 3), QColor(Qt::black));
    EXPECT_TRUE(window.findChild<QTimer*>(kRedrawTimerName)->isActive());
}

TEST_F(RadarWindowTest, CentreButtonReturnsToTheArea) {
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    window.Load();
    const GeoBounds start = window.View().ViewBounds;
    window.CenterOn(10, 20);
    EXPECT_NEAR((window.View().ViewBounds.North + window.View().ViewBounds.South) / 2, 20, 1e-9);
    Click(window, kCentreButtonName);
    EXPECT_NEAR(window.View().ViewBounds.West, start.West, 1e-9);
    EXPECT_NEAR(window.View().ViewBounds.North, start.North, 1e-9);
}

TEST_F(RadarWindowTest, ResizingKeepsTheRectangleAndMeasuresThePicture) {
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    window.Load();
    window.show();
    window.resize(1000, 700);
    QApplication::processEvents();
    const GeoBounds before = window.View().ViewBounds;
    window.resize(600, 500);
    QApplication::processEvents();
    EXPECT_EQ(window.View().ViewBounds, before);
    EXPECT_EQ(window.View().PictureWidthPx, window.Scope()->width());
    EXPECT_EQ(window.View().PictureHeightPx, window.Scope()->height());
    EXPECT_EQ(window.Scope()->width(), 600);
    EXPECT_EQ(window.Scope()->Image().size(), window.Scope()->size());
}

TEST_F(RadarWindowTest, PreferencesFreezeTheScopeUntilTheyClose) {
    WindowFlow flow(state, boxes, "");
    flow.ShowRadar();
    auto* radar = static_cast<RadarWindow*>(TopLevel(kRadarWindowName));
    ASSERT_NE(radar, nullptr);
    radar->menuBar()->findChild<QAction*>(kPreferencesActionName)->trigger();
    QWidget* preferences = TopLevel(kPreferencesWindowName);
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->windowTitle(), "Preferences");
    EXPECT_FALSE(radar->isEnabled());
    EXPECT_FALSE(radar->findChild<QTimer*>(kRedrawTimerName)->isActive());
    EXPECT_FALSE(radar->findChild<QTimer*>(kHoverTimerName)->isActive());
    EXPECT_FALSE(radar->Scope()->isEnabled());

    struct Box {
        const char* name;
        const char* caption;
        bool DisplayOptions::*field;
    };
    const Box boxesInOrder[] = {
        {kDisplayAirspacesCheckName, "Display Airspaces", &DisplayOptions::DisplayAirspaces},
        {kDisplayIlsCheckName, "Display ILS", &DisplayOptions::DisplayIls},
        {kDisplayHighArtccCheckName, "Display High Altitudes ARTCC/FIR Airspaces",
         &DisplayOptions::DisplayHighArtcc},
        {kDisplayLowArtccCheckName, "Display Low Altitudes ARTCC/FIR Airspaces",
         &DisplayOptions::DisplayLowArtcc},
        {kDisplayTaxiwaysCheckName, "Display Taxiways", &DisplayOptions::DisplayTaxiways},
        {kDisplayTaxiwayIdsCheckName, "Display Taxiways IDs", &DisplayOptions::DisplayTaxiwayIds},
        {kDisplayParkingsCheckName, "Display Gates/Parkings", &DisplayOptions::DisplayParkings},
        {kDisplayAirportNameCheckName, "Display Airport Name", &DisplayOptions::DisplayAirportName},
    };
    for (const Box& box : boxesInOrder) {
        auto* check = Find<QCheckBox>(preferences, box.name);
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->text(), box.caption);
        EXPECT_EQ(check->isChecked(), state.Display.*box.field) << box.name;
        check->click();
        EXPECT_EQ(check->isChecked(), state.Display.*box.field) << box.name;
    }
    EXPECT_FALSE(state.Display.DisplayAirspaces);
    EXPECT_TRUE(state.Display.DisplayHighArtcc);

    Find<QPushButton>(preferences, kPreferencesOkButtonName)->click();
    QApplication::processEvents();
    EXPECT_EQ(TopLevel(kPreferencesWindowName), nullptr);
    EXPECT_TRUE(radar->isEnabled());
    EXPECT_TRUE(radar->findChild<QTimer*>(kRedrawTimerName)->isActive());
    EXPECT_TRUE(radar->findChild<QTimer*>(kHoverTimerName)->isActive());
    EXPECT_TRUE(radar->Scope()->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(radar, kZoomInButtonName)->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(radar, kDisconnectButtonName)->isEnabled());

    // Closed by its title bar, without a session, it gives the scope back too.
    state.Session.SessionConnected = false;
    flow.ShowPreferences();
    ASSERT_NE(TopLevel(kPreferencesWindowName), nullptr);
    EXPECT_FALSE(radar->isEnabled());
    TopLevel(kPreferencesWindowName)->close();
    QApplication::processEvents();
    EXPECT_TRUE(radar->isEnabled());
    EXPECT_TRUE(radar->findChild<QTimer*>(kRedrawTimerName)->isActive());
}

TEST_F(RadarWindowTest, ClosingTheScopeClosesThePreferencesItIsLockedFor) {
    WindowFlow flow(state, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    radar->menuBar()->findChild<QAction*>(kPreferencesActionName)->trigger();
    ASSERT_NE(TopLevel(kPreferencesWindowName), nullptr);
    radar->close();
    EXPECT_EQ(TopLevel(kPreferencesWindowName), nullptr)
        << "no preferences window left behind the closed scope";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(flow.Preferences(), nullptr);
    EXPECT_EQ(flow.Radar(), nullptr);
}

// What a lock may touch, and what it must give back.
struct ScopeState {
    bool WindowEnabled, PictureEnabled, Timer1, Timer2, Timer3, Timer4;
    std::vector<bool> ButtonsEnabled;
    QString Title, Level;
    GeoBounds Bounds;
    bool operator==(const ScopeState&) const = default;
};

// The session's timers are the window flow's.
ScopeState StateOf(const WindowFlow& flow, RadarWindow& radar) {
    const auto active = [&](const char* name) { return radar.findChild<QTimer*>(name)->isActive(); };
    const auto sessionActive = [&](const char* name) { return flow.findChild<QTimer*>(name)->isActive(); };
    ScopeState state{radar.isEnabled(),
                     radar.Scope()->isEnabled(),
                     sessionActive(kReceiveTimerName),
                     active(kRedrawTimerName),
                     sessionActive(kUpkeepTimerName),
                     active(kHoverTimerName),
                     {},
                     radar.windowTitle(),
                     radar.findChild<QLabel*>(kZoomLevelLabelName)->text(),
                     radar.View().ViewBounds};
    for (const char* name : {kCentreButtonName, kDisconnectButtonName, kZoomInButtonName, kZoomOutButtonName,
                             kShowAllTrafficButtonName})
        state.ButtonsEnabled.push_back(radar.findChild<QPushButton*>(name)->isEnabled());
    return state;
}

class EndCountingFlow : public WindowFlow {
   public:
    using WindowFlow::WindowFlow;
    void EndProgram() override { ++ends; }
    int ends = 0;
};

void Trigger(RadarWindow& radar, const char* item) {
    QAction* action = radar.menuBar()->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

TEST_F(RadarWindowTest, EveryWindowTheMenusOpenLocksTheScopeAndGivesItBackAsItWas) {
    EndCountingFlow flow(state, play, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    Click(*radar, kZoomInButtonName);
    const ScopeState before = StateOf(flow, *radar);
    ASSERT_TRUE(before.Timer2 && before.Timer4 && before.WindowEnabled);

    const auto expectLocked = [&](const char* window) {
        ASSERT_NE(TopLevel(window), nullptr) << window;
        const ScopeState locked = StateOf(flow, *radar);
        EXPECT_FALSE(locked.WindowEnabled || locked.PictureEnabled || locked.Timer2 || locked.Timer4)
            << window;
        EXPECT_EQ(locked.ButtonsEnabled, std::vector<bool>(5, false)) << window;
        // The session keeps being served while the scope is locked.
        EXPECT_TRUE(locked.Timer1 && locked.Timer3) << window;
    };
    const auto closeAndCompare = [&](const char* window) {
        TopLevel(window)->close();
        QApplication::processEvents();
        EXPECT_EQ(TopLevel(window), nullptr) << window;
        EXPECT_TRUE(StateOf(flow, *radar) == before) << window;
    };

    Trigger(*radar, kPreferencesActionName);
    expectLocked(kPreferencesWindowName);
    closeAndCompare(kPreferencesWindowName);

    Trigger(*radar, kAirportsListActionName);
    expectLocked(kAirportsListWindowName);
    closeAndCompare(kAirportsListWindowName);

    Trigger(*radar, kAboutActionName);
    expectLocked(kAboutWindowName);
    EXPECT_EQ(TopLevel(kAboutWindowName)->windowTitle(), QString("About ") + kProgramName);
    Find<QPushButton>(TopLevel(kAboutWindowName), kAboutOkButtonName)->click();
    QApplication::processEvents();
    EXPECT_EQ(TopLevel(kAboutWindowName), nullptr);
    EXPECT_TRUE(StateOf(flow, *radar) == before);

    Trigger(*radar, kLoadAllAreasActionName);
    expectLocked(kChoiceWindowName);
    closeAndCompare(kChoiceWindowName);

    boxes.answers = {MessageAnswer::Cancel};
    Trigger(*radar, kNewDatabasesActionName);
    EXPECT_TRUE(StateOf(flow, *radar) == before);
    EXPECT_EQ(flow.ends, 0);

    // The chat window needs no lock.
    Trigger(*radar, kChatWindowActionName);
    EXPECT_NE(TopLevel(kChatWindowName), nullptr);
    EXPECT_TRUE(StateOf(flow, *radar) == before);
    EXPECT_EQ(flow.ends, 0);
}

TEST_F(RadarWindowTest, ANewAreaChosenFromTheMenuRecentresTheScopeInTheSameSession) {
    EndCountingFlow flow(state, play, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    Trigger(*radar, kLoadAllAreasActionName);
    state.Area.AreaTitle = "Boeing Field King Co Intl  (KBFI)";
    state.Area.AreaCenterLat = 47.53;
    state.Area.AreaCenterLon = -122.30;
    flow.AreaChosen();
    EXPECT_TRUE(radar->isEnabled());
    EXPECT_TRUE(radar->findChild<QTimer*>(kRedrawTimerName)->isActive());
    EXPECT_EQ(radar->windowTitle(), QString(kProgramName) + " - Boeing Field King Co Intl  (KBFI)");
    EXPECT_NEAR((radar->View().ViewBounds.North + radar->View().ViewBounds.South) / 2, 47.53, 1e-9);
    EXPECT_TRUE(state.Session.SessionConnected);
    EXPECT_EQ(Level(*radar), "x9");
}

TEST_F(RadarWindowTest, CreatingNewDatabaseFilesDeletesThemLeavesTheSessionAndEnds) {
    testing::TempFolder work;
    state.Settings.WorkFolder = work.String();
    for (const char* name : {"atc_settings.tcs", "world_airports.dat", "world_airspaces.dat", "keep.txt"})
        work.Write(name, std::string("x"));
    EndCountingFlow flow(state, play, boxes, "");
    RadarWindow* radar = flow.ShowRadar();

    boxes.answers = {MessageAnswer::Cancel};
    Trigger(*radar, kNewDatabasesActionName);
    EXPECT_TRUE(std::filesystem::exists(work.Path() / "world_airports.dat"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Buttons, MessageButtons::OkCancel);

    // One file already gone: the others go all the same, and the program ends.
    std::filesystem::remove(work.Path() / "world_airspaces.dat");
    Trigger(*radar, kNewDatabasesActionName);
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "atc_settings.tcs"));
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "world_airports.dat"));
    EXPECT_TRUE(std::filesystem::exists(work.Path() / "keep.txt"));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].Icon, MessageIcon::Information);
    EXPECT_EQ(flow.ends, 1);
    EXPECT_FALSE(state.Session.SessionConnected);
    EXPECT_FALSE(flow.findChild<QTimer*>(kReceiveTimerName)->isActive());
    // No connection window comes up for a program that is ending.
    EXPECT_EQ(TopLevel(kConnectionWindowName), nullptr);
}

TEST_F(RadarWindowTest, AnAirportCentredFromTheListGetsTheScopeBack) {
    AirportRecord other;
    other.Name = "Renton Muni";
    other.IcaoId = "KRNT";
    other.Lat = 47.49;
    other.Lon = -122.21;
    testing::AddAirport(state, other);
    EndCountingFlow flow(state, play, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    Trigger(*radar, kAirportsListActionName);
    QWidget* list = TopLevel(kAirportsListWindowName);
    ASSERT_NE(list, nullptr);
    Find<QListWidget>(list, kAreaAirportsListName)->setCurrentRow(1);
    Find<QPushButton>(list, kCenterScreenButtonName)->click();
    QApplication::processEvents();
    EXPECT_EQ(TopLevel(kAirportsListWindowName), nullptr);
    EXPECT_TRUE(radar->isEnabled());
    EXPECT_TRUE(radar->findChild<QTimer*>(kRedrawTimerName)->isActive());
    EXPECT_NEAR((radar->View().ViewBounds.West + radar->View().ViewBounds.East) / 2, -122.21, 1e-9);
}

TEST_F(RadarWindowTest, ClosingTheScopeClosesTheWindowsItLeftLiveToo) {
    EndCountingFlow flow(state, play, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    Trigger(*radar, kRadarAidsActionName);
    Trigger(*radar, kTrafficListActionName);
    ASSERT_NE(TopLevel(kRadarAidsWindowName), nullptr);
    ASSERT_NE(TopLevel(kTrafficListWindowName), nullptr);
    radar->close();
    EXPECT_EQ(TopLevel(kRadarAidsWindowName), nullptr) << "the aids of a scope that is gone";
    EXPECT_EQ(TopLevel(kTrafficListWindowName), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(flow.AidsWindow(), nullptr);
    EXPECT_EQ(flow.TrafficListShown(), nullptr);
    EXPECT_EQ(flow.ends, 0) << "the connection window takes over";
}

TEST_F(RadarWindowTest, PageKeysAndCtrlWheelMoveFiveLevelsAtATime) {
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    window.Load();
    const GeoBounds start = window.View().ViewBounds;
    QAction* in = window.menuBar()->findChild<QAction*>(kZoomInFastActionName);
    QAction* out = window.menuBar()->findChild<QAction*>(kZoomOutFastActionName);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->shortcut(), QKeySequence(Qt::Key_PageUp));
    EXPECT_EQ(out->shortcut(), QKeySequence(Qt::Key_PageDown));
    in->trigger();
    EXPECT_EQ(Level(window), "x14");
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.Scope(), &event);
    };
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(Level(window), "x19");
    wheel(-240, Qt::ControlModifier);
    EXPECT_EQ(Level(window), "x9");
    ExpectNearBounds(window.View().ViewBounds, start);
    out->trigger();
    EXPECT_EQ(Level(window), "x4");
    out->trigger();
    EXPECT_EQ(Level(window), "x1") << "stops at the widest level";
    // Twenty-one clicks of "+" from level 9 to 30 are four keys and a click.
    for (int i = 0; i < 6; ++i) in->trigger();
    EXPECT_EQ(Level(window), "x31");
}

TEST_F(RadarWindowTest, ShowAllTrafficHoldsEveryShownAircraftAndLeavesAnEmptyScopeAsItIs) {
    state.Session.OwnPlayerId = 1;
    state.Session.OwnName = "Tower";
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    window.Load();
    QPushButton* button = Find<QPushButton>(&window, kShowAllTrafficButtonName);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(8, 176, 25, 20)) << "under the zoom level, in the buttons' column";
    const RadarView before = window.View();
    button->click();
    EXPECT_EQ(window.View().ViewBounds, before.ViewBounds) << "no traffic: the view stays";

    const auto add = [&](const char* name, std::int32_t id, double lat, double lon) {
        ASSERT_TRUE(state.Session.Traffic.Append(name, id, kKindPlayer));
        PlayerRecord& entry =
            state.Session.Traffic[static_cast<std::int16_t>(state.Session.Traffic.PlayerCount() - 1)];
        entry.Latitude = lat;
        entry.Longitude = lon;
        entry.Altitude = 3000;
    };
    add("Tower", 1, 0, 0);
    add("N1", 2, 47.60, -122.40);
    add("N2", 3, 47.30, -122.10);
    add("N3", 4, 47.45, -122.50);
    button->click();
    EXPECT_GT(window.View().ZoomLevel, 20);
    EXPECT_EQ(Level(window), QString("x%1").arg(window.View().ZoomLevel));
    for (const PlayerRecord& entry : state.Session.Traffic.Entries()) {
        if (entry.PlayerId == 1) continue;
        const ScreenPoint p = ProjectToScreen(window.View(), entry.Latitude, entry.Longitude);
        EXPECT_TRUE(p.X > 0 && p.X < window.View().PictureWidthPx && p.Y > 0 &&
                    p.Y < window.View().PictureHeightPx)
            << entry.Name;
    }
    QAction* key = window.menuBar()->findChild<QAction*>(kShowAllTrafficActionName);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->shortcut(), QKeySequence(Qt::Key_Home));
    window.Zoom(-10);
    key->trigger();
    EXPECT_GT(window.View().ZoomLevel, 20);
    window.Lock();
    window.Zoom(-10);
    key->trigger();
    EXPECT_GT(window.View().ZoomLevel, 20) << "a scope another window holds stays as it is";
    window.Unlock();
}

TEST_F(RadarWindowTest, EachAreaComesBackToTheViewItWasLeftAt) {
    const auto centre = [](const RadarWindow& window) {
        const GeoBounds& b = window.View().ViewBounds;
        return std::pair((b.North + b.South) / 2, (b.West + b.East) / 2);
    };
    const auto expectKept = [](const char* key, RememberedView expected) {
        const std::optional<RememberedView> kept = LoadRememberedView(key);
        ASSERT_TRUE(kept.has_value()) << key;
        EXPECT_EQ(kept->ZoomLevel, expected.ZoomLevel) << key;
        EXPECT_NEAR(kept->CenterLat, expected.CenterLat, 1e-9) << key;
        EXPECT_NEAR(kept->CenterLon, expected.CenterLon, 1e-9) << key;
    };
    auto* first =
        new RadarWindow(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    first->Load();
    first->Zoom(14);
    first->CenterOn(-122.25, 47.5);
    const GeoBounds left = first->View().ViewBounds;
    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QSettings settings("Tarnwick", "Tarnwick");
    EXPECT_TRUE(settings.value("RadarViews/Airport-KSEA").toString().startsWith("23 47.5"))
        << "kept in the user's configuration: "
        << settings.value("RadarViews/Airport-KSEA").toString().toStdString();

    state.Session.SessionConnected = true;
    EndCountingFlow flow(state, play, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    EXPECT_EQ(Level(*radar), "x23");
    ExpectNearBounds(radar->View().ViewBounds, left);

    // Another area, never seen: centred on it at the present level; then
    // back to the first, as it was left.
    const auto choose = [&](const char* title, double lat, double lon) {
        Trigger(*radar, kLoadAllAreasActionName);
        state.Area.AreaTitle = title;
        state.Area.AreaCenterLat = lat;
        state.Area.AreaCenterLon = lon;
        flow.AreaChosen();
    };
    choose("Boeing Field King Co Intl  (KBFI)", 47.53, -122.30);
    EXPECT_EQ(Level(*radar), "x23");
    EXPECT_NEAR(centre(*radar).first, 47.53, 1e-9);
    radar->Zoom(7);
    radar->RedrawNow();
    choose("Seattle Tacoma Intl  (KSEA)", 47.449, -122.309);
    EXPECT_EQ(Level(*radar), "x23");
    ExpectNearBounds(radar->View().ViewBounds, left);
    expectKept("Airport-KBFI", {30, 47.53, -122.30});

    // The same area chosen again: the centre, as before.
    Trigger(*radar, kLoadAllAreasActionName);
    flow.AreaChosen();
    EXPECT_NEAR(centre(*radar).first, 47.449, 1e-9);
    EXPECT_EQ(Level(*radar), "x23");

    // A value edited by hand into nonsense: the first view again.
    radar->close();
    settings.setValue("RadarViews/Airport-KSEA", "closer please");
    settings.sync();
    state.Session.SessionConnected = true;
    RadarWindow* again = flow.ShowRadar();
    EXPECT_EQ(Level(*again), "x9");
}

class ScopePointerTest : public RadarWindowTest {
   protected:
    ScopePointerTest() {
        window.Load();
        window.show();
        QApplication::processEvents();
    }
    void Mouse(QEvent::Type type, Qt::MouseButton button, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, window.Scope()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(window.Scope(), &event);
    }
    void MoveTo(QPointF at, Qt::MouseButtons held = Qt::NoButton) {
        Mouse(QEvent::MouseMove, Qt::NoButton, at, held);
    }
    QTimer* Timer(const char* name) { return window.findChild<QTimer*>(name); }
    QLabel* Box() { return window.findChild<QLabel*>(kHoverBoxName); }

    RadarWindow window{state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes};
};

TEST_F(ScopePointerTest, MeasuringStopsThePeriodicRedrawUntilTheButtonComesUp) {
    const QImage& image = window.Scope()->Image();
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, {200, 200}, Qt::LeftButton);
    EXPECT_FALSE(Timer(kRedrawTimerName)->isActive());
    EXPECT_TRUE(Timer(kHoverTimerName)->isActive());
    MoveTo({600, 400}, Qt::LeftButton);
    bool labelDrawn = false;
    for (int y = 0; y < image.height() && !labelDrawn; ++y) {
        for (int x = 0; x < image.width() && !labelDrawn; ++x)
            labelDrawn = image.pixelColor(x, y) == Qt::white;
    }
    EXPECT_TRUE(labelDrawn) << "the white distance and course label";
    // A view change while measuring leaves the periodic redraw off.
    Click(window, kZoomInButtonName);
    EXPECT_FALSE(Timer(kRedrawTimerName)->isActive());
    // The hover box stays away while measuring.
    window.HoverTick();
    EXPECT_TRUE(Box()->isHidden());

    // Another button while the left one is held does nothing.
    const GeoBounds bounds = window.View().ViewBounds;
    Mouse(QEvent::MouseButtonPress, Qt::RightButton, {10, 10}, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(window.View().ViewBounds, bounds);

    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {600, 400}, Qt::NoButton);
    EXPECT_TRUE(Timer(kRedrawTimerName)->isActive());
}

TEST_F(ScopePointerTest, TheLeftButtonComingUpEndsMeasuringWhileAnotherButtonIsHeld) {
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, {200, 200}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonPress, Qt::MiddleButton, {200, 200}, Qt::LeftButton | Qt::MiddleButton);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {300, 300}, Qt::MiddleButton);
    EXPECT_TRUE(Timer(kRedrawTimerName)->isActive()) << "the periodic redraw runs again";
    Mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, {300, 300}, Qt::NoButton);
    MoveTo({300, 300});
    EXPECT_TRUE(Timer(kRedrawTimerName)->isActive());
}

TEST_F(ScopePointerTest, TheHoverBoxShowsTheAircraftBesideThePointerAndTheRightButtonRecentres) {
    const double lat = state.Area.AreaCenterLat + 0.5;
    const double lon = state.Area.AreaCenterLon - 1.0;
    PlayerRecord& n123 = testing::AddPlayer(state, "N123", 7, lat, lon);
    n123.Heading = 90;
    n123.Altitude = 3500;
    n123.Category = "Jet Plane";
    const ScreenPoint at = ProjectToScreen(window.View(), lat, lon);
    const QPointF pointer(at.X + 4, at.Y + 5);  // 6.4 px away: a hit

    MoveTo(pointer);
    window.HoverTick();
    ASSERT_TRUE(Box()->isVisible());
    EXPECT_EQ(Box()->text(), "PLAYER: N123\nHEADING: 90\nALTITUDE: 3500 ft\nTYPE PLANE: Jet Plane");
    EXPECT_FALSE(Box()->geometry().contains(pointer.toPoint())) << "the box covers the pointer";
    EXPECT_TRUE(window.Scope()->rect().contains(Box()->geometry()));

    MoveTo(pointer + QPointF(1, 0));
    EXPECT_TRUE(Box()->isHidden());
    EXPECT_TRUE(Box()->text().isEmpty());

    // Near the picture's corner the box stays inside.
    const QPointF corner(window.Scope()->width() - 3, window.Scope()->height() - 3);
    n123.Latitude = PictureToGeo(window.View(), corner.x(), corner.y()).Lat;
    n123.Longitude = PictureToGeo(window.View(), corner.x(), corner.y()).Lon;
    MoveTo(corner);
    window.HoverTick();
    ASSERT_TRUE(Box()->isVisible());
    EXPECT_TRUE(window.Scope()->rect().contains(Box()->geometry()));
    EXPECT_FALSE(Box()->geometry().contains(corner.toPoint()));

    Mouse(QEvent::MouseButtonPress, Qt::RightButton, corner, Qt::RightButton);
    const GeoPosition clicked =
        PictureToGeo(window.View(), window.Scope()->width() / 2.0, window.Scope()->height() / 2.0);
    EXPECT_NEAR(clicked.Lat, n123.Latitude, 1e-9);
    EXPECT_NEAR(clicked.Lon, n123.Longitude, 1e-9);
    EXPECT_EQ(Level(window), "x9");
    EXPECT_TRUE(Timer(kRedrawTimerName)->isActive());
}

}  // namespace
}  // namespace tarnwick
