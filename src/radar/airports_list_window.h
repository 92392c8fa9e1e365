#pragma once
// The area's airports list: the scope can be centred on an airport, and an
// airport's frequencies shown. It takes over from the radar window, which
// gets the scope back when this window closes.
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "base/message_boxes.h"
#include "state/chosen_area.h"

class QListWidget;

namespace tarnwick {

class AirportsListWindow : public QWidget {
    Q_OBJECT
   public:
    AirportsListWindow(const ChosenArea& area, MessageBoxes& boxes, QWidget* parent = nullptr);

    // "Refresh" and the load: the area's airports anew, nothing selected.
    void Refresh();

   signals:
    // Emitted once, before a centring and by any close.
    void Finished();
    // "Center Screen": the scope is to be centred on a longitude and latitude.
    void CenterRequested(double lon, double lat);

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    // The selected list line (Windows-1252), or none.
    std::optional<std::string> SelectedLine() const;
    void CenterScreen();
    void ShowFrequencies();
    void GiveBack();

    const ChosenArea& area_;
    MessageBoxes& boxes_;
    std::vector<std::string> lines_;
    bool givenBack_ = false;
    QListWidget* airportList_;
};

// The window's and its controls' object names, by which tests find them.
inline constexpr char kAirportsListWindowName[] = "Form9";
inline constexpr char kAreaAirportsFrameName[] = "Frame1";
inline constexpr char kAreaAirportsListName[] = "List1";
inline constexpr char kCenterScreenButtonName[] = "Command1";
inline constexpr char kShowFrequenciesButtonName[] = "Command2";
inline constexpr char kRefreshAirportsButtonName[] = "Command3";

}  // namespace tarnwick
