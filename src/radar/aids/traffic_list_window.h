#pragma once
// "Show traffic list", from the radar window's View menu: every player with
// its aircraft, altitude, ground speed, vertical speed, and distance and
// magnetic bearing from the area's centre, refreshed every second. Each
// column sorts; a double-click centres the scope on that aircraft, or says
// under the list why it cannot (the altitude filter hides it, it has not
// reported a position yet), and the rows the scope does not show are grey.
// The window opens, and widens as the texts grow, wide enough for every
// column until the user sizes it. It does not lock the radar window.
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <string>

#include "geo/declination_grid.h"
#include "state/chosen_area.h"
#include "state/radar_aids.h"
#include "state/session_state.h"

namespace tarnwick {

class TrafficListWindow : public QWidget {
    Q_OBJECT
   public:
    TrafficListWindow(const SessionState& session, const ChosenArea& area, const DeclinationGrid& grid,
                      const RadarAids& aids, QWidget* parent = nullptr);

    // The rows anew, keeping the sort and the selected player.
    void Refresh();
    // A line under the list, until the next double-click.
    void ShowNote(const QString& note);

    QTableWidget* Table() { return trafficTable_; }

   signals:
    // The scope is to be centred on a longitude and latitude.
    void CenterRequested(double lon, double lat);

   private:
    void RowDoubleClicked(int row);
    // Wide enough for every column, while the user has not sized the window.
    void FitColumns();

    const SessionState& session_;
    const ChosenArea& area_;
    const DeclinationGrid& grid_;
    const RadarAids& aids_;
    QTableWidget* trafficTable_;
    QLabel* noteLabel_;
    QTimer* refreshTimer_;
    // The width the window last gave itself; another is the user's.
    int fittedWidth_ = 0;
};

// The window's, its controls' and its timer's object names, by which tests
// find them.
inline constexpr char kTrafficListWindowName[] = "FormTrafficList";
inline constexpr char kTrafficTableName[] = "trafficTable";
inline constexpr char kTrafficNoteLabelName[] = "trafficNote";
inline constexpr char kTrafficRefreshTimerName[] = "refreshTimer";

}  // namespace tarnwick
