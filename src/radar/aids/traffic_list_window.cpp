#include "radar/aids/traffic_list_window.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "base/ansi.h"
#include "radar/aids/qt_number_item.h"
#include "radar/aids/traffic_list.h"

namespace tarnwick {
namespace {

constexpr int kRefreshMs = 1000;

enum Column { kName, kType, kAltitude, kSpeed, kClimb, kDistance, kBearing, kColumns };

QString FromAnsi(const std::string& text) { return QString::fromStdString(AnsiToUtf8(text)); }

}  // namespace

TrafficListWindow::TrafficListWindow(const SessionState& session, const ChosenArea& area,
                                     const DeclinationGrid& grid, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      area_(area),
      grid_(grid),
      trafficTable_(new QTableWidget(0, kColumns, this)),
      refreshTimer_(new QTimer(this)) {
    setObjectName("FormTrafficList");
    setWindowTitle("Traffic list");
    trafficTable_->setObjectName("trafficTable");
    trafficTable_->setHorizontalHeaderLabels({"Player", "Aircraft", "Altitude (ft)", "Ground speed (kt)",
                                              "Vertical speed (ft/min)", "Distance (nm)", "Bearing (mag)"});
    trafficTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trafficTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    trafficTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    trafficTable_->verticalHeader()->hide();
    trafficTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    trafficTable_->setSortingEnabled(true);
    trafficTable_->sortByColumn(kName, Qt::AscendingOrder);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(trafficTable_);
    resize(720, 360);

    connect(trafficTable_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QTableWidgetItem* name = trafficTable_->item(row, kName);
        if (!name) return;
        emit CenterRequested(name->data(Qt::UserRole + 1).toDouble(), name->data(Qt::UserRole).toDouble());
    });
    refreshTimer_->setObjectName("refreshTimer");
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &TrafficListWindow::Refresh);
    refreshTimer_->start();
    Refresh();
}

void TrafficListWindow::Refresh() {
    const ScopeTraffic traffic{session_.Traffic, session_.OwnPlayerId, session_.OwnName};
    const std::vector<TrafficRow> rows = TrafficRows(traffic, session_.Motion, area_, grid_);
    const QTableWidgetItem* current = trafficTable_->currentItem();
    const QString selected = current ? trafficTable_->item(current->row(), kName)->text() : QString();

    // Filled unsorted, then sorted once as the user last asked.
    trafficTable_->setSortingEnabled(false);
    trafficTable_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TrafficRow& row = rows[static_cast<std::size_t>(i)];
        auto* name = new QTableWidgetItem(FromAnsi(row.Name));
        name->setData(Qt::UserRole, row.Latitude);
        name->setData(Qt::UserRole + 1, row.Longitude);
        trafficTable_->setItem(i, kName, name);
        trafficTable_->setItem(i, kType, new QTableWidgetItem(FromAnsi(row.Type)));
        trafficTable_->setItem(i, kAltitude, new NumberItem(row.AltitudeFt));
        trafficTable_->setItem(i, kSpeed, new NumberItem(row.GroundSpeedKt));
        trafficTable_->setItem(i, kClimb, new NumberItem(row.VerticalSpeedFpm));
        trafficTable_->setItem(i, kDistance, new NumberItem(row.DistanceNm));
        trafficTable_->setItem(i, kBearing, new NumberItem(row.BearingMagnetic));
    }
    trafficTable_->setSortingEnabled(true);
    if (selected.isEmpty()) return;
    const QList<QTableWidgetItem*> found = trafficTable_->findItems(selected, Qt::MatchExactly);
    for (const QTableWidgetItem* item : found) {
        if (item->column() == kName) trafficTable_->setCurrentCell(item->row(), kName);
    }
}

}  // namespace tarnwick
