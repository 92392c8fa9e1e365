#pragma once
// Opens the program's windows in the order the user meets them. Windows only
// signal what happened; this flow alone decides what opens next.
#include <QObject>
#include <QPointer>
#include <string>

#include "base/message_boxes.h"
#include "state/program_state.h"

namespace tarnwick {

class BuilderWindow;
class ChoiceWindow;
class PreferencesWindow;
class RadarWindow;
class SetupWindow;
class SplashWindow;

class WindowFlow : public QObject {
    Q_OBJECT
   public:
    // `workDirectory` is the folder the program keeps its three files in.
    WindowFlow(ProgramState& state, MessageBoxes& boxes, std::string workDirectory,
               QObject* parent = nullptr);

    ProgramState& State() { return state_; }

    // Each opens its window, wired to what comes next, and returns it.
    SplashWindow* ShowSplash();
    SetupWindow* ShowSetup();
    BuilderWindow* ShowBuilder();
    ChoiceWindow* ShowChoice();
    RadarWindow* ShowRadar();
    // Locks the radar window while the preferences are up.
    PreferencesWindow* ShowPreferences();

    RadarWindow* Radar() const;
    PreferencesWindow* Preferences() const;

    // The choice window's hand-over once an area is gathered: the connection
    // window when no session is joined, otherwise the radar window, re-centred.
    virtual void AreaChosen();
    // The choice window closed without a choice: with a session the radar
    // window is given back; without one the program ends.
    virtual void ChoiceClosed();
    virtual void EndProgram();

   private:
    void RadarClosed();

    ProgramState& state_;
    MessageBoxes& boxes_;
    std::string workDirectory_;
    QPointer<RadarWindow> radar_;
    QPointer<PreferencesWindow> preferences_;
};

}  // namespace tarnwick
