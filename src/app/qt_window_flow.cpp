#include "app/qt_window_flow.h"

#include <QCoreApplication>
#include <QTimer>
#include <utility>

#include "app/database_renewal.h"
#include "app/preferences_window.h"
#include "app/setup_window.h"
#include "app/splash_window.h"
#include "base/ansi.h"
#include "base/program_name.h"
#include "multiplayer/chat_window.h"
#include "multiplayer/connection_window.h"
#include "multiplayer/program_sessions.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/tcpip/qt_directplay_driver.h"
#include "radar/about_window.h"
#include "radar/aids/qt_radar_aids_store.h"
#include "radar/aids/radar_aids_window.h"
#include "radar/aids/traffic_list_window.h"
#include "radar/airports_list_window.h"
#include "radar/radar_window.h"
#include "scenery/builder_window.h"
#include "selection/choice_window.h"

namespace tarnwick {

namespace {

QTimer* MakeTimer(QObject* parent, const char* name, std::chrono::milliseconds interval) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(interval);
    return timer;
}

}  // namespace

WindowFlow::WindowFlow(ProgramState& state, MessageBoxes& boxes, std::string workDirectory, QObject* parent)
    : WindowFlow(state, nullptr, boxes, std::move(workDirectory), parent) {}

WindowFlow::WindowFlow(ProgramState& state, PlayObjects& play, MessageBoxes& boxes, std::string workDirectory,
                       QObject* parent)
    : WindowFlow(state, &play, boxes, std::move(workDirectory), parent) {}

WindowFlow::WindowFlow(ProgramState& state, PlayObjects* play, MessageBoxes& boxes, std::string workDirectory,
                       QObject* parent)
    : QObject(parent),
      state_(state),
      records_(play ? nullptr : MakeSessionRecords(SteadyDemoClock(), kProgramName)),
      ownPlay_(play ? nullptr
                    : std::make_unique<PlayObjects>(
                          ProgramSessionObjects(state.Area, SteadyDemoClock(), QtTcpIpTransports(),
                                                ReplayFactory(records_), records_->Recorder))),
      play_(play ? *play : *ownPlay_),
      boxes_(boxes),
      workDirectory_(std::move(workDirectory)),
      // The radar window's Timer1 and Timer3, which run the session while
      // the scope is up, locked or not.
      receiveTimer_(MakeTimer(this, kReceiveTimerName, JoinedSession::kReceiveInterval)),
      upkeepTimer_(MakeTimer(this, kUpkeepTimerName, JoinedSession::kUpkeepInterval)) {
    connect(receiveTimer_, &QTimer::timeout, this, &WindowFlow::ReceiveTick);
    connect(upkeepTimer_, &QTimer::timeout, this, &WindowFlow::UpkeepTick);
}

WindowFlow::~WindowFlow() {
    // Without a close: nothing is to be given back to a scope going away.
    delete preferences_;
    delete airportsList_;
    delete about_;
    delete choice_;
    delete chat_;
    delete radarAids_;
    delete trafficList_;
    delete radar_;
    delete connection_;
    // Not left: the session objects go with their owner.
    joined_.reset();
}

RadarWindow* WindowFlow::Radar() const { return radar_; }

PreferencesWindow* WindowFlow::Preferences() const { return preferences_; }

AirportsListWindow* WindowFlow::AirportsList() const { return airportsList_; }

AboutWindow* WindowFlow::About() const { return about_; }

ConnectionWindow* WindowFlow::Connection() const { return connection_; }

ChatWindow* WindowFlow::Chat() const { return chat_; }

RadarAidsWindow* WindowFlow::AidsWindow() const { return radarAids_; }

TrafficListWindow* WindowFlow::TrafficListShown() const { return trafficList_; }

SplashWindow* WindowFlow::ShowSplash() {
    auto* splash = new SplashWindow(state_.Settings, state_.Session, workDirectory_);
    connect(splash, &SplashWindow::Decided, this, [this](StartupPath path, const std::string& notice) {
        if (!notice.empty()) boxes_.Warn(notice);
        if (path == StartupPath::FirstRun) {
            ShowSetup();
        } else {
            ShowChoice();
        }
    });
    splash->show();
    return splash;
}

SetupWindow* WindowFlow::ShowSetup() {
    auto* setup = new SetupWindow(state_.Settings, boxes_, installationPlaces_);
    connect(setup, &SetupWindow::SetupDone, this, &WindowFlow::ShowBuilder);
    connect(setup, &SetupWindow::SetupAbandoned, this, &WindowFlow::EndProgram);
    setup->show();
    return setup;
}

BuilderWindow* WindowFlow::ShowBuilder() {
    auto* builder = new BuilderWindow(state_.Settings, *state_.Declination, boxes_);
    connect(builder, &BuilderWindow::BuildDone, this, &WindowFlow::ShowChoice);
    connect(builder, &BuilderWindow::BuildFailed, this, &WindowFlow::EndProgram);
    builder->show();
    return builder;
}

ChoiceWindow* WindowFlow::ShowChoice() {
    choice_ = new ChoiceWindow(SelectionOf(state_), boxes_);
    connect(choice_, &ChoiceWindow::AreaChosen, this, &WindowFlow::AreaChosen);
    connect(choice_, &ChoiceWindow::ClosedWithoutChoice, this, &WindowFlow::ChoiceClosed);
    choice_->show();
    return choice_;
}

ConnectionWindow* WindowFlow::ShowConnection() {
    // One connection at a time: a second hand-over finds the window up.
    if (connection_ && connection_->isVisible()) {
        connection_->raise();
        return connection_;
    }
    connection_ = new ConnectionWindow(state_.Session, play_, boxes_);
    connect(connection_, &ConnectionWindow::Accepted, this, &WindowFlow::ShowRadar);
    connect(connection_, &ConnectionWindow::EndProgramRequested, this, &WindowFlow::EndProgram);
    connection_->show();
    if (std::exchange(offerDemo_, false)) connection_->LocateWith(kDemoConnectionName);
    if (std::exchange(offerReplay_, false)) connection_->LocateWith(kReplayConnectionName);
    return connection_;
}

void WindowFlow::OfferReplayFirst(const std::filesystem::path& recording) {
    if (!records_) return;
    records_->ReplayFile = recording;
    offerReplay_ = true;
}

RadarWindow* WindowFlow::ShowRadar() {
    radar_ = new RadarWindow(state_.Area, state_.Display, state_.Aids, *state_.Declination, state_.Session,
                             boxes_);
    connect(radar_, &RadarWindow::AllAirportsRequested, this, &WindowFlow::ShowAllAirports);
    connect(radar_, &RadarWindow::NewDatabasesRequested, this, &WindowFlow::RenewDatabases);
    connect(radar_, &RadarWindow::AirportsListRequested, this, &WindowFlow::ShowAirportsList);
    connect(radar_, &RadarWindow::PreferencesRequested, this, &WindowFlow::ShowPreferences);
    connect(radar_, &RadarWindow::AboutRequested, this, &WindowFlow::ShowAbout);
    connect(radar_, &RadarWindow::RadarAidsRequested, this, &WindowFlow::ShowRadarAids);
    connect(radar_, &RadarWindow::TrafficListRequested, this, &WindowFlow::ShowTrafficList);
    connect(radar_, &RadarWindow::AidsToggled, this, &WindowFlow::AidsToggled);
    connect(radar_, &RadarWindow::Closed, this, &WindowFlow::RadarClosed);
    connect(radar_, &RadarWindow::ChatWindowRequested, this, &WindowFlow::ShowChat);
    connect(radar_, &RadarWindow::Disconnected, this, &WindowFlow::RadarDisconnected);
    connect(radar_, &RadarWindow::ReplaySeekRequested, this, &WindowFlow::SeekReplay);
    connect(radar_, &RadarWindow::AidsShown, this, &WindowFlow::RewatchConflicts);
    radar_->SetRecords(records_);
    radar_->show();
    radar_->Load();
    if (state_.Session.SessionConnected) StartSession();
    return radar_;
}

void WindowFlow::StartSession() {
    if (joined_) return;
    JoinedSessionOptions options;
    options.Clock = sessionClock_;
    if (records_) {
        options.Recorder = records_->Recorder;
        // A replay's motion and conflicts run on the replay's time.
        if (records_->Replay && records_->Replay->Playing()) options.Replay = records_->Replay;
    }
    joined_ = std::make_unique<JoinedSession>(
        JoinedSessionParts{state_.Session, play_, *state_.Declination, state_.Area, state_.Aids},
        std::move(options));
    receiveTimer_->start();
    upkeepTimer_->start();
    Tell(joined_->Start());
}

void WindowFlow::ReceiveTick() {
    if (!joined_) return;
    Tell(joined_->ReceiveTick());
    if (radar_) radar_->ShowRecordProgress();
}

void WindowFlow::UpkeepTick() {
    if (joined_) Tell(joined_->UpkeepTick());
}

void WindowFlow::SeekReplay(std::chrono::milliseconds time) {
    if (!joined_ || !joined_->Seekable()) return;
    Tell(joined_->SeekTo(time));
    if (radar_) radar_->ShowReplayMoved();
}

void WindowFlow::RewatchConflicts() {
    if (joined_) Tell(joined_->AidsChanged());
}

void WindowFlow::Tell(const SessionEvents& events) {
    for (const std::string& line : events.ChatLines) {
        if (chat_) chat_->AppendLine(line);
    }
    if (events.Conflicts && radar_)
        radar_->ShowConflicts(events.Conflicts->Alerts, events.Conflicts->Time, events.Conflicts->Started);
    if (events.PlayerListChanged && chat_) chat_->RefreshChatPlayerList();
    if (!events.Messages.empty()) {
        // A message box runs its own event loop: no receive tick may start
        // inside it and pile up boxes of its own.
        receiveTimer_->stop();
        for (const UserMessage& message : events.Messages)
            boxes_.Show(AnsiToUtf8(message.Text), message.Icon);
        if (!events.Disconnect && joined_) receiveTimer_->start();
    }
    if (events.RecordingFailure) boxes_.Warn(*events.RecordingFailure);
    // Closing the radar window leaves the session.
    if (events.Disconnect && radar_) radar_->Disconnect();
}

void WindowFlow::LeaveJoinedSession() {
    receiveTimer_->stop();
    upkeepTimer_->stop();
    if (!joined_) {
        // A scope without a joined session leaves what there is all the same.
        tarnwick::LeaveSession(state_.Session, play_);
        return;
    }
    const SessionEvents left = joined_->Leave();
    joined_.reset();
    Tell(left);
}

void WindowFlow::RadarDisconnected() {
    LeaveJoinedSession();
    SessionLeft();
}

ChatWindow* WindowFlow::ShowChat() {
    if (!chat_) chat_ = new ChatWindow(state_.Session, play_);
    chat_->show();
    chat_->raise();
    return chat_;
}

void WindowFlow::SessionLeft() {
    // Closed while the scope is still whole, so that it can be given back.
    if (preferences_) preferences_->close();
    if (trafficList_) trafficList_->close();
    if (chat_) {
        // The next session starts with a fresh log.
        chat_->setAttribute(Qt::WA_DeleteOnClose);
        chat_->close();
        chat_ = nullptr;
    }
    ShowConnection();
}

template <typename Window>
Window* WindowFlow::LockRadarFor(Window* window) {
    if (radar_) radar_->Lock();
    connect(window, &Window::Finished, this, [this] {
        if (radar_) radar_->Unlock();
    });
    window->show();
    return window;
}

PreferencesWindow* WindowFlow::ShowPreferences() {
    preferences_ = LockRadarFor(new PreferencesWindow(state_.Display));
    return preferences_;
}

AirportsListWindow* WindowFlow::ShowAirportsList() {
    airportsList_ = new AirportsListWindow(state_.Area, boxes_);
    connect(airportsList_, &AirportsListWindow::CenterRequested, this, [this](double lon, double lat) {
        if (radar_) radar_->CenterOn(lon, lat);
    });
    return LockRadarFor(airportsList_.data());
}

AboutWindow* WindowFlow::ShowAbout() {
    about_ = LockRadarFor(new AboutWindow);
    return about_;
}

RadarAidsWindow* WindowFlow::ShowRadarAids() {
    if (!radarAids_) {
        radarAids_ = new RadarAidsWindow(state_.Aids);
        radarAids_->setAttribute(Qt::WA_DeleteOnClose);
        connect(radarAids_, &RadarAidsWindow::AidsChanged, this, &WindowFlow::AidsEdited);
    }
    radarAids_->show();
    radarAids_->raise();
    return radarAids_;
}

void WindowFlow::AidsEdited() {
    if (radar_) radar_->ShowAidsChanged();
    SaveRadarAids(state_.Aids);
}

void WindowFlow::AidsToggled() {
    if (radarAids_) radarAids_->ShowAids();
    SaveRadarAids(state_.Aids);
}

TrafficListWindow* WindowFlow::ShowTrafficList() {
    if (!trafficList_) {
        trafficList_ = new TrafficListWindow(state_.Session, state_.Area, *state_.Declination, state_.Aids);
        trafficList_->setAttribute(Qt::WA_DeleteOnClose);
        connect(trafficList_, &TrafficListWindow::CenterRequested, this, [this](double lon, double lat) {
            // A scope that another window holds stays as it is.
            if (radar_ && radar_->isEnabled()) {
                radar_->CenterOn(lon, lat);
            } else if (radar_ && trafficList_) {
                trafficList_->ShowNote("The scope is held by another window; close that window first.");
            }
        });
    }
    trafficList_->show();
    trafficList_->raise();
    return trafficList_;
}

ChoiceWindow* WindowFlow::ShowAllAirports() {
    // The choice window gives the scope back itself, by a choice or its close.
    if (radar_) radar_->Lock();
    return ShowChoice();
}

void WindowFlow::RenewDatabases() {
    if (radar_) radar_->Lock();
    const RenewalOutcome outcome = CreateNewDatabaseFiles(boxes_, state_.Settings.WorkFolder, [this] {
        if (!radar_) return;
        radar_->SessionGone();
        LeaveJoinedSession();
    });
    if (outcome == RenewalOutcome::EndProgram) {
        EndProgram();
    } else if (radar_) {
        radar_->Unlock();
    }
}

// The windows the scope is locked for, and those it left live beside it, go
// with it, at once: left open, they would give back or act on a scope that is
// gone, and closing the last of them would end the program.
void WindowFlow::RadarClosed() {
    if (preferences_) preferences_->close();
    if (radarAids_) radarAids_->close();
    if (trafficList_) trafficList_->close();
    if (airportsList_) airportsList_->close();
    if (about_) about_->close();
    if (choice_) {
        // Without the session its close would end the program; the
        // connection window takes over instead.
        disconnect(choice_, &ChoiceWindow::ClosedWithoutChoice, this, &WindowFlow::ChoiceClosed);
        choice_->close();
    }
}

void WindowFlow::AreaChosen() {
    if (!state_.Session.SessionConnected) {
        ShowConnection();
        return;
    }
    // With a session joined the radar window takes the new area back: unlock it,
    // set its caption and centre it on AreaCenterLon/AreaCenterLat.
    if (radar_) radar_->TakeBackArea();
}

void WindowFlow::ChoiceClosed() {
    if (state_.Session.SessionConnected) {
        // Give the radar window back: unlock it (its timers, picture and buttons).
        if (radar_) radar_->Unlock();
        return;
    }
    EndProgram();
}

void WindowFlow::EndProgram() { QCoreApplication::quit(); }

}  // namespace tarnwick
