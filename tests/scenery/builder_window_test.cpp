#include "scenery/builder_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "base/program_name.h"
#include "scenery/database_file.h"
#include "selection/choice_window.h"
#include "state/program_state.h"
#include "state/settings.h"
#include "state/work_folder.h"
#include "support/fs_folder_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::AirportFileBytes;
using testing::RecordingMessageBoxes;
using testing::TempFolder;
using testing::WriteFile;

class BuilderWindowTest : public ::testing::Test {
   protected:
    BuilderWindowTest() {
        testing::WriteFsFolder(Root(),
                               "[Area.1]\r\nTitle=World \xC9t\xE9\r\nLocal=Scenery\\World\r\n"
                               "[Area.2]\r\nTitle=Missing\r\nLocal=Nowhere\r\n"
                               "[Area.3]\r\nTitle=Addon\r\nLocal=Addon\r\n");
        WriteFile(Root(), "Scenery/World/Scenery/AP1.BGL", AirportFileBytes({{"One", "k001", 47, -122}}));
        WriteFile(Root(), "Scenery/World/Scenery/ap2.bgl",
                  AirportFileBytes({{"Two", "k002", 48, -122}, {"Three", "k003", 49, -122}}));
        WriteFile(Root(), "Scenery/World/Scenery/terrain.bgl", testing::NonSceneryBytes());
        WriteFile(Root(), "Addon/Scenery/x.bgl", AirportFileBytes({{"Four", "k004", 50, -122}}));
        PrepareState(state, work);
    }
    ~BuilderWindowTest() override {
        QList<QPointer<QWidget>> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == kBuilderWindowName || widget->objectName() == kChoiceWindowName)
                windows << widget;
        }
        for (const QPointer<QWidget>& widget : windows) delete widget.data();
    }

    fs::path Root() const { return fsFolder.Path() / "FS2002"; }

    // The state a finished setup leaves behind.
    void PrepareState(ProgramState& target, const TempFolder& folder) const {
        target.Settings.WorkFolder = folder.String();
        target.Settings.RebuildPending = true;
        target.Settings.FsVersion = 1;
        target.Settings.FsFolder = Root().string();
        target.Settings.Record.ProgramTitle = kSettingsFileTitle;
        target.Settings.Record.SetupDone = 1;
        target.Settings.Record.FsVersion = 1;
        target.Settings.Record.FsFolder = target.Settings.FsFolder;
    }

    void Open() {
        window = new BuilderWindow(state.Settings, *state.Declination, boxes);
        QObject::connect(window, &BuilderWindow::BuildDone, [this] { ++buildsDone; });
        QObject::connect(window, &BuilderWindow::BuildFailed, [this] { ++buildsFailed; });
        window->show();
        QObject::connect(Find<QLineEdit>(kBuildStatusEditName), &QLineEdit::textChanged,
                         [this](const QString& text) { statuses << text; });
    }
    void Tick(const char* timer) {
        QMetaObject::invokeMethod(Find<QTimer>(timer), "timeout", Qt::DirectConnection);
    }

    template <typename T>
    T* Find(const char* name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TempFolder fsFolder, work;
    ProgramState state;
    RecordingMessageBoxes boxes;
    int buildsDone = 0;
    int buildsFailed = 0;
    QPointer<BuilderWindow> window;
    QStringList statuses;
};

TEST_F(BuilderWindowTest, PreparesThenScansOnTheButtonAndHandsOverToTheChoice) {
    Open();
    EXPECT_EQ(window->objectName(), "Form4");
    EXPECT_EQ(window->windowTitle(), "Creating Database");
    EXPECT_EQ(Find<QLineEdit>(kBuildStatusEditName)->text(), "-None-");
    EXPECT_EQ(Find<QLabel>(kScanningLabelName)->text(), "Scanning:");
    auto* command2 = Find<QPushButton>(kCreateDatabasesButtonName);
    EXPECT_EQ(command2->text(), "CREATE ATC DATABASE FILES");
    EXPECT_FALSE(command2->isEnabled());
    EXPECT_NE(Find<QComboBox>(kBuilderDriveListName), nullptr);
    auto* prepare = Find<QTimer>(kReadSceneriesPathsTimerName);
    auto* scan = Find<QTimer>(kReadAllAirportsTimerName);
    EXPECT_TRUE(prepare->isActive());
    EXPECT_EQ(prepare->interval(), 1000);
    EXPECT_FALSE(scan->isActive());
    EXPECT_EQ(scan->interval(), 5);

    Tick(kReadSceneriesPathsTimerName);
    EXPECT_EQ(statuses, (QStringList{"Magdec.bgl File", "Scenery.cfg File", "Done"}));
    EXPECT_FALSE(prepare->isActive());
    EXPECT_EQ(prepare->interval(), 0);
    EXPECT_TRUE(command2->isEnabled());
    auto* bar = Find<QProgressBar>(kBuildProgressBarName);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 5);  // four listed files, plus one
    EXPECT_EQ(bar->value(), 0);

    command2->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text,
              "Now the create database file process will begin, this can take a few minutes, please wait");
    EXPECT_TRUE(scan->isActive());
    statuses.clear();

    for (int guard = 0; window->isVisible() && guard < 100; ++guard) {
        Tick(kReadAllAirportsTimerName);
        EXPECT_LE(bar->value(), bar->maximum());
    }
    ASSERT_FALSE(window->isVisible()) << "the build does not end";
    EXPECT_EQ(statuses, (QStringList{"World \u00C9t\u00E9", "Addon", "Creating airports database",
                                     "Creating airspaces database", "Updating Settings", "Done"}));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].Text, "The creation process, of the database files, was completed!");
    EXPECT_EQ(ReadSettingsFile(WorkFile(state.Settings.WorkFolder, kSettingsFileName)).Record.AirportCount,
              4);
    EXPECT_EQ(boxes.shown[1].Title, kProgramName);
    EXPECT_EQ(boxes.shown[1].Icon, MessageIcon::Information);
    EXPECT_EQ(buildsDone, 1);
    EXPECT_EQ(buildsFailed, 0);
    EXPECT_FALSE(state.Settings.RebuildPending);
    EXPECT_EQ(state.Settings.AirportCount, 4);
}

TEST_F(BuilderWindowTest, TheAreasToBeSkippedAreNamedOnceTheConfigurationIsRead) {
    Open();
    auto* log = Find<QPlainTextEdit>(kSkippedAreasLogName);
    EXPECT_FALSE(log->isVisible());
    Tick(kReadSceneriesPathsTimerName);
    EXPECT_TRUE(log->isVisible());
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->toPlainText(),
              "1 of 3 scenery areas skipped (no folder):\n\"Missing\" (Nowhere): no such folder");
}

TEST_F(BuilderWindowTest, WithEveryAreaFoundThereIsNoLog) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nTitle=World\r\nLocal=Scenery\\World\r\n");
    Open();
    Tick(kReadSceneriesPathsTimerName);
    EXPECT_FALSE(Find<QPlainTextEdit>(kSkippedAreasLogName)->isVisible());
}

// Notes the status line's text each time it is painted.
class PaintedTexts : public QObject {
   public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) texts << static_cast<QLineEdit*>(watched)->text();
        return false;
    }
    QStringList texts;
};

TEST_F(BuilderWindowTest, EachStatusIsPaintedWhenTheBuildReachesIt) {
    Open();
    QApplication::processEvents();  // shown and painted once
    PaintedTexts painted;
    Find<QLineEdit>(kBuildStatusEditName)->installEventFilter(&painted);
    // No event loop runs between the steps of a tick: only an immediate
    // repaint shows a status.
    Tick(kReadSceneriesPathsTimerName);
    Find<QPushButton>(kCreateDatabasesButtonName)->click();
    for (int guard = 0; window->isVisible() && guard < 100; ++guard) Tick(kReadAllAirportsTimerName);
    for (const char* status : {"Magdec.bgl File", "Scenery.cfg File", "Creating airports database",
                               "Creating airspaces database", "Updating Settings"}) {
        EXPECT_TRUE(painted.texts.contains(status))
            << status << " not in " << painted.texts.join(", ").toStdString();
    }
}

TEST_F(BuilderWindowTest, AMissingDeclinationFileEndsTheProgramWithoutDatabases) {
    fs::remove(Root() / "Scenery" / "magdec.bgl");
    Open();
    Tick(kReadSceneriesPathsTimerName);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Warning);
    EXPECT_NE(boxes.shown[0].Text.find("magdec.bgl"), std::string::npos) << boxes.shown[0].Text;
    EXPECT_EQ(buildsFailed, 1);
    EXPECT_FALSE(fs::exists(WorkFile(state.Settings.WorkFolder, kAirportsFileName)));
    EXPECT_FALSE(fs::exists(WorkFile(state.Settings.WorkFolder, kAirspacesFileName)));
    EXPECT_EQ(buildsDone, 0);
}

TEST_F(BuilderWindowTest, WithoutAPendingRebuildThePreparationWaits) {
    state.Settings.RebuildPending = false;
    Open();
    Tick(kReadSceneriesPathsTimerName);
    EXPECT_TRUE(Find<QTimer>(kReadSceneriesPathsTimerName)->isActive());
    EXPECT_FALSE(Find<QPushButton>(kCreateDatabasesButtonName)->isEnabled());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace tarnwick
