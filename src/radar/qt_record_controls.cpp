#include "radar/qt_record_controls.h"

#include <QFileDialog>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <ctime>
#include <limits>

#include "base/ansi.h"
#include "multiplayer/record/recording_name.h"
#include "multiplayer/record/recording_sink.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

QString SizeText(std::uint64_t bytes) {
    if (bytes < std::uint64_t{1024} * 1024)
        return QString::number(static_cast<double>(bytes) / 1024.0, 'f', 0) + " KB";
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) + " MB";
}

// The slider counts milliseconds in an int: about 24 days.
int SliderValue(milliseconds time) {
    return static_cast<int>(std::clamp<long long>(time.count(), 0, std::numeric_limits<int>::max()));
}

// Under the zoom level and the button below it, left of the traffic.
constexpr int kRecordingMarkTop = 208;
constexpr int kReplayMarkTop = 232;

}  // namespace

RecordControls::RecordControls(QMainWindow* window, QMenu* fileMenu, QWidget* scope,
                               std::shared_ptr<SessionRecords> records, const ChosenArea& area,
                               MessageBoxes& boxes)
    : QObject(window), window_(window), records_(std::move(records)), area_(area), boxes_(boxes) {
    fileMenu->addSeparator();
    recordAction_ = fileMenu->addAction("Record session...");
    recordAction_->setObjectName(kRecordSessionActionName);
    connect(recordAction_, &QAction::triggered, this, &RecordControls::AskForFile);
    stopRecordingAction_ = fileMenu->addAction("Stop recording");
    stopRecordingAction_->setObjectName(kStopRecordingActionName);
    connect(stopRecordingAction_, &QAction::triggered, this, &RecordControls::StopRecording);

    recordingMark_ = new QLabel(scope);
    recordingMark_->setObjectName(kRecordingMarkName);
    recordingMark_->setStyleSheet("QLabel { color: #ff3030; background: transparent; font-weight: bold; }");
    recordingMark_->move(8, kRecordingMarkTop);
    recordingMark_->hide();

    replayMark_ = new QLabel(scope);
    replayMark_->setObjectName(kReplayMarkName);
    replayMark_->setStyleSheet(
        "QLabel { color: #ffd040; background: transparent; font-weight: bold; font-size: 12pt; }");
    replayMark_->move(8, kReplayMarkTop);
    replayMark_->hide();

    replayMenu_ = window->menuBar()->addMenu("Replay");
    replayMenu_->setObjectName(kReplayMenuName);
    pauseAction_ = replayMenu_->addAction("Pause");
    pauseAction_->setObjectName(kReplayPauseActionName);
    pauseAction_->setCheckable(true);
    pauseAction_->setShortcut(QKeySequence("Ctrl+P"));
    // The bar shows it as play or pause; the menu as a check mark.
    pauseAction_->setIconVisibleInMenu(false);
    connect(pauseAction_, &QAction::triggered, this, [this](bool paused) {
        records_->Replay->SetPaused(paused);
        emit CaptionChanged();
    });
    replayMenu_->addSeparator();
    speedGroup_ = new QActionGroup(this);
    for (int speed : {1, 2, 4, 8}) {
        QAction* action = replayMenu_->addAction("Speed x" + QString::number(speed));
        action->setObjectName(ReplaySpeedActionName(speed));
        action->setIconText("x" + QString::number(speed));
        action->setCheckable(true);
        action->setShortcut(QKeySequence("Ctrl+" + QString::number(speed)));
        speedGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, speed] {
            records_->Replay->SetSpeed(speed);
            emit CaptionChanged();
        });
    }
    AddReplayBar(window);
    ShowState();
}

// Under the scope: pause, the position with the time, the speeds.
void RecordControls::AddReplayBar(QMainWindow* window) {
    replayBar_ = new QToolBar("Replay", window);
    replayBar_->setObjectName(kReplayBarName);
    replayBar_->setMovable(false);
    replayBar_->setFloatable(false);
    replayBar_->toggleViewAction()->setVisible(false);
    replayBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    replayBar_->addAction(pauseAction_);

    positionSlider_ = new QSlider(Qt::Horizontal, replayBar_);
    positionSlider_->setObjectName(kReplayPositionSliderName);
    positionSlider_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Dragging goes to the replay when let go; the keys stay the scope's.
    positionSlider_->setTracking(false);
    positionSlider_->setFocusPolicy(Qt::NoFocus);
    positionSlider_->setSingleStep(10000);
    positionSlider_->setPageStep(60000);
    replayBar_->addWidget(positionSlider_);
    connect(positionSlider_, &QSlider::valueChanged, this,
            [this](int value) { emit SeekRequested(milliseconds(value)); });
    connect(positionSlider_, &QSlider::sliderMoved, this,
            [this](int value) { ShowTime(milliseconds(value)); });

    timeLabel_ = new QLabel(replayBar_);
    timeLabel_->setObjectName(kReplayTimeLabelName);
    timeLabel_->setContentsMargins(6, 0, 6, 0);
    replayBar_->addWidget(timeLabel_);
    replayBar_->addActions(speedGroup_->actions());
    window->addToolBar(Qt::BottomToolBarArea, replayBar_);
}

void RecordControls::ShowState() {
    ShowRecordingState();
    ShowReplayState();
}

void RecordControls::AskForFile() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const QString name =
        QString::fromStdString(AnsiToUtf8(DefaultRecordingName(local, area_.AreaKind, area_.AreaTitle)));
    // Window-modal and back at once: the session's ticks go on while the user chooses.
    auto* dialog =
        new QFileDialog(window_, "Record session", name, "Recorded sessions (*.jsonl);;All files (*)");
    dialog->setObjectName(kRecordSessionDialogName);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    connect(dialog, &QFileDialog::fileSelected, this, &RecordControls::StartRecording);
    dialog->open();
}

void RecordControls::StartRecording(const QString& path) {
    RecordingHeader header;
    header.Source = records_->Source;
    header.AreaKind = area_.AreaKind;
    header.AreaTitle = area_.AreaTitle;
    header.JoinAccepted = true;
    try {
        records_->Recorder->Start(OpenRecordingFile(path.toStdString()), header);
    } catch (const RecordingError& error) {
        boxes_.Warn(error.what());
    }
    ShowProgress();
    TellFailure();
}

void RecordControls::StopRecording() {
    records_->Recorder->Stop();
    ShowProgress();
    TellFailure();
}

void RecordControls::ShowProgress() {
    ShowRecordingState();
    if (Replaying()) ShowReplayPosition();
}

void RecordControls::TellFailure() {
    if (const std::optional<std::string> failure = records_->Recorder->TakeFailure()) boxes_.Warn(*failure);
}

void RecordControls::ShowRecordingState() {
    const bool recording = records_->Recorder->Recording();
    recordAction_->setEnabled(!recording);
    stopRecordingAction_->setEnabled(recording);
    recordingMark_->setVisible(recording);
    if (!recording) return;
    recordingMark_->setText("REC " + SizeText(records_->Recorder->RecordedBytes()));
    recordingMark_->adjustSize();
}

void RecordControls::ShowReplayState() {
    const bool replaying = Replaying();
    replayMenu_->menuAction()->setVisible(replaying);
    replayBar_->setVisible(replaying);
    if (!replaying) {
        replayMark_->hide();
        return;
    }
    const ReplayClock& clock = *records_->Replay;
    pauseAction_->setChecked(clock.Paused());
    pauseAction_->setIcon(
        window_->style()->standardIcon(clock.Paused() ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
    pauseAction_->setToolTip(clock.Paused() ? "Go on (Ctrl+P)" : "Pause (Ctrl+P)");
    for (QAction* action : speedGroup_->actions())
        action->setChecked(action->objectName() == ReplaySpeedActionName(clock.Speed()));
    const QSignalBlocker quiet(positionSlider_);
    positionSlider_->setRange(0, SliderValue(clock.Length().value_or(milliseconds(0))));
    ShowReplayPosition();
}

void RecordControls::ShowReplayPosition() {
    const ReplayClock& clock = *records_->Replay;
    const milliseconds now = clock.Now();
    if (!positionSlider_->isSliderDown()) {
        const QSignalBlocker quiet(positionSlider_);
        positionSlider_->setValue(SliderValue(now));
        ShowTime(now);
    }
    const QString mark = clock.Finished() ? "Replay finished" : clock.Paused() ? "PAUSED" : QString();
    if (replayMark_->text() != mark) {
        replayMark_->setText(mark);
        replayMark_->adjustSize();
    }
    replayMark_->setVisible(!mark.isEmpty());
}

void RecordControls::ShowTime(milliseconds time) {
    const milliseconds length = records_->Replay->Length().value_or(milliseconds(0));
    timeLabel_->setText(QString::fromStdString(ReplayTimeText(time) + " / " + ReplayTimeText(length)));
}

bool RecordControls::Replaying() const { return records_->Replay->Playing(); }

QString RecordControls::CaptionSuffix() const { return Replaying() ? " - replay" : QString(); }

}  // namespace tarnwick
