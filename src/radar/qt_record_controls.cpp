#include "radar/qt_record_controls.h"

#include <QFileDialog>
#include <QMenuBar>
#include <ctime>

#include "base/ansi.h"
#include "multiplayer/record/recording_name.h"
#include "multiplayer/record/recording_sink.h"

namespace tarnwick {
namespace {

QString SizeText(std::uint64_t bytes) {
    if (bytes < std::uint64_t{1024} * 1024)
        return QString::number(static_cast<double>(bytes) / 1024.0, 'f', 0) + " KB";
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) + " MB";
}

}  // namespace

RecordControls::RecordControls(QMainWindow* window, QMenu* fileMenu, QWidget* scope,
                               std::shared_ptr<SessionRecords> records, const ChosenArea& area,
                               MessageBoxes& boxes)
    : QObject(window), window_(window), records_(std::move(records)), area_(area), boxes_(boxes) {
    fileMenu->addSeparator();
    recordAction_ = fileMenu->addAction("Record session...");
    recordAction_->setObjectName("record_session_op");
    connect(recordAction_, &QAction::triggered, this, &RecordControls::AskForFile);
    stopRecordingAction_ = fileMenu->addAction("Stop recording");
    stopRecordingAction_->setObjectName("stop_recording_op");
    connect(stopRecordingAction_, &QAction::triggered, this, &RecordControls::StopRecording);

    recordingMark_ = new QLabel(scope);
    recordingMark_->setObjectName("recording_mark");
    recordingMark_->setStyleSheet("QLabel { color: #ff3030; background: transparent; font-weight: bold; }");
    // Under the zoom level and the button below it, left of the traffic.
    recordingMark_->move(8, 208);
    recordingMark_->hide();

    replayMenu_ = window->menuBar()->addMenu("Replay");
    replayMenu_->setObjectName("replay_menu");
    pauseAction_ = replayMenu_->addAction("Pause");
    pauseAction_->setObjectName("replay_pause_op");
    pauseAction_->setCheckable(true);
    pauseAction_->setShortcut(QKeySequence("Ctrl+P"));
    connect(pauseAction_, &QAction::triggered, this, [this](bool paused) {
        records_->Replay->SetPaused(paused);
        emit CaptionChanged();
    });
    replayMenu_->addSeparator();
    speedGroup_ = new QActionGroup(this);
    for (int speed : {1, 2, 4, 8}) {
        QAction* action = replayMenu_->addAction("Speed x" + QString::number(speed));
        action->setObjectName(QString("replay_speed_%1_op").arg(speed));
        action->setCheckable(true);
        action->setShortcut(QKeySequence("Ctrl+" + QString::number(speed)));
        speedGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, speed] {
            records_->Replay->SetSpeed(speed);
            emit CaptionChanged();
        });
    }
    ShowState();
}

void RecordControls::ShowState() {
    ShowRecordingState();
    ShowReplayState();
}

void RecordControls::AskForFile() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const QString name = QString::fromStdString(AnsiToUtf8(DefaultRecordingName(local, area_.AreaTitle)));
    // Window-modal and back at once: the session's ticks go on while the user chooses.
    auto* dialog =
        new QFileDialog(window_, "Record session", name, "Recorded sessions (*.jsonl);;All files (*)");
    dialog->setObjectName("record_session_dialog");
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
    Tick();
}

void RecordControls::StopRecording() {
    records_->Recorder->Stop();
    Tick();
}

void RecordControls::SessionEnded() {
    if (records_->Recorder->Recording()) StopRecording();
}

void RecordControls::Tick() {
    ShowRecordingState();
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
    if (!replaying) return;
    pauseAction_->setChecked(records_->Replay->Paused());
    for (QAction* action : speedGroup_->actions())
        action->setChecked(action->objectName() ==
                           QString("replay_speed_%1_op").arg(records_->Replay->Speed()));
}

bool RecordControls::Replaying() const { return records_->Replay->Playing(); }

QString RecordControls::CaptionSuffix() const {
    if (!Replaying()) return {};
    QString suffix = " - replay";
    if (records_->Replay->Speed() != 1) suffix += " x" + QString::number(records_->Replay->Speed());
    if (records_->Replay->Paused()) suffix += ", paused";
    return suffix;
}

}  // namespace tarnwick
