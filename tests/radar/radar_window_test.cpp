#include "radar/radar_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QWheelEvent>

#include "app/preferences_window.h"
#include "app/qt_window_flow.h"
#include "multiplayer/service_providers.h"
#include "radar/airport_layers.h"
#include "scope_fixture.h"
#include "support/recording_message_boxes.h"

namespace tarnwick {
namespace {

template <typename T = QWidget>
T* Find(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
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
    QString Level(RadarWindow& window) { return Find<QLabel>(&window, "Label7")->text(); }

    ProgramState state;
    tarnwick::testing::RecordingMessageBoxes boxes;
    // Never created: the scope runs without session objects.
    PlayObjects play{[] { return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes({})); }};
};

TEST_F(RadarWindowTest, LoadsCentredOnTheAreaAtLevelNine) {
    RadarWindow window(state.Area, state.Display, *state.Declination, state.Session, play, boxes);
    window.Load();
    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), "Tarnwick v2.0 - Seattle Tacoma Intl  (KSEA)");
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Find<QPushButton>(&window, "Command5")->text(), "+");
    EXPECT_EQ(Find<QPushButton>(&window, "Command2")->text(), "C");
    EXPECT_EQ(Find<QPushButton>(&window, "Command6")->text(), "-");
    EXPECT_EQ(Find<QPushButton>(&window, "Command3")->text(), "> Disconnect");
    EXPECT_TRUE(Find<QPushButton>(&window, "Command3")->isEnabled());
    EXPECT_EQ(Find<QLabel>(&window, "Label6")->text(), "Zoom:");
    EXPECT_EQ(Level(window), "x9");
    auto* timer2 = window.findChild<QTimer*>("Timer2");
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
    ASSERT_NE(window.menuBar()->findChild<QAction*>("preferences_op1"), nullptr);

    // The periodic redraw paints the airport's red dot.
    window.RedrawNow();
    const ScreenPoint dot = ProjectToScreen(window.View(), 47.449, -122.309);
    EXPECT_EQ(window.Picture1()->Image().pixelColor(dot.X, dot.Y), QColor(255, 0, 0));
}

TEST_F(RadarWindowTest, WithoutASessionTheScopeStaysEmptyAndInactive) {
    state.Session.SessionConnected = false;
    RadarWindow window(state.Area, state.Display, *state.Declination, state.Session, play, boxes);
    window.Load();
    EXPECT_EQ(window.windowTitle(), "Tarnwick v2.0 ");
    EXPECT_EQ(Level(window), "0x");
    EXPECT_FALSE(window.findChild<QTimer*>("Timer2")->isActive());
    Click(window, "Command5");
    EXPECT_EQ(Level(window), "0x");
    EXPECT_FALSE(window.findChild<QTimer*>("Timer1")->isActive());
}

TEST_F(RadarWindowTest, ChoiceHandOverOpensTheConnectionWindowBeforeSessionsExist) {
    state.Session.SessionConnected = false;
    WindowFlow flow(state, boxes, "");
    flow.AreaChosen();
    EXPECT_EQ(TopLevel("Form1"), nullptr);
    EXPECT_NE(TopLevel("Form2"), nullptr);
}

TEST_F(RadarWindowTest, ZoomButtonsAndTheWheelStepTheSameWay) {
    RadarWindow window(state.Area, state.Display, *state.Declination, state.Session, play, boxes);
    window.Load();
    const GeoBounds start = window.View().ViewBounds;
    Click(window, "Command5");
    EXPECT_EQ(Level(window), "x10");
    Click(window, "Command6");
    EXPECT_EQ(Level(window), "x9");
    EXPECT_NEAR(window.View().ViewBounds.West, start.West, 1e-9);

    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.Picture1(), &event);
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
    for (int i = 0; i < 60; ++i) Click(window, "Command5");
    EXPECT_EQ(Level(window), "x55");
    window.Picture1()->Image().setPixelColor(3, 3, Qt::white);
    Click(window, "Command5");
    EXPECT_EQ(Level(window), "x55");
    EXPECT_EQ(window.Picture1()->Image().pixelColor(3, 3), QColor(Qt::black));
    EXPECT_TRUE(window.findChild<QTimer*>("Timer2")->isActive());
}

TEST_F(RadarWindowTest, CentreButtonReturnsToTheArea) {
    RadarWindow window(state.Area, state.Display, *state.Declination, state.Session, play, boxes);
    window.Load();
    const GeoBounds start = window.View().ViewBounds;
    window.Center_Airport(10, 20);
    EXPECT_NEAR((window.View().ViewBounds.North + window.View().ViewBounds.South) / 2, 20, 1e-9);
    Click(window, "Command2");
    EXPECT_NEAR(window.View().ViewBounds.West, start.West, 1e-9);
    EXPECT_NEAR(window.View().ViewBounds.North, start.North, 1e-9);
}

TEST_F(RadarWindowTest, ResizingKeepsTheRectangleAndMeasuresThePicture) {
    RadarWindow window(state.Area, state.Display, *state.Declination, state.Session, play, boxes);
    window.Load();
    window.show();
    window.resize(1000, 700);
    QApplication::processEvents();
    const GeoBounds before = window.View().ViewBounds;
    window.resize(600, 500);
    QApplication::processEvents();
    EXPECT_EQ(window.View().ViewBounds, before);
    EXPECT_EQ(window.View().PictureWidthPx, window.Picture1()->width());
    EXPECT_EQ(window.View().PictureHeightPx, window.Picture1()->height());
    EXPECT_EQ(window.Picture1()->width(), 600);
    EXPECT_EQ(window.Picture1()->Image().size(), window.Picture1()->size());
}

TEST_F(RadarWindowTest, PreferencesFreezeTheScopeUntilTheyClose) {
    WindowFlow flow(state, boxes, "");
    flow.ShowRadar();
    auto* radar = static_cast<RadarWindow*>(TopLevel("Form1"));
    ASSERT_NE(radar, nullptr);
    radar->menuBar()->findChild<QAction*>("preferences_op1")->trigger();
    QWidget* preferences = TopLevel("Form10");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->windowTitle(), "Preferences");
    EXPECT_FALSE(radar->isEnabled());
    EXPECT_FALSE(radar->findChild<QTimer*>("Timer2")->isActive());
    EXPECT_FALSE(radar->findChild<QTimer*>("Timer4")->isActive());
    EXPECT_FALSE(radar->Picture1()->isEnabled());

    struct Box {
        const char* name;
        const char* caption;
        bool DisplayOptions::*field;
    };
    const Box boxesInOrder[] = {
        {"Check1", "Display Airspaces", &DisplayOptions::DisplayAirspaces},
        {"Check2", "Display ILS", &DisplayOptions::DisplayIls},
        {"Check3", "Display High Altitudes ARTCC/FIR Airspaces", &DisplayOptions::DisplayHighArtcc},
        {"Check4", "Display Low Altitudes ARTCC/FIR Airspaces", &DisplayOptions::DisplayLowArtcc},
        {"Check8", "Display Taxiways", &DisplayOptions::DisplayTaxiways},
        {"Check9", "Display Taxiways IDs", &DisplayOptions::DisplayTaxiwayIds},
        {"Check10", "Display Gates/Parkings", &DisplayOptions::DisplayParkings},
        {"Check11", "Display Airport Name", &DisplayOptions::DisplayAirportName},
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

    Find<QPushButton>(preferences, "Command1")->click();
    QApplication::processEvents();
    EXPECT_EQ(TopLevel("Form10"), nullptr);
    EXPECT_TRUE(radar->isEnabled());
    EXPECT_TRUE(radar->findChild<QTimer*>("Timer2")->isActive());
    EXPECT_TRUE(radar->findChild<QTimer*>("Timer4")->isActive());
    EXPECT_TRUE(radar->Picture1()->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(radar, "Command5")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(radar, "Command3")->isEnabled());

    // Closed by its title bar, without a session, it gives the scope back too.
    state.Session.SessionConnected = false;
    flow.ShowPreferences();
    ASSERT_NE(TopLevel("Form10"), nullptr);
    EXPECT_FALSE(radar->isEnabled());
    TopLevel("Form10")->close();
    QApplication::processEvents();
    EXPECT_TRUE(radar->isEnabled());
    EXPECT_TRUE(radar->findChild<QTimer*>("Timer2")->isActive());
}

TEST_F(RadarWindowTest, ClosingTheScopeClosesThePreferencesItIsLockedFor) {
    WindowFlow flow(state, boxes, "");
    RadarWindow* radar = flow.ShowRadar();
    radar->menuBar()->findChild<QAction*>("preferences_op1")->trigger();
    ASSERT_NE(TopLevel("Form10"), nullptr);
    radar->close();
    EXPECT_EQ(TopLevel("Form10"), nullptr) << "no preferences window left behind the closed scope";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(flow.Preferences(), nullptr);
    EXPECT_EQ(flow.Radar(), nullptr);
}

}  // namespace
}  // namespace tarnwick
