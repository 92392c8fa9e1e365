// Recording from the radar window and replaying through the connection
// window's fourth connection type, on the demo's hand-moved clock.
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSlider>
#include <QToolBar>
#include <fstream>
#include <set>

#include "multiplayer/record/recording_format.h"
#include "multiplayer/record/replay_transport.h"
#include "radar/qt_record_controls.h"
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
    QAction* Item(const QString& name) { return Control<QAction>(Form1(), name); }

    // A fresh connection window that starts the replay offering `offered`:
    // the question for the recording.
    QInputDialog* OfferReplay(const std::filesystem::path& offered) {
        flow->OfferReplayFirst(offered);
        Form2()->close();
        QApplication::processEvents();
        connection = flow->ShowConnection();
        return connection->findChild<QInputDialog*>();
    }
    // The question answered as it stands and the recorded session joined:
    // the replay's radar window.
    RadarWindow* JoinReplay(QInputDialog* question) {
        question->accept();
        Control<QPushButton>(connection, kJoinButtonName)->click();
        clock += std::chrono::milliseconds(1000);
        connection->AcceptanceTick();
        QApplication::processEvents();
        return Form1();
    }

    // The demo joined from the choice on: the radar window is then up.
    void JoinDemo() {
        flow->AreaChosen();
        LocateAndJoin();
        clock += std::chrono::milliseconds(1000);
        Form2()->AcceptanceTick();
        QApplication::processEvents();
    }
    // The demo joined and `seconds` of it recorded into `file`, then left.
    void RecordDemo(const std::filesystem::path& file, int seconds) {
        JoinDemo();
        ASSERT_NE(Form1(), nullptr);
        Form1()->findChild<RecordControls*>()->StartRecording(QString::fromStdString(file.string()));
        RunReceiveTicks(seconds);
        Form1()->Disconnect();
        QApplication::processEvents();
    }

    std::shared_ptr<SessionRecords> records = MakeSessionRecords([this] { return clock; }, "Tarnwick test");
    std::unique_ptr<PlayObjects> recordedPlay;
    ConnectionWindow* connection = nullptr;
    testing::TempFolder folder;
};

TEST_F(RecordedSessionWindowsTest, ASessionRecordedFromTheScopeReplaysThroughTheConnectionWindow) {
    JoinDemo();
    ASSERT_NE(Form1(), nullptr);
    RunReceiveTicks(5);
    QLabel* mark = Control<QLabel>(Form1(), kRecordingMarkName);
    EXPECT_FALSE(mark->isVisible());
    EXPECT_FALSE(Item(kStopRecordingActionName)->isEnabled());
    EXPECT_FALSE(Control<QMenu>(Form1(), kReplayMenuName)->menuAction()->isVisible());

    Item(kRecordSessionActionName)->trigger();
    auto* dialog = Form1()->findChild<QFileDialog*>(kRecordSessionDialogName);
    ASSERT_NE(dialog, nullptr);
    const QString offered = QFileInfo(dialog->selectedFiles().value(0)).fileName();
    EXPECT_TRUE(
        QRegularExpression("^Tarnwick-\\d{4}-\\d\\d-\\d\\d-\\d{4}-KSEA\\.jsonl$").match(offered).hasMatch())
        << offered.toStdString();
    const std::filesystem::path file = folder.Path() / "evening.jsonl";
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
    RunReceiveTicks(20);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_TRUE(mark->text().startsWith("REC ") && mark->text().endsWith(" KB"))
        << mark->text().toStdString();
    EXPECT_FALSE(Item(kRecordSessionActionName)->isEnabled());
    EXPECT_GT(std::filesystem::file_size(file), 1000u) << "written out as it goes";
    Item(kStopRecordingActionName)->trigger();
    EXPECT_FALSE(mark->isVisible());
    std::set<std::string> pilots;
    for (const PlayerRecord& entry : state.Session.Traffic.Entries())
        if (entry.PlayerId != state.Session.OwnPlayerId) pilots.insert(entry.Name);
    ASSERT_GE(pilots.size(), 6u);

    // Left, then replayed: the pilots are back on the scope at once, under a
    // caption that says it is a replay.
    Form1()->Disconnect();
    QApplication::processEvents();
    QInputDialog* question = OfferReplay(file);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->textValue().toStdString(), file.string());
    RadarWindow* replay = JoinReplay(question);
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->windowTitle(), "Tarnwick v2.0 - Seattle Tacoma Intl  (KSEA) - replay");
    EXPECT_TRUE(Control<QToolBar>(replay, kReplayBarName)->isVisible());
    RunReceiveTicks(1);
    std::set<std::string> replayed;
    for (const PlayerRecord& entry : state.Session.Traffic.Entries())
        if (entry.PlayerId != state.Session.OwnPlayerId && entry.Latitude != 0) replayed.insert(entry.Name);
    EXPECT_EQ(replayed, pilots) << "identified and placed by their last words before the recording began";
    EXPECT_TRUE(Control<QMenu>(replay, kReplayMenuName)->menuAction()->isVisible());
    Item(ReplaySpeedActionName(8))->trigger();
    Item(kReplayPauseActionName)->trigger();
    EXPECT_EQ(replay->windowTitle(), "Tarnwick v2.0 - Seattle Tacoma Intl  (KSEA) - replay")
        << "the speed and the pause show in the replay bar and on the scope";
    EXPECT_EQ(records->Replay->Speed(), 8);
    EXPECT_TRUE(records->Replay->Paused());
}

TEST_F(RecordedSessionWindowsTest, TheReplayIsChosenByBrowsingAndItsBarSeeksPausesAndEnds) {
    const std::filesystem::path file = folder.Path() / "Tarnwick-2026-12-08-1843-KSEA.jsonl";
    RecordDemo(file, 90);
    ASSERT_EQ(Form1(), nullptr);
    std::set<std::string> pilotsAtEnd;
    for (const PlayerRecord& entry : state.Session.Traffic.Entries())
        if (entry.PlayerId != state.Session.OwnPlayerId) pilotsAtEnd.insert(entry.Name);

    // The prompt offers another name; "Browse..." finds the recording.
    QInputDialog* question = OfferReplay(folder.Path() / "not-this-one.jsonl");
    ASSERT_NE(question, nullptr);
    QPushButton* browse = Control<QPushButton>(question, kBrowseButtonName);
    EXPECT_FALSE(browse->autoDefault()) << "Return after browsing accepts the answer";
    browse->click();
    auto* browser = question->findChild<QFileDialog*>(kBrowseDialogName);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_EQ(browser->directory().absolutePath().toStdString(), folder.Path().string())
        << "opens where the offered file would be";
    browser->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(browser)->accept();
    EXPECT_EQ(question->textValue().toStdString(), file.string());
    RadarWindow* replay = JoinReplay(question);
    ASSERT_NE(replay, nullptr);

    // The bar: the position over the recording's length, with the time.
    auto* slider = Control<QSlider>(replay, kReplayPositionSliderName);
    auto* time = Control<QLabel>(replay, kReplayTimeLabelName);
    auto* mark = Control<QLabel>(replay, kReplayMarkName);
    ASSERT_TRUE(slider && time && mark);
    RunReceiveTicks(3);
    const std::chrono::milliseconds length = records->Replay->Length().value_or(std::chrono::milliseconds(0));
    EXPECT_GE(length, std::chrono::seconds(89));
    EXPECT_EQ(slider->maximum(), length.count());
    EXPECT_EQ(slider->value(), records->Replay->Now().count());
    EXPECT_EQ(time->text().toStdString(), "0:04 / " + ReplayTimeText(length));
    EXPECT_FALSE(mark->isVisible());

    // Paused: a mark on the scope, and the time stands.
    Item(kReplayPauseActionName)->trigger();
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->text(), "PAUSED");
    const std::chrono::milliseconds pausedAt = records->Replay->Now();
    RunReceiveTicks(5);
    EXPECT_EQ(records->Replay->Now(), pausedAt);

    // Seeking with the slider, still paused: the pilots of that moment.
    slider->setValue(60000);
    EXPECT_EQ(records->Replay->Now(), std::chrono::milliseconds(60000));
    EXPECT_EQ(time->text().toStdString(), "1:00 / " + ReplayTimeText(length));
    EXPECT_TRUE(records->Replay->Paused());
    slider->setValue(10000);
    EXPECT_EQ(records->Replay->Now(), std::chrono::milliseconds(10000)) << "and back";

    // Going on to the end: "Replay finished", the pilots as they were last.
    Item(kReplayPauseActionName)->trigger();
    EXPECT_FALSE(mark->isVisible());
    slider->setValue(slider->maximum() - 2000);
    RunReceiveTicks(3);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->text(), "Replay finished");
    EXPECT_EQ(slider->value(), slider->maximum());
    std::set<std::string> replayedAtEnd;
    for (const PlayerRecord& entry : state.Session.Traffic.Entries())
        if (entry.PlayerId != state.Session.OwnPlayerId) replayedAtEnd.insert(entry.Name);
    EXPECT_EQ(replayedAtEnd, pilotsAtEnd);
    EXPECT_EQ(replay->windowTitle(), "Tarnwick v2.0 - Seattle Tacoma Intl  (KSEA) - replay");
}

}  // namespace
}  // namespace tarnwick
