#include <QApplication>
#include <QDir>

#include "app/qt_message_boxes.h"
#include "app/qt_window_flow.h"
#include "state/program_state.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setApplicationName("Tarnwick");
    tarnwick::ProgramState state;
    tarnwick::QtMessageBoxes boxes;
    // The program keeps its files in the folder it is started in.
    tarnwick::WindowFlow flow(state, boxes, QDir::currentPath().toStdString());
    flow.ShowSplash();
    return application.exec();
}
