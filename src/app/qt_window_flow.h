#pragma once
// Opens the program's windows in the order the user meets them. Each window is
// handed the shared state, the message boxes and this flow, and asks the flow
// for the next window instead of knowing its class.
#include <QObject>

#include "app/message_boxes.h"
#include "app/program_state.h"

namespace tarnwick {

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

private:
    ProgramState& state_;
    MessageBoxes& boxes_;
};

}  // namespace tarnwick
