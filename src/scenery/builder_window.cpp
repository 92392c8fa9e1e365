#include "scenery/builder_window.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "base/ansi.h"
#include "base/folder_browsing.h"
#include "base/program_name.h"
#include "state/work_folder.h"

namespace tarnwick {

namespace {

// A tick scans files for about this long before the window repaints; one file
// per tick would make a full scan take minutes.
constexpr qint64 kScanSliceMs = 30;

int BarValue(std::int64_t value) {
    return static_cast<int>(std::min<std::int64_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

BuilderWindow::BuilderWindow(SettingsState& settings, DeclinationGrid& grid, MessageBoxes& boxes,
                             QWidget* parent)
    : QWidget(parent),
      boxes_(boxes),
      build_(std::make_unique<DatabaseBuild>(settings, grid, WorkFolderPath(settings.WorkFolder))),
      readSceneriesPaths_(new QTimer(this)),
      readAllAirports_(new QTimer(this)),
      command2_(new QPushButton("CREATE ATC DATABASE FILES", this)),
      text1_(new QLineEdit("-None-", this)),
      label2_(new QLabel("Scanning:", this)),
      progressBar1_(new QProgressBar(this)),
      drive1_(new QComboBox(this)) {
    setObjectName("Form4");
    setWindowTitle("Creating Database");
    setAttribute(Qt::WA_DeleteOnClose);

    readSceneriesPaths_->setObjectName("Read_Sceneries_Paths");
    readSceneriesPaths_->setInterval(1000);
    readAllAirports_->setObjectName("Read_All_Airports");
    readAllAirports_->setInterval(5);
    command2_->setObjectName("Command2");
    text1_->setObjectName("Text1");
    text1_->setReadOnly(true);
    label2_->setObjectName("Label2");
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setRange(0, 1);
    progressBar1_->setValue(0);
    drive1_->setObjectName("Drive1");
    // Folder names in the scenery configuration are resolved without drive
    // letters here, so the drive list has nothing to show the user.
    for (const MountedVolume& volume : ListMountedVolumes())
        drive1_->addItem(QString::fromStdString(volume.Entry()));
    drive1_->setVisible(false);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(label2_);
    statusRow->addWidget(text1_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(statusRow);
    layout->addWidget(progressBar1_);
    layout->addWidget(command2_, 0, Qt::AlignHCenter);
    layout->addWidget(drive1_);
    resize(520, 150);

    build_->SetStatusListener([this](const std::string& text) { ShowStatus(text); });
    connect(readSceneriesPaths_, &QTimer::timeout, this, &BuilderWindow::OnReadSceneriesPaths);
    connect(readAllAirports_, &QTimer::timeout, this, &BuilderWindow::OnReadAllAirports);
    connect(command2_, &QPushButton::clicked, this, &BuilderWindow::OnCommand2);

    // The button waits for the preparation: pressed before it, the scan
    // would find no areas and write empty databases.
    command2_->setEnabled(false);
    readSceneriesPaths_->start();
}

BuilderWindow::~BuilderWindow() = default;

// Painted at once: the steps that set the status run inside one timer tick,
// and without an immediate repaint only the last text of the tick would show.
void BuilderWindow::ShowStatus(const std::string& ansiText) {
    if (ansiText == shownStatus_) return;
    shownStatus_ = ansiText;
    text1_->setText(QString::fromStdString(AnsiToUtf8(ansiText)));
    text1_->repaint();
}

void BuilderWindow::Fail(const std::string& problem) {
    readSceneriesPaths_->stop();
    readAllAirports_->stop();
    boxes_.Warn(problem +
                "\n\nNo database files were created; the program will end. At the next start, "
                "choose the FS2002 folder again.");
    emit BuildFailed();
    close();
}

void BuilderWindow::OnReadSceneriesPaths() {
    command2_->setEnabled(false);
    PrepareResult result;
    try {
        result = build_->Prepare();
    } catch (const BuildError& failure) {
        Fail(failure.what());
        return;
    }
    if (result == PrepareResult::Waiting) return;  // ticks again a second later
    progressBar1_->setRange(0, BarValue(build_->ProgressMax()));
    progressBar1_->setValue(0);
    readSceneriesPaths_->stop();
    readSceneriesPaths_->setInterval(0);
    command2_->setEnabled(true);
}

void BuilderWindow::OnCommand2() {
    boxes_.Inform(
        "Now the create database file process will begin, this can take a few minutes, please wait");
    readAllAirports_->start();
}

void BuilderWindow::OnReadAllAirports() {
    command2_->setEnabled(false);
    QElapsedTimer slice;
    slice.start();
    try {
        do {
            if (build_->Step() == BuildStep::ScanFinished) {
                FinishBuild();
                return;
            }
        } while (slice.elapsed() < kScanSliceMs);
    } catch (const BuildError& failure) {
        Fail(failure.what());
        return;
    }
    progressBar1_->setValue(BarValue(build_->ProgressValue()));
}

void BuilderWindow::FinishBuild() {
    readAllAirports_->stop();
    readAllAirports_->setInterval(0);
    progressBar1_->setValue(BarValue(build_->ProgressValue()));
    try {
        build_->Finish();
    } catch (const BuildError& failure) {
        Fail(failure.what());
        return;
    }
    progressBar1_->setMinimum(0);
    progressBar1_->setValue(0);
    command2_->setEnabled(true);
    boxes_.ShowTitled(kProgramName, CompletionMessage(build_->Summary()), MessageIcon::Information);
    // The next window opens before this one closes, so that the program never
    // runs without a window.
    emit BuildDone();
    close();
}

}  // namespace tarnwick
