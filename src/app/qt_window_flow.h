#pragma once
// Opens the program's windows in the order the user meets them. Windows only
// signal what happened; this flow alone decides what opens next. It also runs
// the joined session: its receive and upkeep timers call the session's ticks,
// and what the ticks report goes to the windows that show it.
#include <QObject>
#include <QPointer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "base/message_boxes.h"
#include "multiplayer/joined_session.h"
#include "multiplayer/play_objects.h"
#include "multiplayer/program_sessions.h"
#include "scenery/fs_installations.h"
#include "state/program_state.h"

class QTimer;

namespace tarnwick {

class AboutWindow;
class AirportsListWindow;
class BuilderWindow;
class ChatWindow;
class ChoiceWindow;
class ConnectionWindow;
class PreferencesWindow;
class RadarAidsWindow;
class RadarWindow;
class SetupWindow;
class SplashWindow;
class TrafficListWindow;

class WindowFlow : public QObject {
    Q_OBJECT
   public:
    // `workDirectory` is the folder the program keeps its three files in.
    // The session objects are the program's own, offering every connection type.
    WindowFlow(ProgramState& state, MessageBoxes& boxes, std::string workDirectory,
               QObject* parent = nullptr);
    // The same over session objects of the caller's, which outlive the flow.
    WindowFlow(ProgramState& state, PlayObjects& play, MessageBoxes& boxes, std::string workDirectory,
               QObject* parent = nullptr);
    // The session windows work on the flow's session objects and go with it.
    ~WindowFlow() override;

    // The first connection window finds the demo session located and picked,
    // for a start on the demo region.
    void OfferDemoSessionFirst() { offerDemo_ = true; }
    // The first connection window starts the replay, offering this recording.
    void OfferReplayFirst(const std::filesystem::path& recording);

    // What the session objects record with and replay on; the flow's own
    // session objects use them, session objects of the caller's may.
    const std::shared_ptr<SessionRecords>& Records() const { return records_; }
    void SetRecords(std::shared_ptr<SessionRecords> records) { records_ = std::move(records); }

    // Where the setup window looks for FS2002 (by default nowhere; the
    // program looks in the user's home and $WINEPREFIX).
    void SetInstallationPlaces(InstallationPlaces places) { installationPlaces_ = std::move(places); }
    // The time of the sessions joined from now on, for the motion history,
    // the conflict alerts and the requests to identify (by default the steady
    // clock; a replay runs on its own).
    void SetSessionClock(SessionClock clock) { sessionClock_ = std::move(clock); }

    ProgramState& State() { return state_; }
    PlayObjects& Play() { return play_; }

    // Each opens its window, wired to what comes next, and returns it.
    SplashWindow* ShowSplash();
    SetupWindow* ShowSetup();
    BuilderWindow* ShowBuilder();
    ChoiceWindow* ShowChoice();
    // Prepares a new connection; on acceptance the radar window takes over.
    ConnectionWindow* ShowConnection();
    // Opens the radar window and runs its load.
    RadarWindow* ShowRadar();
    // Shows the chat window, making it for a new session.
    ChatWindow* ShowChat();
    // Each locks the radar window while its window is up.
    PreferencesWindow* ShowPreferences();
    AirportsListWindow* ShowAirportsList();
    AboutWindow* ShowAbout();
    // Neither locks the radar window: the aids apply to the live scope, and
    // the traffic list centres it.
    RadarAidsWindow* ShowRadarAids();
    TrafficListWindow* ShowTrafficList();
    // "Load all airports and ARTCC/FIRs": the choice window over the locked
    // radar window; a new choice recentres the scope in the same session.
    ChoiceWindow* ShowAllAirports();
    // "Create new database files": asks, deletes the program's files, leaves
    // the session and ends the program; Cancel gives the scope back.
    void RenewDatabases();

    RadarWindow* Radar() const;
    PreferencesWindow* Preferences() const;
    AirportsListWindow* AirportsList() const;
    AboutWindow* About() const;
    ConnectionWindow* Connection() const;
    ChatWindow* Chat() const;
    RadarAidsWindow* AidsWindow() const;
    TrafficListWindow* TrafficListShown() const;
    // The session joined, while the radar window is up with one.
    JoinedSession* Joined() const { return joined_.get(); }

    // Timer1 and Timer3 of the joined session (public so tests need not wait).
    void ReceiveTick();
    void UpkeepTick();

    // The choice window's hand-over once an area is gathered: the connection
    // window when no session is joined, otherwise the radar window, re-centred.
    virtual void AreaChosen();
    // The choice window closed without a choice: with a session the radar
    // window is given back; without one the program ends.
    virtual void ChoiceClosed();
    virtual void EndProgram();

   private:
    WindowFlow(ProgramState& state, PlayObjects* play, MessageBoxes& boxes, std::string workDirectory,
               QObject* parent);
    // Locks the radar window until `window` finishes.
    template <typename Window>
    Window* LockRadarFor(Window* window);
    void RadarClosed();
    // The radar window loaded with a session joined: the session runs.
    void StartSession();
    // The radar window is closing: the session is left, and a fresh
    // connection window comes.
    void RadarDisconnected();
    // The session is left without a connection window to come.
    void LeaveJoinedSession();
    // Back to a fresh connection window.
    void SessionLeft();
    // What the session's ticks report, to the windows that show it.
    void Tell(const SessionEvents& events);
    void SeekReplay(std::chrono::milliseconds time);
    // The aids changed: the conflict watch looks again.
    void RewatchConflicts();
    // The aids changed in one window: the other follows, and the user's
    // configuration keeps them.
    void AidsEdited();
    void AidsToggled();

    ProgramState& state_;
    std::shared_ptr<SessionRecords> records_;
    std::unique_ptr<PlayObjects> ownPlay_;
    PlayObjects& play_;
    MessageBoxes& boxes_;
    std::string workDirectory_;
    SessionClock sessionClock_ = SteadyLinkClock();
    // Made at the radar window's load with a session joined, gone when it is
    // left; before the session objects it uses are released.
    std::unique_ptr<JoinedSession> joined_;
    QTimer* receiveTimer_;
    QTimer* upkeepTimer_;
    QPointer<RadarWindow> radar_;
    QPointer<PreferencesWindow> preferences_;
    QPointer<AirportsListWindow> airportsList_;
    QPointer<AboutWindow> about_;
    QPointer<ChoiceWindow> choice_;
    QPointer<ConnectionWindow> connection_;
    QPointer<ChatWindow> chat_;
    QPointer<RadarAidsWindow> radarAids_;
    QPointer<TrafficListWindow> trafficList_;
    InstallationPlaces installationPlaces_;
    bool offerDemo_ = false;
    bool offerReplay_ = false;
};

// The joined session's ticks, named as the radar window's were: they run the
// session apart from the windows.
inline constexpr char kReceiveTimerName[] = "Timer1";
inline constexpr char kUpkeepTimerName[] = "Timer3";

}  // namespace tarnwick
