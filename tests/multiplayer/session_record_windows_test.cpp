// Recording from the radar window and replaying through the connection
// window's fourth connection type, on the demo's hand-moved clock.
#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <fstream>
#include <set>

#include "multiplayer/record/recording_format.h"
#include "multiplayer/record/replay_transport.h"
#include "session_windows_fixture.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

class RecordedSessionWindowsTest : public testing::SessionWindowsTest {
   protected:
    RecordedSessionWindowsTest() {
        recordedPlay = std::make_unique<PlayObjects>(ProgramSessionObjects(
            state.Area, [this] { return clock; }, {}, ReplayFactory(records), records->Recorder));
        flow = std::make_unique<testing::CountingFlow>(state, *recordedPlay, boxes, "");
        flow->SetRecords(records);
    }
    ~RecordedSessionWindowsTest() override {
        // The windows go before the session objects they use.
        flow.reset();
        QApplication::processEvents();
    }
    QAction* Item(const char* name) { return Control<QAction>(Form1(), name); }

    std::shared_ptr<SessionRecords> records = MakeSessionRecords([this] { return clock; }, "Tarnwick test");
    std::unique_ptr<PlayObjects> recordedPlay;
    testing::TempFolder folder;
};

TEST_F(RecordedSessionWindowsTest, ASessionRecordedFromTheScopeReplaysThroughTheConnectionWindow) {
    flow->AreaChosen();
    LocateAndJoin();
    clock += std::chrono::milliseconds(1000);
    Form2()->Timer1Tick();
    QApplication::processEvents();
    ASSERT_NE(Form1(), nullptr);
    RunReceiveTicks(5);
    QLabel* mark = Control<QLabel>(Form1(), "recording_mark");
    EXPECT_FALSE(mark->isVisible());
    EXPECT_FALSE(Item("stop_recording_op")->isEnabled());
    EXPECT_FALSE(Control<QMenu>(Form1(), "replay_menu")->menuAction()->isVisible());

    Item("record_session_op")->trigger();
    auto* dialog = Form1()->findChild<QFileDialog*>("record_session_dialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith("Seattle Tacoma Intl (KSEA).jsonl"))
        << dialog->selectedFiles().value(0).toStdString();
    const std::filesystem::path file = folder.Path() / "evening.jsonl";
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
    RunReceiveTicks(20);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_TRUE(mark->text().startsWith("REC ") && mark->text().endsWith(" KB"))
        << mark->text().toStdString();
    EXPECT_FALSE(Item("record_session_op")->isEnabled());
    EXPECT_GT(std::filesystem::file_size(file), 1000u) << "written out as it goes";
    Item("stop_recording_op")->trigger();
    EXPECT_FALSE(mark->isVisible());
    std::set<std::string> pilots;
    for (const PlayerRecord& entry : state.Session.Traffic.Entries())
        if (entry.PlayerId != state.Session.OwnPlayerId) pilots.insert(entry.Name);
    ASSERT_GE(pilots.size(), 6u);

    // Left, then replayed: the pilots are back on the scope at once, under a
    // caption that says it is a replay.
    Form1()->Disconnect();
    QApplication::processEvents();
    flow->OfferReplayFirst(file);
    Form2()->close();
    QApplication::processEvents();
    ConnectionWindow* form2 = flow->ShowConnection();
    auto* question = form2->findChild<QInputDialog*>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->textValue().toStdString(), file.string());
    question->accept();
    Control<QPushButton>(form2, "Command2")->click();
    clock += std::chrono::milliseconds(1000);
    form2->Timer1Tick();
    QApplication::processEvents();
    RadarWindow* replay = Form1();
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->windowTitle(), "Tarnwick v2.0 - Seattle Tacoma Intl  (KSEA) - replay");
    RunReceiveTicks(1);
    std::set<std::string> replayed;
    for (const PlayerRecord& entry : state.Session.Traffic.Entries())
        if (entry.PlayerId != state.Session.OwnPlayerId && entry.Latitude != 0) replayed.insert(entry.Name);
    EXPECT_EQ(replayed, pilots) << "identified and placed by their last words before the recording began";
    EXPECT_TRUE(Control<QMenu>(replay, "replay_menu")->menuAction()->isVisible());
    Item("replay_speed_8_op")->trigger();
    Item("replay_pause_op")->trigger();
    EXPECT_EQ(replay->windowTitle(), "Tarnwick v2.0 - Seattle Tacoma Intl  (KSEA) - replay x8, paused");
    EXPECT_EQ(records->Replay->Speed(), 8);
    EXPECT_TRUE(records->Replay->Paused());
}

}  // namespace
}  // namespace tarnwick
