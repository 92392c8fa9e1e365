#include "app/preferences_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace tarnwick {

PreferencesWindow::PreferencesWindow(DisplayOptions& display, QWidget* parent)
    : QWidget(parent, Qt::Window), display_(display) {
    setObjectName(kPreferencesWindowName);
    setWindowTitle("Preferences");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    setLayout(layout);
    AddSwitch(kDisplayAirspacesCheckName, "Display Airspaces", &DisplayOptions::DisplayAirspaces);
    AddSwitch(kDisplayIlsCheckName, "Display ILS", &DisplayOptions::DisplayIls);
    AddSwitch(kDisplayHighArtccCheckName, "Display High Altitudes ARTCC/FIR Airspaces",
              &DisplayOptions::DisplayHighArtcc);
    AddSwitch(kDisplayLowArtccCheckName, "Display Low Altitudes ARTCC/FIR Airspaces",
              &DisplayOptions::DisplayLowArtcc);
    AddSwitch(kDisplayTaxiwaysCheckName, "Display Taxiways", &DisplayOptions::DisplayTaxiways);
    AddSwitch(kDisplayTaxiwayIdsCheckName, "Display Taxiways IDs", &DisplayOptions::DisplayTaxiwayIds);
    AddSwitch(kDisplayParkingsCheckName, "Display Gates/Parkings", &DisplayOptions::DisplayParkings);
    AddSwitch(kDisplayAirportNameCheckName, "Display Airport Name", &DisplayOptions::DisplayAirportName);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName(kPreferencesOkButtonName);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, [this] {
        GiveBack();
        close();
    });
}

void PreferencesWindow::AddSwitch(const char* name, const char* caption, bool DisplayOptions::*field) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setChecked(display_.*field);
    connect(box, &QCheckBox::stateChanged, this, [this, field](int value) {
        if (value == Qt::Checked) display_.*field = true;
        if (value == Qt::Unchecked) display_.*field = false;
    });
    layout()->addWidget(box);
}

void PreferencesWindow::GiveBack() {
    if (givenBack_) return;
    givenBack_ = true;
    emit Finished();
}

// Closed by other means than OK: the scope is given back too, with or without
// a session, so that it never stays frozen behind a window that is gone.
void PreferencesWindow::closeEvent(QCloseEvent* event) {
    GiveBack();
    event->accept();
}

}  // namespace tarnwick
