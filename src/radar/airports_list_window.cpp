#include "radar/airports_list_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ansi.h"
#include "radar/airports_list.h"

namespace tarnwick {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

AirportsListWindow::AirportsListWindow(const ChosenArea& area, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent, Qt::Window), area_(area), boxes_(boxes), airportList_(new QListWidget) {
    setObjectName(kAirportsListWindowName);
    setWindowTitle("Area's airports list");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame1 = new QGroupBox("Area's airports", this);
    frame1->setObjectName(kAreaAirportsFrameName);
    airportList_->setObjectName(kAreaAirportsListName);
    auto* frameLayout = new QVBoxLayout(frame1);
    frameLayout->addWidget(airportList_);

    QPushButton* command1 = MakeButton(this, kCenterScreenButtonName, "Center Screen");
    QPushButton* command2 = MakeButton(this, kShowFrequenciesButtonName, "Show Frequencies");
    QPushButton* command3 = MakeButton(this, kRefreshAirportsButtonName, "Refresh");
    connect(command1, &QPushButton::clicked, this, &AirportsListWindow::CenterScreen);
    connect(command2, &QPushButton::clicked, this, &AirportsListWindow::ShowFrequencies);
    connect(command3, &QPushButton::clicked, this, &AirportsListWindow::Refresh);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {command1, command2, command3}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addLayout(buttons);
    resize(420, 360);
    Refresh();
}

void AirportsListWindow::Refresh() {
    airportList_->clear();
    airportList_->repaint();
    lines_ = AirportsListLines(area_);
    for (const std::string& line : lines_) airportList_->addItem(QString::fromStdString(AnsiToUtf8(line)));
    airportList_->repaint();
}

std::optional<std::string> AirportsListWindow::SelectedLine() const {
    const int row = airportList_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= lines_.size() || !airportList_->item(row)->isSelected()) {
        return std::nullopt;
    }
    return lines_[static_cast<std::size_t>(row)];
}

void AirportsListWindow::CenterScreen() {
    const std::optional<std::string> line = SelectedLine();
    if (!line) return;
    const std::optional<GeoPosition> target = CenterScreenTarget(area_, *line);
    // The line was listed before the area changed: nothing to centre on.
    if (!target) return;
    GiveBack();
    emit CenterRequested(target->Lon, target->Lat);
    close();
}

void AirportsListWindow::ShowFrequencies() {
    const std::optional<std::string> line = SelectedLine();
    if (!line) return;
    for (const std::string& message : FrequencyMessages(area_, *line)) boxes_.Inform(AnsiToUtf8(message));
}

void AirportsListWindow::GiveBack() {
    if (givenBack_) return;
    givenBack_ = true;
    emit Finished();
}

void AirportsListWindow::closeEvent(QCloseEvent* event) {
    GiveBack();
    event->accept();
}

}  // namespace tarnwick
