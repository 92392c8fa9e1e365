// Widget test programs run without a display: Qt uses its offscreen platform
// unless told otherwise, and one QApplication serves every widget test. Logic
// test programs use GoogleTest's own main and never start Qt.
//
// The user's configuration (QSettings) is a folder of the program's own,
// emptied before every test: no test reads what another left there, nor what
// the user running them keeps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

class FreshUserConfiguration : public testing::EmptyTestEventListener {
   public:
    explicit FreshUserConfiguration(QString folder) : folder_(std::move(folder)) {}
    void OnTestStart(const testing::TestInfo&) override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_);
        QSettings(QSettings::UserScope, "Tarnwick", "Tarnwick").clear();
    }

   private:
    QString folder_;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    const QTemporaryDir configuration;
    if (!configuration.isValid()) return 1;
    testing::UnitTest::GetInstance()->listeners().Append(new FreshUserConfiguration(configuration.path()));
    return RUN_ALL_TESTS();
}
