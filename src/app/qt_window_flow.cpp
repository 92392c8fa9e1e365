#include "app/qt_window_flow.h"

#include "app/placeholder_window.h"
#include "app/splash_window.h"

namespace tarnwick {

WindowFlow::WindowFlow(ProgramState& state, MessageBoxes& boxes, QObject* parent)
    : QObject(parent), state_(state), boxes_(boxes) {}

void WindowFlow::ShowSplash() { (new SplashWindow(*this))->show(); }

void WindowFlow::ShowSetup() { (new PlaceholderWindow("Form3", "Settings"))->show(); }

void WindowFlow::ShowBuilder() { (new PlaceholderWindow("Form4", "Creating Database"))->show(); }

void WindowFlow::ShowChoice() {
    (new PlaceholderWindow("Form5", "Choosing an airport or an ARTCC/FIR sector"))->show();
}

void WindowFlow::ShowConnection() { (new PlaceholderWindow("Form2", "Connection"))->show(); }

}  // namespace tarnwick
