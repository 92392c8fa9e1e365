#include "radar/radar_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <initializer_list>

#include "base/ansi.h"
#include "base/program_name.h"
#include "multiplayer/session_connection.h"
#include "radar/aids/scope_aids.h"
#include "radar/hover_box.h"
#include "radar/measuring_line.h"
#include "radar/qt_painter_canvas.h"
#include "radar/qt_record_controls.h"
#include "radar/scope_redraw.h"

namespace tarnwick {

namespace {

constexpr int kReceiveIntervalMs = 100;
constexpr int kRedrawIntervalMs = 1000;
constexpr int kMaintenanceIntervalMs = 30000;
constexpr int kHoverIntervalMs = 500;
constexpr int kInitialPictureWidth = 800;
constexpr int kInitialPictureHeight = 600;
constexpr int kWheelNotch = 120;
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
    label->setObjectName("Label1");
    label->setTextFormat(Qt::PlainText);
    label->setPalette(QToolTip::palette());
    label->setFont(QToolTip::font());
    label->setAutoFillBackground(true);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setMargin(2);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// The picture's code of one button; other buttons do nothing.
int ButtonCode(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return kLeftButton;
    if (button == Qt::RightButton) return kRightButton;
    return 0;
}

QTimer* MakeTimer(QObject* parent, const char* name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

}  // namespace

ScopePicture::ScopePicture(QWidget* parent) : QWidget(parent) {
    setObjectName("Picture1");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(kInitialPictureWidth, kInitialPictureHeight);
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(Qt::black);
}

void ScopePicture::ClearImage() {
    image_.fill(Qt::black);
    update();
}

void ScopePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

void ScopePicture::resizeEvent(QResizeEvent* event) {
    if (event->size() != image_.size() && !event->size().isEmpty()) {
        // What was drawn stays where it was until the next redraw.
        QImage resized(event->size(), QImage::Format_RGB32);
        resized.fill(Qt::black);
        QPainter(&resized).drawImage(0, 0, image_);
        image_ = resized;
    }
    if (OnResized) OnResized();
}

void ScopePicture::mousePressEvent(QMouseEvent* event) {
    // The other button while one is held is a combination.
    const bool alone = (event->buttons() & ~event->button()) == Qt::NoButton;
    const int button = alone ? ButtonCode(event->button()) : 0;
    if (button != 0 && OnButtonDown) OnButtonDown(button, event->position());
    event->accept();
}

void ScopePicture::mouseMoveEvent(QMouseEvent* event) {
    if (OnPointerMove) OnPointerMove(event->position());
    event->accept();
}

void ScopePicture::mouseReleaseEvent(QMouseEvent* event) {
    // A release is of one button, whatever else is still held: the left
    // button coming up ends measuring even while another one is down.
    const int button = ButtonCode(event->button());
    if (button != 0 && OnButtonUp) OnButtonUp(button);
    event->accept();
}

void ScopePicture::leaveEvent(QEvent* event) {
    if (OnPointerLeft) OnPointerLeft();
    QWidget::leaveEvent(event);
}

void ScopePicture::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches != 0 && OnWheel) OnWheel(notches);
    event->accept();
}

RadarWindow::RadarWindow(const ChosenArea& area, DisplayOptions& display, RadarAids& aids,
                         const DeclinationGrid& grid, SessionState& session, PlayObjects& play,
                         MessageBoxes& boxes, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      area_(area),
      display_(display),
      aids_(aids),
      grid_(grid),
      session_(session),
      play_(play),
      boxes_(boxes),
      clock_([] {
          return std::chrono::duration_cast<std::chrono::milliseconds>(
              std::chrono::steady_clock::now().time_since_epoch());
      }),
      picture1_(new ScopePicture(this)),
      timer1_(MakeTimer(this, "Timer1", kReceiveIntervalMs)),
      timer2_(MakeTimer(this, "Timer2", kRedrawIntervalMs)),
      timer3_(MakeTimer(this, "Timer3", kMaintenanceIntervalMs)),
      timer4_(MakeTimer(this, "Timer4", kHoverIntervalMs)) {
    setObjectName("Form1");
    setWindowTitle(QString(kTitle) + " ");
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(picture1_);

    command5_ = MakeButton(picture1_, "Command5", "+", QRect(8, 16, 25, 20), true);
    command2_ = MakeButton(picture1_, "Command2", "C", QRect(8, 48, 25, 20), false);
    command6_ = MakeButton(picture1_, "Command6", "-", QRect(8, 80, 25, 20), true);
    command3_ = MakeButton(picture1_, "Command3", "> Disconnect", QRect(8, 112, 97, 25), false);
    label6_ = MakeLabel(picture1_, "Label6", "Zoom:", QRect(8, 152, 41, 17));
    label7_ = MakeLabel(picture1_, "Label7", "0x", QRect(48, 152, 25, 17));
    label1_ = MakeHoverBox(picture1_);

    connect(command5_, &QPushButton::clicked, this, [this] { ZoomButton(true); });
    connect(command6_, &QPushButton::clicked, this, [this] { ZoomButton(false); });
    connect(command2_, &QPushButton::clicked, this,
            [this] { Center_Airport(area_.AreaCenterLon, area_.AreaCenterLat); });
    // One wheel notch is one press of "+" or "-".
    picture1_->OnWheel = [this](int notches) {
        for (int i = 0; i < notches; ++i) ZoomButton(true);
        for (int i = 0; i > notches; --i) ZoomButton(false);
    };
    picture1_->OnResized = [this] { PictureResized(); };
    // Pointer events arrive in the picture's user scale: longitude, latitude.
    picture1_->OnButtonDown = [this](int button, QPointF at) {
        if (!loaded_) return;
        pointerPx_ = at;
        readouts_.ButtonDown(button, PictureToGeo(view_, at.x(), at.y()));
    };
    picture1_->OnPointerMove = [this](QPointF at) {
        if (!loaded_) return;
        pointerPx_ = at;
        pointerOverPicture_ =
            ScreenPoint{static_cast<std::int32_t>(at.x()), static_cast<std::int32_t>(at.y())};
        readouts_.PointerMove(PictureToGeo(view_, at.x(), at.y()));
    };
    picture1_->OnPointerLeft = [this] { pointerOverPicture_.reset(); };
    picture1_->OnButtonUp = [this](int button) {
        if (loaded_) readouts_.ButtonUp(button);
    };
    connect(command3_, &QPushButton::clicked, this, &RadarWindow::Disconnect);

    connect(timer1_, &QTimer::timeout, this, &RadarWindow::ReceiveTick);
    connect(timer2_, &QTimer::timeout, this, &RadarWindow::RedrawNow);
    connect(timer3_, &QTimer::timeout, this, &RadarWindow::MaintenanceTick);
    connect(timer4_, &QTimer::timeout, this, &RadarWindow::HoverTick);

    AddMenus();
    resize(kInitialPictureWidth, kInitialPictureHeight + menuBar()->sizeHint().height());
}

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
    QMenu* file = addMenu("fil_menu1", "File");
    fileMenu_ = file;
    addItem(file, "load_all_db_files", "Load all airports and ARTCC/FIRs",
            &RadarWindow::AllAirportsRequested);
    addItem(file, "create_new_db1", "Create new database files", &RadarWindow::NewDatabasesRequested);
    QMenu* view = addMenu("view_op1", "View");
    addItem(view, "show_airpts_list1", "Show area's airports list", &RadarWindow::AirportsListRequested);
    addItem(view, "show_chat_win_op1", "Show the chat window", &RadarWindow::ChatWindowRequested);
    addItem(view, "show_traffic_list_op", "Show traffic list", &RadarWindow::TrafficListRequested);
    QMenu* options = addMenu("ops_list1", "Options");
    addItem(options, "preferences_op1", "Preferences", &RadarWindow::PreferencesRequested);
    addItem(options, "radar_aids_op", "Radar aids", &RadarWindow::RadarAidsRequested);
    AddAidShortcuts(options);
    QMenu* about = addMenu("abot_op1", "About");
    addItem(about, "about_program1", QString("About ") + kTitle, &RadarWindow::AboutRequested);
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
    historyAction_ = addToggle("history_aid_op", &RadarAids::History, QKeySequence("Ctrl+H"));
    vectorsAction_ = addToggle("vectors_aid_op", &RadarAids::Vectors, QKeySequence("Ctrl+V"));
    labelsAction_ = addToggle("labels_aid_op", &RadarAids::Labels, QKeySequence("Ctrl+L"));
    dataBlockAction_ = addToggle("datablock_aid_op", &RadarAids::DataBlock, QKeySequence("Ctrl+B"));
    ShowAidsChanged();
}

void RadarWindow::ShowAidsChanged() {
    historyAction_->setChecked(aids_.History);
    vectorsAction_->setChecked(aids_.Vectors);
    labelsAction_->setChecked(aids_.Labels);
    dataBlockAction_->setChecked(aids_.DataBlock);
    if (loaded_ && !locked_ && !disconnected_) RedrawNow();
}

void RadarWindow::SetRecords(std::shared_ptr<SessionRecords> records) {
    if (recordControls_ || !records) return;
    recordControls_ = new RecordControls(this, fileMenu_, picture1_, std::move(records), area_, boxes_);
    connect(recordControls_, &RecordControls::CaptionChanged, this, [this] {
        recordControls_->ShowState();
        setWindowTitle(Caption());
    });
}

void RadarWindow::Load() {
    // Without a session the scope stays empty and inactive.
    if (!session_.SessionConnected || loaded_) return;
    if (recordControls_) {
        recordControls_->ShowState();
        // A replay's motion and conflicts run on the replay's time.
        if (recordControls_->Replaying())
            clock_ = [time = recordControls_->ReplayTime()] { return time->Now(); };
    }
    try {
        link_ = std::make_unique<SessionLink>(session_, play_.Play(), grid_);
    } catch (const SessionError&) {
        // No session objects to listen to: the scope runs without traffic.
    }
    session_.IsHosting = false;
    setWindowTitle(Caption());
    picture1_->ClearImage();
    InitializeView(view_, picture1_->width(), picture1_->height(), area_.AreaCenterLat, area_.AreaCenterLon);
    label7_->setText(QString::fromStdString(ZoomCaption(view_.ZoomLevel)));
    SwitchOnAtRadarLoad(display_);
    label1_->clear();
    label1_->adjustSize();
    label1_->hide();
    hover_.Clear();
    loaded_ = true;
    StartSessionTimers();
    StartTimers();
    emit ChatWindowRequested();
    if (link_) HandleLinkEvents(link_->Start());
}

void RadarWindow::Disconnect() { close(); }

// Closing the window leaves the session, as "> Disconnect" does.
void RadarWindow::closeEvent(QCloseEvent* event) {
    // The windows it is locked for go first and give it back.
    emit Closed();
    if (!disconnected_) {
        disconnected_ = true;
        command3_->setText("PLEASE WAIT...");
        command3_->repaint();
        StopSessionTimers();
        StopTimers();
        if (recordControls_) recordControls_->SessionEnded();
        // The link holds the session object that leaving releases.
        link_.reset();
        LeaveSession(session_, play_);
        emit Disconnected();
    }
    event->accept();
}

void RadarWindow::ReceiveTick() {
    if (link_) HandleLinkEvents(link_->ReceiveTick());
    if (recordControls_) recordControls_->Tick();
}

void RadarWindow::MaintenanceTick() {
    if (link_) HandleLinkEvents(link_->MaintenanceTick());
}

void RadarWindow::HoverTick() {
    if (!loaded_) return;
    readouts_.HoverTick({view_, area_, display_, Traffic()});
}

ScopeTraffic RadarWindow::Traffic() const {
    return {session_.Traffic, session_.OwnPlayerId, session_.OwnName, ShownBand(aids_)};
}

// After a tick that changed the table: the motion history takes it in at the
// session's time, and conflicts that start now go to the chat log.
void RadarWindow::TrafficMoved() {
    const std::chrono::milliseconds now = clock_();
    session_.Motion.Observe(session_.Traffic, now);
    if (!aids_.Conflicts) return;
    const std::vector<ConflictPair> pairs =
        FindConflicts(Traffic(), session_.Motion, ConflictLimitsOf(aids_));
    for (const std::string& line : conflictLog_.Update(session_.Traffic, pairs, now))
        emit ChatLineReceived(line);
}

void RadarWindow::SetPeriodicRedraw(bool running) {
    if (running && !locked_ && !disconnected_) {
        timer2_->start();
    } else {
        timer2_->stop();
    }
}

void RadarWindow::CenterOn(double lon, double lat) { Center_Airport(lon, lat); }

void RadarWindow::DrawMeasuring(GeoPosition anchor, GeoPosition pointer) {
    picture1_->ClearImage();
    DrawOnPicture([&](const ScopeContext& scope) { DrawMeasuringMove(scope, anchor, pointer); });
    picture1_->repaint();
}

void RadarWindow::ShowBox(const std::string& text) {
    QString caption = QString::fromStdString(AnsiToUtf8(text));
    caption.replace("\r\n", "\n");
    label1_->setText(caption);
    label1_->adjustSize();
    const ScreenPoint at =
        PlaceHoverBox({static_cast<std::int32_t>(pointerPx_.x()), static_cast<std::int32_t>(pointerPx_.y())},
                      {label1_->width(), label1_->height()}, {picture1_->width(), picture1_->height()});
    label1_->move(at.X, at.Y);
    label1_->show();
    label1_->raise();
}

void RadarWindow::HideBox() {
    label1_->hide();
    label1_->clear();
}

void RadarWindow::LeaveSessionForGood() {
    disconnected_ = true;
    StopSessionTimers();
    StopTimers();
    if (recordControls_) recordControls_->SessionEnded();
    link_.reset();
    LeaveSession(session_, play_);
}

void RadarWindow::HandleLinkEvents(const LinkEvents& events) {
    for (const std::string& line : events.ChatLines) emit ChatLineReceived(line);
    if (events.TrafficChanged) TrafficMoved();
    if (events.PlayerListChanged) emit PlayerListChanged();
    if (!events.Messages.empty()) {
        // A message box runs its own event loop: no receive tick may start
        // inside it and pile up boxes of its own.
        timer1_->stop();
        for (const UserMessage& message : events.Messages)
            boxes_.Show(AnsiToUtf8(message.Text), message.Icon);
        if (!events.Disconnect && !disconnected_) timer1_->start();
    }
    if (events.Disconnect) Disconnect();
}

void RadarWindow::StartSessionTimers() {
    timer1_->start();
    timer3_->start();
}

void RadarWindow::StopSessionTimers() {
    timer1_->stop();
    timer3_->stop();
}

QString RadarWindow::Caption() const {
    return QString(kTitle) + " - " + QString::fromStdString(AnsiToUtf8(area_.AreaTitle)) +
           (recordControls_ ? recordControls_->CaptionSuffix() : QString());
}

void RadarWindow::StopTimers() {
    timer2_->stop();
    timer4_->stop();
}

void RadarWindow::StartTimers() {
    // A view change while measuring keeps the periodic redraw off: it would
    // wipe the line until the button comes up.
    if (!readouts_.MeasureActive()) timer2_->start();
    timer4_->start();
}

template <typename Draw>
void RadarWindow::DrawOnPicture(Draw draw) {
    QPainter painter(&picture1_->Image());
    if (!scopeMetrics_) scopeMetrics_ = QtTextMetrics(ScopeFont(painter.font()));
    QtPainterCanvas canvas(painter, picture1_->Image().width(), picture1_->Image().height(), *scopeMetrics_);
    const ScopeAids aids{aids_, session_.Motion, &labelPlaces_, pointerOverPicture_};
    const ScopeContext scope{canvas, view_, area_, display_, grid_, hover_, Traffic(), &aids};
    draw(scope);
    painter.end();
    picture1_->update();
}

void RadarWindow::DrawPass() {
    DrawOnPicture([](const ScopeContext& scope) { RedrawScopeAndTraffic(scope); });
}

void RadarWindow::RedrawNow() {
    picture1_->ClearImage();
    DrawPass();
}

void RadarWindow::ZoomButton(bool zoomIn) {
    if (!loaded_) return;
    StopTimers();
    picture1_->ClearImage();
    // At a limit the step changes nothing, but the scope is still redrawn.
    const bool stepped = zoomIn ? ZoomInStep(view_) : ZoomOutStep(view_);
    if (stepped) {
        label7_->setText(QString::fromStdString(ZoomCaption(view_.ZoomLevel)));
        label7_->repaint();
    }
    DrawPass();
    StartTimers();
}

void RadarWindow::Center_Airport(double airpt_loc_x, double airpt_loc_y) {
    if (!loaded_) return;
    StopTimers();
    picture1_->ClearImage();
    tarnwick::Center_Airport(view_, airpt_loc_x, airpt_loc_y);
    DrawPass();
    StartTimers();
}

void RadarWindow::TakeBackArea() {
    Unlock();
    setWindowTitle(Caption());
    update();
    Center_Airport(area_.AreaCenterLon, area_.AreaCenterLat);
}

// The controls another window's lock disables: the picture and the four buttons.
void RadarWindow::EnableScopeControls(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{picture1_, command2_, command5_, command6_, command3_})
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
    timer2_->stop();
    if (isMinimized()) return;
    view_.PictureWidthPx = picture1_->width();
    view_.PictureHeightPx = picture1_->height();
    if (loaded_ && !locked_) timer2_->start();
}

void RadarWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) PictureResized();
}

}  // namespace tarnwick
