#pragma once
// The radar window's part in recording and replaying sessions: File, "Record
// session..." and "Stop recording", the red REC mark with the file's size on
// the scope, and while a recording is replayed the Replay menu (pause, x1 to
// x8), the replay bar under the scope (pause, the position slider with the
// time and the recording's length, the speeds) and the replay's mark on the
// scope ("PAUSED", "Replay finished").
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QObject>
#include <QSlider>
#include <QToolBar>
#include <chrono>
#include <memory>

#include "base/message_boxes.h"
#include "multiplayer/program_sessions.h"
#include "state/chosen_area.h"

namespace tarnwick {

class RecordControls : public QObject {
    Q_OBJECT
   public:
    // Adds its items to `fileMenu`, its Replay menu to the window's menu bar,
    // its bar under the window's picture and its marks to `scope`.
    RecordControls(QMainWindow* window, QMenu* fileMenu, QWidget* scope,
                   std::shared_ptr<SessionRecords> records, const ChosenArea& area, MessageBoxes& boxes);

    // Starts writing the session into the file (UTF-8 path); a failure is told.
    void StartRecording(const QString& path);
    void StopRecording();
    // After each receive tick: the REC mark shows the size, the replay bar
    // the time. (The session tells a recording that stopped by itself.)
    void ShowProgress();
    // The menus, the bar and the marks as things stand, at the radar window's load.
    void ShowState();

    // A recording is being replayed on the scope.
    bool Replaying() const;
    // " - replay" for the caption; empty when not replaying.
    QString CaptionSuffix() const;

   signals:
    // The replay's speed or pause changed.
    void CaptionChanged();
    // The user moved the replay's position: the replay is to go there.
    void SeekRequested(std::chrono::milliseconds time);

   private:
    void AskForFile();
    void AddReplayBar(QMainWindow* window);
    void ShowRecordingState();
    void ShowReplayState();
    // The slider, the time and the mark, from the replay's clock.
    void ShowReplayPosition();
    void ShowTime(std::chrono::milliseconds time);
    // A recording that stopped while the user started or stopped it.
    void TellFailure();

    QMainWindow* window_;
    std::shared_ptr<SessionRecords> records_;
    const ChosenArea& area_;
    MessageBoxes& boxes_;
    QAction* recordAction_;
    QAction* stopRecordingAction_;
    QLabel* recordingMark_;
    QMenu* replayMenu_;
    QAction* pauseAction_;
    QActionGroup* speedGroup_;
    QToolBar* replayBar_ = nullptr;
    QSlider* positionSlider_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QLabel* replayMark_;
};

// The items', marks', bar's and dialog's object names, by which tests find them.
inline constexpr char kRecordSessionActionName[] = "record_session_op";
inline constexpr char kStopRecordingActionName[] = "stop_recording_op";
inline constexpr char kRecordSessionDialogName[] = "record_session_dialog";
inline constexpr char kRecordingMarkName[] = "recording_mark";
inline constexpr char kReplayMarkName[] = "replay_mark";
inline constexpr char kReplayMenuName[] = "replay_menu";
inline constexpr char kReplayPauseActionName[] = "replay_pause_op";
inline constexpr char kReplayBarName[] = "replay_bar";
inline constexpr char kReplayPositionSliderName[] = "replay_position";
inline constexpr char kReplayTimeLabelName[] = "replay_time";
// The Replay menu's item for one speed (x1, x2, x4, x8).
inline QString ReplaySpeedActionName(int speed) { return QString("replay_speed_%1_op").arg(speed); }

}  // namespace tarnwick
