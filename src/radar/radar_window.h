#pragma once
// The radar window: the scope picture with its zoom and centre buttons, the
// periodic redraw, the session's receive and upkeep ticks, and the menus. The
// view, the drawing and the session link are core logic; this window owns
// their state and timers and passes on what the ticks report.
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/message_boxes.h"
#include "geo/declination_grid.h"
#include "multiplayer/play_objects.h"
#include "multiplayer/session_link.h"
#include "radar/aids/label_places.h"
#include "radar/hover_target.h"
#include "radar/pointer_readouts.h"
#include "radar/qt_scope_picture.h"
#include "radar/radar_view.h"
#include "radar/remembered_view.h"
#include "radar/text_metrics.h"
#include "state/chosen_area.h"
#include "state/display_options.h"
#include "state/radar_aids.h"
#include "state/session_state.h"
#include "traffic/conflict_watch.h"

namespace tarnwick {

class ConflictPanel;
class RecordControls;
class ReplayPlayback;
struct SessionRecords;

class RadarWindow : public QMainWindow, private PointerHost {
    Q_OBJECT
   public:
    // `play` holds the joined session's objects; the window leaves the
    // session through them when it closes. `aids` are the controller's radar
    // aids, which its shortcuts toggle.
    RadarWindow(const ChosenArea& area, DisplayOptions& display, RadarAids& aids, const DeclinationGrid& grid,
                SessionState& session, PlayObjects& play, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~RadarWindow() override;

    // The recorder and the replay's clock of the program's session objects:
    // the File menu records, and a replay gets its controls.
    void SetRecords(std::shared_ptr<SessionRecords> records);

    using Clock = std::function<std::chrono::milliseconds()>;
    // The session's time for the motion history and the conflict alerts (by
    // default the steady clock), for tests to drive.
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // With a session joined: caption, view on the area's centre, display
    // switches, the four timers, the chat window and the identification
    // request. Without one nothing happens.
    void Load();
    // "> Disconnect": leaves the session and closes the window.
    void Disconnect();

    // Timer1, Timer3 and Timer4 (public so tests need not wait).
    void ReceiveTick();
    void MaintenanceTick();
    void HoverTick();
    // A replay goes to another moment of its recording (the replay bar's slider).
    void SeekReplay(std::chrono::milliseconds time);

    const RadarView& View() const { return view_; }
    ScopePicture* Scope() { return scope_; }

    // Moves the view's centre to a longitude (x) and latitude (y) and redraws.
    void Center_Airport(double airpt_loc_x, double airpt_loc_y);
    // Up to `levels` zoom steps in (positive) or out, with one redraw.
    void Zoom(int levels);
    // The closest view that holds every aircraft the scope shows; without
    // any, the view stays.
    void ShowAllTraffic();
    // A new area chosen while the scope is up: caption, unlock, recentre.
    void TakeBackArea();

    // Another window takes over: the scope freezes until it gives it back.
    void Lock();
    void Unlock();
    // The session is left for good, without the connection window: the
    // program is about to end. Failures are passed over.
    void LeaveSessionForGood();

    // One periodic redraw: clear, background layers, traffic.
    void RedrawNow();
    // The aids changed: the shortcuts' marks follow and the scope is redrawn
    // at once, unless another window holds it.
    void ShowAidsChanged();

   protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

   signals:
    // The menu commands; the window that opens locks the scope until it closes.
    void AllAirportsRequested();
    void NewDatabasesRequested();
    void AirportsListRequested();
    void PreferencesRequested();
    void AboutRequested();
    // Options, "Radar aids", and View, "Show traffic list": windows that
    // leave the scope live.
    void RadarAidsRequested();
    void TrafficListRequested();
    // A shortcut toggled an aid.
    void AidsToggled();
    // The window is closing: the windows it is locked for go with it.
    void Closed();
    // The load and the menu's "Show the chat window".
    void ChatWindowRequested();
    // A line for the chat log in Windows-1252: "name: text".
    void ChatLineReceived(const std::string& line);
    // The traffic table's names changed.
    void PlayerListChanged();
    // The session is left: the chat window is to close and the connection
    // window to open. The radar window closes itself.
    void Disconnected();

   private:
    // The pointer handling's requests.
    void SetPeriodicRedraw(bool running) override;
    void CenterOn(double lon, double lat) override;
    void DrawMeasuring(GeoPosition anchor, GeoPosition pointer) override;
    void ShowBox(const std::string& text) override;
    void HideBox() override;

    void AddMenus();
    void AddAidShortcuts(QMenu* options);
    void TrafficMoved();
    void ShowConflicts(std::chrono::milliseconds now);
    ScopeTraffic Traffic() const;
    void AddViewItems(QMenu* view);
    void ShowView(const RememberedView& shown);
    // The view goes to the user's configuration under the area's key when it
    // changed since it last went there.
    void KeepView();
    void PictureResized();
    void EnableScopeControls(bool enabled);
    void StopTimers();
    void StartTimers();
    void StartSessionTimers();
    void StopSessionTimers();
    void HandleLinkEvents(const LinkEvents& events);
    void DrawPass();
    template <typename Draw>
    void DrawOnPicture(Draw draw);
    QString Caption() const;

    const ChosenArea& area_;
    DisplayOptions& display_;
    RadarAids& aids_;
    const DeclinationGrid& grid_;
    SessionState& session_;
    PlayObjects& play_;
    MessageBoxes& boxes_;
    std::unique_ptr<SessionLink> link_;
    // While a recording is replayed: its receive tick and its seeking.
    std::unique_ptr<ReplayPlayback> playback_;
    bool disconnected_ = false;
    bool loaded_ = false;
    bool locked_ = false;
    RadarView view_;
    HoverTarget hover_;
    PointerReadouts readouts_{*this, hover_};
    QPointF pointerPx_;
    // Over the picture: its aircraft's label is written on top.
    std::optional<ScreenPoint> pointerOverPicture_;
    Clock clock_;
    LabelPlaces labelPlaces_;
    ConflictWatch conflictWatch_;
    // The scope font's, measured once.
    std::optional<TextMetrics> scopeMetrics_;
    // The area the view belongs to, and the view last kept for it.
    std::string viewKey_;
    std::optional<RememberedView> keptView_;

    ScopePicture* scope_;
    QPushButton* zoomInButton_;
    QPushButton* centreButton_;
    QPushButton* zoomOutButton_;
    QPushButton* disconnectButton_;
    QPushButton* showAllButton_;
    QLabel* zoomLabel_;
    QLabel* zoomLevelLabel_;
    QLabel* hoverBox_;
    ConflictPanel* conflictPanel_;
    QTimer* receiveTimer_;
    QTimer* redrawTimer_;
    QTimer* upkeepTimer_;
    QTimer* hoverTimer_;
    // Options menu: the aids toggled most, with their shortcuts.
    QAction* historyAction_ = nullptr;
    QAction* vectorsAction_ = nullptr;
    QAction* dataBlockAction_ = nullptr;
    QAction* labelsAction_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    RecordControls* recordControls_ = nullptr;
};

}  // namespace tarnwick
