#pragma once
// Opens the program's windows in the order the user meets them. Each window is
// handed the shared state, the message boxes and this flow, and asks the flow
// for the next window instead of knowing its class.
#include <QObject>
#include <QPointer>

#include "app/message_boxes.h"
#include "app/program_state.h"

namespace tarnwick {

class RadarWindow;

class WindowFlow : public QObject {
    Q_OBJECT
   public:
    WindowFlow(ProgramState& state, MessageBoxes& boxes, QObject* parent = nullptr);

    ProgramState& State() { return state_; }
    MessageBoxes& Boxes() { return boxes_; }

    void ShowSplash();
    void ShowSetup();
    void ShowBuilder();
    void ShowChoice();
    void ShowConnection();
    // The scope; `withoutSession` runs its load although no session is joined.
    void ShowRadar(bool withoutSession = false);
    // Locks the radar window while the preferences are up.
    void ShowPreferences();

    // The choice window's hand-over once an area is gathered: the connection
    // window when no session is joined, otherwise the radar window, re-centred.
    virtual void AreaChosen();
    // The choice window closed without a choice: with a session the radar
    // window is given back; without one the program ends.
    virtual void ChoiceClosed();
    virtual void EndProgram();

   private:
    ProgramState& state_;
    MessageBoxes& boxes_;
    QPointer<RadarWindow> radar_;
};

}  // namespace tarnwick
