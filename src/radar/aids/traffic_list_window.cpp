#include "radar/aids/traffic_list_window.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "base/ansi.h"
#include "radar/aids/qt_number_item.h"
#include "radar/aids/traffic_list.h"

namespace tarnwick {
namespace {

constexpr int kRefreshMs = 1000;
// Where the name's item keeps the row's position and why the scope does not show it.
constexpr int kLatitudeRole = Qt::UserRole;
constexpr int kLongitudeRole = Qt::UserRole + 1;
constexpr int kNotShownRole = Qt::UserRole + 2;

enum Column { kName, kType, kAltitude, kSpeed, kClimb, kDistance, kBearing, kColumns };

QString FromAnsi(const std::string& text) { return QString::fromStdString(AnsiToUtf8(text)); }

}  // namespace

TrafficListWindow::TrafficListWindow(const SessionState& session, const ChosenArea& area,
                                     const DeclinationGrid& grid, const RadarAids& aids, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      area_(area),
      grid_(grid),
      aids_(aids),
      trafficTable_(new QTableWidget(0, kColumns, this)),
      noteLabel_(new QLabel(this)),
      refreshTimer_(new QTimer(this)) {
    setObjectName(kTrafficListWindowName);
    setWindowTitle("Traffic list");
    trafficTable_->setObjectName(kTrafficTableName);
    trafficTable_->setHorizontalHeaderLabels({"Player", "Aircraft", "Altitude (ft)", "Ground speed (kt)",
                                              "Vertical speed (ft/min)", "Distance (nm)", "Bearing (mag)"});
    trafficTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trafficTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    trafficTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    trafficTable_->verticalHeader()->hide();
    trafficTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    trafficTable_->setSortingEnabled(true);
    trafficTable_->sortByColumn(kName, Qt::AscendingOrder);
    noteLabel_->setObjectName(kTrafficNoteLabelName);
    noteLabel_->setWordWrap(true);
    noteLabel_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(trafficTable_);
    layout->addWidget(noteLabel_);
    resize(720, 360);

    connect(trafficTable_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { RowDoubleClicked(row); });
    refreshTimer_->setObjectName(kTrafficRefreshTimerName);
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &TrafficListWindow::Refresh);
    refreshTimer_->start();
    Refresh();
}

void TrafficListWindow::Refresh() {
    const ScopeTraffic traffic{session_.Traffic, session_.OwnPlayerId, session_.OwnName, ShownBand(aids_)};
    const std::vector<TrafficRow> rows = TrafficRows(traffic, session_.Motion, area_, grid_);
    const QTableWidgetItem* current = trafficTable_->currentItem();
    const QString selected = current ? trafficTable_->item(current->row(), kName)->text() : QString();

    // Filled unsorted, then sorted once as the user last asked.
    trafficTable_->setSortingEnabled(false);
    trafficTable_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TrafficRow& row = rows[static_cast<std::size_t>(i)];
        auto* name = new QTableWidgetItem(FromAnsi(row.Name));
        name->setData(kLatitudeRole, row.Latitude);
        name->setData(kLongitudeRole, row.Longitude);
        name->setData(kNotShownRole, FromAnsi(row.NotShown));
        const std::initializer_list<QTableWidgetItem*> items = {name,
                                                                new QTableWidgetItem(FromAnsi(row.Type)),
                                                                new NumberItem(row.AltitudeFt),
                                                                new NumberItem(row.GroundSpeedKt),
                                                                new NumberItem(row.VerticalSpeedFpm),
                                                                new NumberItem(row.DistanceNm),
                                                                new NumberItem(row.BearingMagnetic)};
        int column = kName;
        for (QTableWidgetItem* item : items) {
            if (!row.NotShown.empty())
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
            trafficTable_->setItem(i, column++, item);
        }
    }
    trafficTable_->setSortingEnabled(true);
    FitColumns();
    if (selected.isEmpty()) return;
    const QList<QTableWidgetItem*> found = trafficTable_->findItems(selected, Qt::MatchExactly);
    for (const QTableWidgetItem* item : found) {
        if (item->column() == kName) trafficTable_->setCurrentCell(item->row(), kName);
    }
}

void TrafficListWindow::ShowNote(const QString& note) {
    noteLabel_->setText(note);
    noteLabel_->setVisible(!note.isEmpty());
}

void TrafficListWindow::RowDoubleClicked(int row) {
    const QTableWidgetItem* name = trafficTable_->item(row, kName);
    if (!name) return;
    // Centring on an aircraft the scope does not draw shows empty space.
    const QString notShown = name->data(kNotShownRole).toString();
    ShowNote(notShown);
    if (notShown.isEmpty())
        emit CenterRequested(name->data(kLongitudeRole).toDouble(), name->data(kLatitudeRole).toDouble());
}

void TrafficListWindow::FitColumns() {
    if (fittedWidth_ != 0 && width() != fittedWidth_) return;
    trafficTable_->resizeColumnsToContents();
    const QMargins margins = layout()->contentsMargins();
    const int needed = trafficTable_->horizontalHeader()->length() + 2 * trafficTable_->frameWidth() +
                       trafficTable_->verticalScrollBar()->sizeHint().width() + margins.left() +
                       margins.right();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() : needed;
    const int fitted = std::max(width(), std::min(needed, widest));
    if (fitted != width()) resize(fitted, height());
    fittedWidth_ = fitted;
}

}  // namespace tarnwick
