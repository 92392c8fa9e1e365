#include "radar/airports_list_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include "radar/area_airports.h"
#include "radar/radar_view.h"
#include "support/recording_message_boxes.h"

namespace tarnwick {
namespace {

using testing::Airport;
using testing::SetAreaAirports;

class AirportsListWindowTest : public ::testing::Test {
   protected:
    AirportsListWindowTest() {
        SetAreaAirports(
            area, {Airport("Twin Field", "KTWN", 47, -122, "118.3"), Airport("Other", "KOTH", 46, -121, ""),
                   Airport("Twin Field", "KTWN", 48, -123, "120.5")});
        window = new AirportsListWindow(area, boxes);
        window->show();
        connect();
    }
    ~AirportsListWindowTest() override {
        if (window) window->close();
        QApplication::processEvents();
    }
    void connect() {
        QObject::connect(window, &AirportsListWindow::Finished, [this] { ++finished; });
        QObject::connect(window, &AirportsListWindow::CenterRequested, [this](double lon, double lat) {
            centred.push_back({lat, lon});
        });
    }
    QListWidget* List() { return window->findChild<QListWidget*>(kAreaAirportsListName); }
    void Click(const char* name) { window->findChild<QPushButton*>(name)->click(); }

    ChosenArea area;
    testing::RecordingMessageBoxes boxes;
    QPointer<AirportsListWindow> window;
    int finished = 0;
    std::vector<GeoPosition> centred;
};

TEST_F(AirportsListWindowTest, DuplicateAirportsEachShowTheirFrequenciesAndTheFirstIsCentred) {
    ASSERT_EQ(List()->count(), 3);
    EXPECT_EQ(List()->item(2)->text(), "Twin Field  (KTWN)");

    // Nothing selected: neither command does anything.
    Click(kShowFrequenciesButtonName);
    Click(kCenterScreenButtonName);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(centred.empty());
    EXPECT_TRUE(window->isVisible());

    List()->setCurrentRow(2);
    Click(kShowFrequenciesButtonName);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[0].Text.find("Tower Frequency: 118.3"), std::string::npos);
    EXPECT_NE(boxes.shown[1].Text.find("Tower Frequency: 120.5"), std::string::npos);
    EXPECT_EQ(boxes.shown[1].Icon, MessageIcon::Information);

    Click(kCenterScreenButtonName);
    ASSERT_EQ(centred.size(), 1u);
    EXPECT_EQ(centred[0].Lat, 47);
    EXPECT_EQ(centred[0].Lon, -122);
    QApplication::processEvents();
    EXPECT_EQ(window, nullptr) << "closed after centring";
    EXPECT_EQ(finished, 1);
}

TEST_F(AirportsListWindowTest, RefreshShowsTheNewAreaAndTheCloseBoxGivesTheScopeBack) {
    List()->setCurrentRow(1);
    SetAreaAirports(area, {});
    Click(kRefreshAirportsButtonName);
    EXPECT_EQ(List()->count(), 0);
    Click(kShowFrequenciesButtonName);
    Click(kCenterScreenButtonName);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(centred.empty());

    SetAreaAirports(area, {Airport("New Field", "KNEW", 45, -120, "")});
    Click(kRefreshAirportsButtonName);
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->item(0)->text(), "New Field  (KNEW)");
    EXPECT_TRUE(List()->selectedItems().isEmpty());

    window->close();
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(centred.empty());
}

}  // namespace
}  // namespace tarnwick
