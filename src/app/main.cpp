#include <QApplication>

#include "app/program_state.h"
#include "app/qt_message_boxes.h"
#include "app/qt_window_flow.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setApplicationName("Tarnwick");
    tarnwick::ProgramState state;
    tarnwick::QtMessageBoxes boxes;
    tarnwick::WindowFlow flow(state, boxes);
    flow.ShowSplash();
    return application.exec();
}
