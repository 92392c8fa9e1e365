#pragma once
// The radar window: the scope picture with its zoom and centre buttons, the
// periodic redraw, the hover readouts and the menus. The view and the drawing
// are core logic; this window owns the view's state and its two timers. It
// reads the session's tables but does not run the session: the window flow
// does, and hands it what the session's ticks report.
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "base/message_boxes.h"
#include "geo/declination_grid.h"
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
#include "traffic/scope_traffic.h"

namespace tarnwick {

class ConflictPanel;
class RecordControls;
struct SessionRecords;

class RadarWindow : public QMainWindow, private PointerHost {
    Q_OBJECT
   public:
    // `session` is read for the traffic; `aids` are the controller's radar
    // aids, which its shortcuts toggle.
    RadarWindow(const ChosenArea& area, DisplayOptions& display, RadarAids& aids, const DeclinationGrid& grid,
                const SessionState& session, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~RadarWindow() override;

    // The recorder and the replay's clock of the program's session objects:
    // the File menu records, and a replay gets its controls.
    void SetRecords(std::shared_ptr<SessionRecords> records);

    // With a session joined: caption, view on the area's centre, display
    // switches, the redraw and hover timers and the chat window. Without one
    // nothing happens.
    void Load();
    // "> Disconnect": closes the window, which leaves the session.
    void Disconnect();

    // Timer4 (public so tests need not wait).
    void HoverTick();

    const RadarView& View() const { return view_; }
    ScopePicture* Scope() { return scope_; }

    // Moves the view's centre to a longitude and a latitude and redraws (the
    // view's Center_Airport): the "C" button, the right mouse button, the
    // airports and traffic lists, and a new area in the same session.
    void CenterOn(double lon, double lat) override;
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
    // The session was left for good, without the connection window: the
    // program is about to end, and closing the window leaves nothing more.
    void SessionGone();

    // One periodic redraw: clear, background layers, traffic.
    void RedrawNow();
    // The aids changed: the shortcuts' marks follow, the conflict watch is
    // asked to look again (AidsShown) and the scope is redrawn at once,
    // unless another window holds it.
    void ShowAidsChanged();
    // The conflict alert's list at the session's time `time`; a new alert
    // (`started`) sounds when the aids ask for it.
    void ShowConflicts(const std::vector<ConflictAlert>& alerts, std::chrono::milliseconds time,
                       std::size_t started);
    // After each receive tick: the recording's size, the replay's time.
    void ShowRecordProgress();
    // The replay went to another moment: its bar, and the scope at once
    // unless another window holds it.
    void ShowReplayMoved();

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
    // The window is closing with the session joined: the session is to be
    // left, the chat window to close and the connection window to open.
    void Disconnected();
    // The user moved the replay's position: the replay is to go there.
    void ReplaySeekRequested(std::chrono::milliseconds time);
    // The aids the scope shows changed: the conflict watch is to look again.
    void AidsShown();

   private:
    // The pointer handling's requests.
    void SetPeriodicRedraw(bool running) override;
    void DrawMeasuring(GeoPosition anchor, GeoPosition pointer) override;
    void ShowBox(const std::string& text) override;
    void HideBox() override;

    void AddMenus();
    void AddAidShortcuts(QMenu* options);
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
    void DrawPass();
    template <typename Draw>
    void DrawOnPicture(Draw draw);
    QString Caption() const;

    const ChosenArea& area_;
    DisplayOptions& display_;
    RadarAids& aids_;
    const DeclinationGrid& grid_;
    const SessionState& session_;
    MessageBoxes& boxes_;
    bool disconnected_ = false;
    bool loaded_ = false;
    bool locked_ = false;
    RadarView view_;
    HoverTarget hover_;
    PointerReadouts readouts_{*this, hover_};
    QPointF pointerPx_;
    // Over the picture: its aircraft's label is written on top.
    std::optional<ScreenPoint> pointerOverPicture_;
    LabelPlaces labelPlaces_;
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
    QTimer* redrawTimer_;
    QTimer* hoverTimer_;
    // Options menu: the aids toggled most, with their shortcuts.
    QAction* historyAction_ = nullptr;
    QAction* vectorsAction_ = nullptr;
    QAction* dataBlockAction_ = nullptr;
    QAction* labelsAction_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    RecordControls* recordControls_ = nullptr;
};

// The window's, its controls', timers' and menus' object names, by which
// tests find them.
inline constexpr char kRadarWindowName[] = "Form1";
inline constexpr char kZoomInButtonName[] = "Command5";
inline constexpr char kCentreButtonName[] = "Command2";
inline constexpr char kZoomOutButtonName[] = "Command6";
inline constexpr char kDisconnectButtonName[] = "Command3";
inline constexpr char kShowAllTrafficButtonName[] = "show_all_traffic_button";
inline constexpr char kZoomCaptionLabelName[] = "Label6";
inline constexpr char kZoomLevelLabelName[] = "Label7";
inline constexpr char kHoverBoxName[] = "Label1";
inline constexpr char kRedrawTimerName[] = "Timer2";
inline constexpr char kHoverTimerName[] = "Timer4";
inline constexpr char kFileMenuName[] = "fil_menu1";
inline constexpr char kLoadAllAreasActionName[] = "load_all_db_files";
inline constexpr char kNewDatabasesActionName[] = "create_new_db1";
inline constexpr char kViewMenuName[] = "view_op1";
inline constexpr char kAirportsListActionName[] = "show_airpts_list1";
inline constexpr char kChatWindowActionName[] = "show_chat_win_op1";
inline constexpr char kTrafficListActionName[] = "show_traffic_list_op";
inline constexpr char kZoomInFastActionName[] = "zoom_in_fast_op";
inline constexpr char kZoomOutFastActionName[] = "zoom_out_fast_op";
inline constexpr char kShowAllTrafficActionName[] = "show_all_traffic_op";
inline constexpr char kOptionsMenuName[] = "ops_list1";
inline constexpr char kPreferencesActionName[] = "preferences_op1";
inline constexpr char kRadarAidsActionName[] = "radar_aids_op";
inline constexpr char kHistoryAidActionName[] = "history_aid_op";
inline constexpr char kVectorsAidActionName[] = "vectors_aid_op";
inline constexpr char kLabelsAidActionName[] = "labels_aid_op";
inline constexpr char kDataBlockAidActionName[] = "datablock_aid_op";
inline constexpr char kAboutMenuName[] = "abot_op1";
inline constexpr char kUsersGuideActionName[] = "users_guide_op";
inline constexpr char kAboutActionName[] = "about_program1";

}  // namespace tarnwick
