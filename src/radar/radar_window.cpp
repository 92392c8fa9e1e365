#include "radar/radar_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <initializer_list>

#include "base/ansi.h"
#include "base/program_name.h"
#include "radar/aids/qt_conflict_panel.h"
#include "radar/aids/scope_aids.h"
#include "radar/hover_box.h"
#include "radar/measuring_line.h"
#include "radar/qt_painter_canvas.h"
#include "radar/qt_record_controls.h"
#include "radar/qt_user_guide.h"
#include "radar/qt_view_store.h"
#include "radar/scope_redraw.h"
#include "radar/traffic_fit.h"

namespace tarnwick {

namespace {

constexpr int kRedrawIntervalMs = 1000;
constexpr int kHoverIntervalMs = 500;
const char* const kTitle = kProgramName;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect geometry,
                        bool largeFont) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    if (largeFont) {
        QFont font = button->font();
        font.setPointSize(12);
        button->setFont(font);
    }
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setStyleSheet("color: rgb(0, 192, 0); background: transparent;");
    return label;
}

// The hover box: a plain label in the tooltip's colours, sized to its text.
// The pointer passes through it to the picture.
QLabel* MakeHoverBox(QWidget* picture) {
    auto* label = new QLabel("This is the Tooltiptext Control", picture);
    label->setObjectName(kHoverBoxName);
    label->setTextFormat(Qt::PlainText);
    label->setPalette(QToolTip::palette());
    label->setFont(QToolTip::font());
    label->setAutoFillBackground(true);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setMargin(2);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QTimer* MakeTimer(QObject* parent, const char* name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

}  // namespace

RadarWindow::RadarWindow(const ChosenArea& area, DisplayOptions& display, RadarAids& aids,
                         const DeclinationGrid& grid, const SessionState& session, MessageBoxes& boxes,
                         QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      area_(area),
      display_(display),
      aids_(aids),
      grid_(grid),
      session_(session),
      boxes_(boxes),
      scope_(new ScopePicture(this)),
      redrawTimer_(MakeTimer(this, kRedrawTimerName, kRedrawIntervalMs)),
      hoverTimer_(MakeTimer(this, kHoverTimerName, kHoverIntervalMs)) {
    setObjectName(kRadarWindowName);
    setWindowTitle(QString(kTitle) + " ");
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(scope_);

    zoomInButton_ = MakeButton(scope_, kZoomInButtonName, "+", QRect(8, 16, 25, 20), true);
    centreButton_ = MakeButton(scope_, kCentreButtonName, "C", QRect(8, 48, 25, 20), false);
    zoomOutButton_ = MakeButton(scope_, kZoomOutButtonName, "-", QRect(8, 80, 25, 20), true);
    disconnectButton_ =
        MakeButton(scope_, kDisconnectButtonName, "> Disconnect", QRect(8, 112, 97, 25), false);
    zoomLabel_ = MakeLabel(scope_, kZoomCaptionLabelName, "Zoom:", QRect(8, 152, 41, 17));
    zoomLevelLabel_ = MakeLabel(scope_, kZoomLevelLabelName, "0x", QRect(48, 152, 25, 17));
    // Under the zoom level, in the column of the buttons above.
    showAllButton_ = MakeButton(scope_, kShowAllTrafficButtonName, "All", QRect(8, 176, 25, 20), false);
    showAllButton_->setToolTip("Show all traffic (Home)");
    hoverBox_ = MakeHoverBox(scope_);
    conflictPanel_ = new ConflictPanel(scope_);

    connect(zoomInButton_, &QPushButton::clicked, this, [this] { Zoom(1); });
    connect(zoomOutButton_, &QPushButton::clicked, this, [this] { Zoom(-1); });
    connect(centreButton_, &QPushButton::clicked, this,
            [this] { CenterOn(area_.AreaCenterLon, area_.AreaCenterLat); });
    connect(showAllButton_, &QPushButton::clicked, this, &RadarWindow::ShowAllTraffic);
    // One wheel notch is one press of "+" or "-"; with Ctrl, five.
    scope_->OnWheel = [this](int notches, bool fast) { Zoom(notches * (fast ? kFastZoomLevels : 1)); };
    scope_->OnResized = [this] { PictureResized(); };
    // Pointer events arrive in the picture's user scale: longitude, latitude.
    scope_->OnButtonDown = [this](int button, QPointF at) {
        if (!loaded_) return;
        pointerPx_ = at;
        readouts_.ButtonDown(button, PictureToGeo(view_, at.x(), at.y()));
    };
    scope_->OnPointerMove = [this](QPointF at) {
        if (!loaded_) return;
        pointerPx_ = at;
        pointerOverPicture_ =
            ScreenPoint{static_cast<std::int32_t>(at.x()), static_cast<std::int32_t>(at.y())};
        readouts_.PointerMove(PictureToGeo(view_, at.x(), at.y()));
    };
    scope_->OnPointerLeft = [this] { pointerOverPicture_.reset(); };
    scope_->OnButtonUp = [this](int button) {
        if (loaded_) readouts_.ButtonUp(button);
    };
    connect(disconnectButton_, &QPushButton::clicked, this, &RadarWindow::Disconnect);

    connect(redrawTimer_, &QTimer::timeout, this, &RadarWindow::RedrawNow);
    connect(hoverTimer_, &QTimer::timeout, this, &RadarWindow::HoverTick);

    AddMenus();
    resize(ScopePicture::kInitialWidth, ScopePicture::kInitialHeight + menuBar()->sizeHint().height());
}

RadarWindow::~RadarWindow() = default;

void RadarWindow::AddMenus() {
    const auto addMenu = [this](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        return menu;
    };
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                                void (RadarWindow::*signal)()) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, signal);
    };
    QMenu* file = addMenu(kFileMenuName, "File");
    fileMenu_ = file;
    addItem(file, kLoadAllAreasActionName, "Load all airports and ARTCC/FIRs",
            &RadarWindow::AllAirportsRequested);
    addItem(file, kNewDatabasesActionName, "Create new database files", &RadarWindow::NewDatabasesRequested);
    QMenu* view = addMenu(kViewMenuName, "View");
    addItem(view, kAirportsListActionName, "Show area's airports list", &RadarWindow::AirportsListRequested);
    addItem(view, kChatWindowActionName, "Show the chat window", &RadarWindow::ChatWindowRequested);
    addItem(view, kTrafficListActionName, "Show traffic list", &RadarWindow::TrafficListRequested);
    AddViewItems(view);
    QMenu* options = addMenu(kOptionsMenuName, "Options");
    addItem(options, kPreferencesActionName, "Preferences", &RadarWindow::PreferencesRequested);
    addItem(options, kRadarAidsActionName, "Radar aids", &RadarWindow::RadarAidsRequested);
    AddAidShortcuts(options);
    QMenu* about = addMenu(kAboutMenuName, "About");
    // The About menu is the program's help menu: the guide comes first.
    QAction* guide = about->addAction("User's guide");
    guide->setObjectName(kUsersGuideActionName);
    guide->setShortcut(QKeySequence::HelpContents);
    connect(guide, &QAction::triggered, this, [this] { OpenUserGuide(boxes_); });
    addItem(about, kAboutActionName, QString("About ") + kTitle, &RadarWindow::AboutRequested);
}

// The aids a controller toggles most, each under a key of its own.
void RadarWindow::AddAidShortcuts(QMenu* options) {
    options->addSeparator();
    const auto addToggle = [&](const char* name, bool RadarAids::*field, const QKeySequence& keys) {
        const auto aid = std::find_if(kAidSwitches.begin(), kAidSwitches.end(),
                                      [&](const AidSwitch& a) { return a.Field == field; });
        QAction* action = options->addAction(aid->Caption);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, field](bool on) {
            aids_.*field = on;
            ShowAidsChanged();
            emit AidsToggled();
        });
        return action;
    };
    historyAction_ = addToggle(kHistoryAidActionName, &RadarAids::History, QKeySequence("Ctrl+H"));
    vectorsAction_ = addToggle(kVectorsAidActionName, &RadarAids::Vectors, QKeySequence("Ctrl+V"));
    labelsAction_ = addToggle(kLabelsAidActionName, &RadarAids::Labels, QKeySequence("Ctrl+L"));
    dataBlockAction_ = addToggle(kDataBlockAidActionName, &RadarAids::DataBlock, QKeySequence("Ctrl+B"));
    ShowAidsChanged();
}

// Quicker ways to the view wanted than one level a click.
void RadarWindow::AddViewItems(QMenu* view) {
    view->addSeparator();
    const auto addKey = [&](const char* name, const char* caption, Qt::Key key, auto action) {
        QAction* item = view->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(QKeySequence(key));
        connect(item, &QAction::triggered, this, action);
    };
    addKey(kZoomInFastActionName, "Zoom in five levels", Qt::Key_PageUp, [this] { Zoom(kFastZoomLevels); });
    addKey(kZoomOutFastActionName, "Zoom out five levels", Qt::Key_PageDown,
           [this] { Zoom(-kFastZoomLevels); });
    addKey(kShowAllTrafficActionName, "Show all traffic", Qt::Key_Home, [this] { ShowAllTraffic(); });
}

void RadarWindow::ShowAidsChanged() {
    historyAction_->setChecked(aids_.History);
    vectorsAction_->setChecked(aids_.Vectors);
    labelsAction_->setChecked(aids_.Labels);
    dataBlockAction_->setChecked(aids_.DataBlock);
    if (loaded_ && !disconnected_) emit AidsShown();
    if (loaded_ && !locked_ && !disconnected_) RedrawNow();
}

void RadarWindow::SetRecords(std::shared_ptr<SessionRecords> records) {
    if (recordControls_ || !records) return;
    recordControls_ = new RecordControls(this, fileMenu_, scope_, std::move(records), area_, boxes_);
    connect(recordControls_, &RecordControls::CaptionChanged, this, [this] {
        recordControls_->ShowState();
        setWindowTitle(Caption());
    });
    connect(recordControls_, &RecordControls::SeekRequested, this, &RadarWindow::ReplaySeekRequested);
}

void RadarWindow::Load() {
    // Without a session the scope stays empty and inactive.
    if (!session_.SessionConnected || loaded_) return;
    if (recordControls_) recordControls_->ShowState();
    setWindowTitle(Caption());
    scope_->ClearImage();
    // A new area opens at level 9 on its centre; one seen before where it was left.
    InitializeView(view_, scope_->width(), scope_->height(), area_.AreaCenterLat, area_.AreaCenterLon);
    viewKey_ = RememberedViewKey(area_.AreaKind, area_.AreaTitle);
    keptView_ = LoadRememberedView(viewKey_);
    if (keptView_) ShowRememberedView(view_, *keptView_);
    zoomLevelLabel_->setText(QString::fromStdString(ZoomCaption(view_.ZoomLevel)));
    SwitchOnAtRadarLoad(display_);
    hoverBox_->clear();
    hoverBox_->adjustSize();
    hoverBox_->hide();
    hover_.Clear();
    loaded_ = true;
    StartTimers();
    emit ChatWindowRequested();
}

void RadarWindow::Disconnect() { close(); }

// Closing the window leaves the session, as "> Disconnect" does.
void RadarWindow::closeEvent(QCloseEvent* event) {
    // The windows it is locked for go first and give it back.
    emit Closed();
    KeepView();
    if (!disconnected_) {
        disconnected_ = true;
        disconnectButton_->setText("PLEASE WAIT...");
        disconnectButton_->repaint();
        StopTimers();
        emit Disconnected();
    }
    event->accept();
}

void RadarWindow::ShowRecordProgress() {
    if (recordControls_) recordControls_->ShowProgress();
}

void RadarWindow::ShowReplayMoved() {
    ShowRecordProgress();
    if (!locked_ && !disconnected_) RedrawNow();
}

void RadarWindow::HoverTick() {
    if (!loaded_) return;
    readouts_.HoverTick({view_, area_, display_, Traffic()});
}

ScopeTraffic RadarWindow::Traffic() const {
    return {session_.Traffic, session_.OwnPlayerId, session_.OwnName, ShownBand(aids_)};
}

void RadarWindow::ShowConflicts(const std::vector<ConflictAlert>& alerts, std::chrono::milliseconds time,
                                std::size_t started) {
    conflictPanel_->ShowAlerts(alerts, time, started > 0 && aids_.AlertSound);
}

void RadarWindow::SetPeriodicRedraw(bool running) {
    if (running && !locked_ && !disconnected_) {
        redrawTimer_->start();
    } else {
        redrawTimer_->stop();
    }
}

void RadarWindow::DrawMeasuring(GeoPosition anchor, GeoPosition pointer) {
    scope_->ClearImage();
    DrawOnPicture([&](const ScopeContext& scope) { DrawMeasuringMove(scope, anchor, pointer); });
    scope_->repaint();
}

void RadarWindow::ShowBox(const std::string& text) {
    QString caption = QString::fromStdString(AnsiToUtf8(text));
    caption.replace("\r\n", "\n");
    hoverBox_->setText(caption);
    hoverBox_->adjustSize();
    const ScreenPoint at =
        PlaceHoverBox({static_cast<std::int32_t>(pointerPx_.x()), static_cast<std::int32_t>(pointerPx_.y())},
                      {hoverBox_->width(), hoverBox_->height()}, {scope_->width(), scope_->height()});
    hoverBox_->move(at.X, at.Y);
    hoverBox_->show();
    hoverBox_->raise();
}

void RadarWindow::HideBox() {
    hoverBox_->hide();
    hoverBox_->clear();
}

void RadarWindow::SessionGone() {
    disconnected_ = true;
    StopTimers();
}

QString RadarWindow::Caption() const {
    return QString(kTitle) + " - " + QString::fromStdString(AnsiToUtf8(area_.AreaTitle)) +
           (recordControls_ ? recordControls_->CaptionSuffix() : QString());
}

void RadarWindow::StopTimers() {
    redrawTimer_->stop();
    hoverTimer_->stop();
}

void RadarWindow::StartTimers() {
    // A view change while measuring keeps the periodic redraw off: it would
    // wipe the line until the button comes up.
    if (!readouts_.MeasureActive()) redrawTimer_->start();
    hoverTimer_->start();
}

template <typename Draw>
void RadarWindow::DrawOnPicture(Draw draw) {
    QPainter painter(&scope_->Image());
    if (!scopeMetrics_) scopeMetrics_ = QtTextMetrics(ScopeFont(painter.font()));
    QtPainterCanvas canvas(painter, scope_->Image().width(), scope_->Image().height(), *scopeMetrics_);
    const ScopeAids aids{aids_, session_.Motion, &labelPlaces_, pointerOverPicture_};
    const ScopeContext scope{canvas, view_, area_, display_, grid_, hover_, Traffic(), &aids};
    draw(scope);
    painter.end();
    scope_->update();
}

void RadarWindow::DrawPass() {
    DrawOnPicture([](const ScopeContext& scope) { RedrawScopeAndTraffic(scope); });
}

void RadarWindow::RedrawNow() {
    scope_->ClearImage();
    DrawPass();
    KeepView();
}

void RadarWindow::Zoom(int levels) {
    if (!loaded_ || locked_) return;
    StopTimers();
    scope_->ClearImage();
    // At a limit the step changes nothing, but the scope is still redrawn.
    if (ZoomBy(view_, levels) != 0) {
        zoomLevelLabel_->setText(QString::fromStdString(ZoomCaption(view_.ZoomLevel)));
        zoomLevelLabel_->repaint();
    }
    DrawPass();
    StartTimers();
}

void RadarWindow::ShowAllTraffic() {
    if (!loaded_ || locked_) return;
    if (const std::optional<RememberedView> all = ViewShowingAll(Traffic())) ShowView(*all);
}

void RadarWindow::ShowView(const RememberedView& shown) {
    StopTimers();
    scope_->ClearImage();
    ShowRememberedView(view_, shown);
    zoomLevelLabel_->setText(QString::fromStdString(ZoomCaption(view_.ZoomLevel)));
    DrawPass();
    StartTimers();
}

void RadarWindow::KeepView() {
    if (!loaded_) return;
    const RememberedView now = RememberedViewOf(view_);
    if (keptView_ == now) return;
    SaveRememberedView(viewKey_, now);
    keptView_ = now;
}

void RadarWindow::CenterOn(double lon, double lat) {
    if (!loaded_) return;
    StopTimers();
    scope_->ClearImage();
    Center_Airport(view_, lon, lat);
    DrawPass();
    StartTimers();
}

void RadarWindow::TakeBackArea() {
    Unlock();
    setWindowTitle(Caption());
    update();
    // The area left keeps its view; another area seen before comes back as
    // it was left, any other is centred at the present zoom.
    KeepView();
    const std::string key = RememberedViewKey(area_.AreaKind, area_.AreaTitle);
    const std::optional<RememberedView> remembered =
        key != viewKey_ && loaded_ ? LoadRememberedView(key) : std::nullopt;
    viewKey_ = key;
    keptView_.reset();
    if (remembered) {
        ShowView(*remembered);
    } else {
        CenterOn(area_.AreaCenterLon, area_.AreaCenterLat);
    }
}

// The controls another window's lock disables: the picture and the four buttons.
void RadarWindow::EnableScopeControls(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             scope_, centreButton_, zoomInButton_, zoomOutButton_, disconnectButton_, showAllButton_})
        control->setEnabled(enabled);
}

void RadarWindow::Lock() {
    locked_ = true;
    setEnabled(false);
    StopTimers();
    EnableScopeControls(false);
}

void RadarWindow::Unlock() {
    locked_ = false;
    setEnabled(true);
    if (loaded_) StartTimers();
    EnableScopeControls(true);
}

// The same geographic rectangle is stretched over the new size at the next
// tick; a minimized window does not redraw.
void RadarWindow::PictureResized() {
    redrawTimer_->stop();
    if (isMinimized()) return;
    view_.PictureWidthPx = scope_->width();
    view_.PictureHeightPx = scope_->height();
    if (loaded_ && !locked_) redrawTimer_->start();
}

void RadarWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) PictureResized();
}

}  // namespace tarnwick
