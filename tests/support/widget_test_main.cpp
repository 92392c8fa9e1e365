// Widget test programs run without a display: Qt uses its offscreen platform
// unless told otherwise, and one QApplication serves every widget test. Logic
// test programs use GoogleTest's own main and never start Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
