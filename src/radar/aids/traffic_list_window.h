#pragma once
// "Show traffic list", from the radar window's View menu: every player with
// its aircraft, altitude, ground speed, vertical speed, and distance and
// magnetic bearing from the area's centre, refreshed every second. Each
// column sorts; a double-click centres the scope on that aircraft. It does
// not lock the radar window.
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <string>

#include "geo/declination_grid.h"
#include "state/chosen_area.h"
#include "state/session_state.h"

namespace tarnwick {

class TrafficListWindow : public QWidget {
    Q_OBJECT
   public:
    TrafficListWindow(const SessionState& session, const ChosenArea& area, const DeclinationGrid& grid,
                      QWidget* parent = nullptr);

    // The rows anew, keeping the sort and the selected player.
    void Refresh();

    QTableWidget* Table() { return trafficTable_; }

   signals:
    // The scope is to be centred on a longitude and latitude.
    void CenterRequested(double lon, double lat);

   private:
    const SessionState& session_;
    const ChosenArea& area_;
    const DeclinationGrid& grid_;
    QTableWidget* trafficTable_;
    QTimer* refreshTimer_;
};

}  // namespace tarnwick
