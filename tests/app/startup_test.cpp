#include "app/startup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include "app/qt_window_flow.h"
#include "app/setup_window.h"
#include "app/splash_window.h"
#include "selection/choice_window.h"
#include "state/work_folder.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

void WriteAllThree(const TempFolder& folder) {
    SettingsRecord settings;
    settings.ProgramTitle = kSettingsFileTitle;
    settings.SetupDone = 1;
    settings.FsVersion = 1;
    settings.FsFolder = "/fs";
    settings.AirportCount = 5;
    WriteSettingsFile(folder.Path() / kSettingsFileName, settings);
    folder.Write("world_airports.dat", "a");
    folder.Write("world_airspaces.dat", "b");
}

TEST(WorkFolder, DropsOneTrailingSeparator) {
    EXPECT_EQ(WorkFolderFrom("C:\\"), "C:");
    EXPECT_EQ(WorkFolderFrom("/home/atc/"), "/home/atc");
    EXPECT_EQ(WorkFolderFrom("/"), "");
    EXPECT_EQ(WorkFile(WorkFolderFrom("/"), "atc_settings.tcs"), "/atc_settings.tcs");
    EXPECT_EQ(WorkFile("/home/atc", "world_airports.dat"), "/home/atc/world_airports.dat");
}

TEST(StartupDecision, AllThreeFilesGiveANormalStart) {
    TempFolder folder;
    WriteAllThree(folder);
    ProgramState state;
    const StartupOutcome outcome = StartupDecision(state.Settings, folder.String() + "/");
    EXPECT_EQ(outcome.Path, StartupPath::NormalStart);
    EXPECT_FALSE(state.Settings.RebuildPending);
    EXPECT_EQ(state.Settings.WorkFolder, folder.String());
    EXPECT_EQ(state.Settings.FsFolder, "/fs");
    EXPECT_EQ(state.Settings.AirportCount, 5);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "world_airports.dat"));
}

TEST(StartupDecision, OneMissingFileDiscardsTheOthers) {
    TempFolder folder;
    WriteAllThree(folder);
    std::filesystem::remove(folder.Path() / "world_airspaces.dat");
    folder.Write("unrelated.txt", "kept");
    ProgramState state;
    EXPECT_EQ(StartupDecision(state.Settings, folder.String()).Path, StartupPath::FirstRun);
    EXPECT_TRUE(state.Settings.RebuildPending);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / kSettingsFileName));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "world_airports.dat"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "unrelated.txt"));
}

TEST(StartupDecision, FilesCopiedFromWindowsAreFoundWhateverTheirCase) {
    TempFolder folder;
    WriteAllThree(folder);
    std::filesystem::rename(folder.Path() / "world_airports.dat", folder.Path() / "WORLD_AIRPORTS.DAT");
    ProgramState state;
    EXPECT_EQ(StartupDecision(state.Settings, folder.String()).Path, StartupPath::NormalStart);
}

TEST(StartupDecision, EmptyFolderDeletesNothing) {
    TempFolder folder;
    ProgramState state;
    EXPECT_EQ(StartupDecision(state.Settings, folder.String()).Path, StartupPath::FirstRun);
    EXPECT_TRUE(state.Settings.RebuildPending);
}

TEST(StartupDecision, ADamagedSettingsFileTakesTheRoadOfAMissingOneAndIsNamed) {
    SettingsRecord record;
    record.ProgramTitle = kSettingsFileTitle;
    record.SetupDone = 1;
    record.FsVersion = 1;
    record.FsFolder = "/fs";
    std::vector<std::uint8_t> truncated = EncodeSettings(record);
    truncated.resize(25);
    const std::vector<std::uint8_t> noise = {0x31, 0x00, 0x9C, 0x44, 0xE7, 0x18, 0xA0, 0x02, 0x5B, 0xC3};
    for (const std::vector<std::uint8_t>& damaged : {truncated, noise}) {
        TempFolder folder;
        WriteAllThree(folder);
        folder.Write(kSettingsFileName, damaged);
        ProgramState state;
        const StartupOutcome outcome = StartupDecision(state.Settings, folder.String());
        EXPECT_EQ(outcome.Path, StartupPath::FirstRun);
        EXPECT_TRUE(state.Settings.RebuildPending);
        EXPECT_NE(outcome.SettingsProblem.find((folder.Path() / kSettingsFileName).string()),
                  std::string::npos)
            << outcome.SettingsProblem;
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    }
}

// Runs the splash window until it has handed over, with its 3 s timer fired at once.
QStringList WindowsAfterSplash(const TempFolder& folder) {
    ProgramState state;
    state.Session.SessionConnected = true;
    testing::RecordingMessageBoxes boxes;
    WindowFlow flow(state, boxes, folder.String());
    auto* splash = flow.ShowSplash();
    EXPECT_FALSE(state.Session.SessionConnected) << "the splash window clears the session flags";
    EXPECT_EQ(splash->DecisionTimer()->interval(), 3000);
    EXPECT_TRUE(splash->DecisionTimer()->isActive());
    splash->show();
    QMetaObject::invokeMethod(splash->DecisionTimer(), "timeout", Qt::DirectConnection);
    QApplication::processEvents();
    QStringList shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) shown << widget->objectName() + ":" + widget->windowTitle();
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) widget->close();
    QApplication::processEvents();
    return shown;
}

TEST(SplashWindow, LeadsToSetupOnAFirstRun) {
    TempFolder folder;
    const QStringList shown = WindowsAfterSplash(folder);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QString(kSetupWindowName) + ":")) << shown[0].toStdString();
}

TEST(SplashWindow, ADamagedSettingsFileIsNamedBeforeSetupOpens) {
    TempFolder folder;
    WriteAllThree(folder);
    folder.Write(kSettingsFileName, std::string(25, '\x07'));
    ProgramState state;
    testing::RecordingMessageBoxes boxes;
    WindowFlow flow(state, boxes, folder.String());
    auto* splash = flow.ShowSplash();
    QMetaObject::invokeMethod(splash->DecisionTimer(), "timeout", Qt::DirectConnection);
    QApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Warning);
    EXPECT_NE(boxes.shown[0].Text.find(kSettingsFileName), std::string::npos) << boxes.shown[0].Text;
    bool setupShown = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        setupShown = setupShown || (widget->objectName() == kSetupWindowName && widget->isVisible());
    }
    EXPECT_TRUE(setupShown);
    for (QWidget* widget : QApplication::topLevelWidgets()) widget->close();
    QApplication::processEvents();
}

TEST(SplashWindow, LeadsToTheChoiceOnANormalStart) {
    TempFolder folder;
    WriteAllThree(folder);
    const QStringList shown = WindowsAfterSplash(folder);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QString(kChoiceWindowName) + ":")) << shown[0].toStdString();
}

}  // namespace
}  // namespace tarnwick
