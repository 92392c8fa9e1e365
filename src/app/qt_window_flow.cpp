#include "app/qt_window_flow.h"

#include <QCoreApplication>

#include "app/placeholder_window.h"
#include "app/preferences_window.h"
#include "app/setup_window.h"
#include "app/splash_window.h"
#include "radar/radar_window.h"
#include "scenery/builder_window.h"
#include "selection/choice_window.h"

namespace tarnwick {

WindowFlow::WindowFlow(ProgramState& state, MessageBoxes& boxes, QObject* parent)
    : QObject(parent), state_(state), boxes_(boxes) {}

void WindowFlow::ShowSplash() { (new SplashWindow(*this))->show(); }

void WindowFlow::ShowSetup() { (new SetupWindow(*this))->show(); }

void WindowFlow::ShowBuilder() { (new BuilderWindow(*this))->show(); }

void WindowFlow::ShowChoice() { (new ChoiceWindow(*this))->show(); }

void WindowFlow::ShowConnection() { (new PlaceholderWindow("Form2", "Connection"))->show(); }

void WindowFlow::ShowRadar(bool withoutSession) {
    radar_ = new RadarWindow(state_, this, withoutSession);
    radar_->show();
}

void WindowFlow::ShowPreferences() {
    if (radar_) radar_->Lock();
    (new PreferencesWindow(state_, radar_))->show();
}

void WindowFlow::AreaChosen() {
    if (!state_.SessionConnected) {
        // Until the connection window exists the scope opens straight away.
        ShowRadar(true);
        return;
    }
    // With a session joined the radar window takes the new area back: unlock it,
    // set its caption and centre it on AreaCenterLon/AreaCenterLat.
    if (radar_) radar_->TakeBackArea();
}

void WindowFlow::ChoiceClosed() {
    if (state_.SessionConnected) {
        // Give the radar window back: unlock it (its timers, picture and buttons).
        if (radar_) radar_->Unlock();
        return;
    }
    EndProgram();
}

void WindowFlow::EndProgram() { QCoreApplication::quit(); }

}  // namespace tarnwick
