#include "scenery/builder_window.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
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
      createButton_(new QPushButton("CREATE ATC DATABASE FILES", this)),
      statusEdit_(new QLineEdit("-None-", this)),
      scanningLabel_(new QLabel("Scanning:", this)),
      progressBar_(new QProgressBar(this)),
      driveList_(new QComboBox(this)),
      skippedLog_(new QPlainTextEdit(this)) {
    setObjectName(kBuilderWindowName);
    setWindowTitle("Creating Database");
    setAttribute(Qt::WA_DeleteOnClose);

    readSceneriesPaths_->setObjectName(kReadSceneriesPathsTimerName);
    readSceneriesPaths_->setInterval(1000);
    readAllAirports_->setObjectName(kReadAllAirportsTimerName);
    readAllAirports_->setInterval(5);
    createButton_->setObjectName(kCreateDatabasesButtonName);
    statusEdit_->setObjectName(kBuildStatusEditName);
    statusEdit_->setReadOnly(true);
    scanningLabel_->setObjectName(kScanningLabelName);
    progressBar_->setObjectName(kBuildProgressBarName);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    driveList_->setObjectName(kBuilderDriveListName);
    // Folder names in the scenery configuration are resolved without drive
    // letters here, so the drive list has nothing to show the user.
    for (const MountedVolume& volume : ListMountedVolumes())
        driveList_->addItem(QString::fromStdString(volume.Entry()));
    driveList_->setVisible(false);
    skippedLog_->setObjectName(kSkippedAreasLogName);
    skippedLog_->setReadOnly(true);
    skippedLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    skippedLog_->setVisible(false);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(scanningLabel_);
    statusRow->addWidget(statusEdit_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(statusRow);
    layout->addWidget(progressBar_);
    layout->addWidget(createButton_, 0, Qt::AlignHCenter);
    layout->addWidget(skippedLog_);
    layout->addWidget(driveList_);
    resize(520, 150);

    build_->SetStatusListener([this](const std::string& text) { ShowStatus(text); });
    connect(readSceneriesPaths_, &QTimer::timeout, this, &BuilderWindow::OnReadSceneriesPaths);
    connect(readAllAirports_, &QTimer::timeout, this, &BuilderWindow::OnReadAllAirports);
    connect(createButton_, &QPushButton::clicked, this, &BuilderWindow::OnCreateClicked);

    // The button waits for the preparation: pressed before it, the scan
    // would find no areas and write empty databases.
    createButton_->setEnabled(false);
    readSceneriesPaths_->start();
}

BuilderWindow::~BuilderWindow() = default;

// Painted at once: the steps that set the status run inside one timer tick,
// and without an immediate repaint only the last text of the tick would show.
void BuilderWindow::ShowStatus(const std::string& ansiText) {
    if (ansiText == shownStatus_) return;
    shownStatus_ = ansiText;
    statusEdit_->setText(QString::fromStdString(AnsiToUtf8(ansiText)));
    statusEdit_->repaint();
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
    createButton_->setEnabled(false);
    PrepareResult result;
    try {
        result = build_->Prepare();
    } catch (const BuildError& failure) {
        Fail(failure.what());
        return;
    }
    if (result == PrepareResult::Waiting) return;  // ticks again a second later
    progressBar_->setRange(0, BarValue(build_->ProgressMax()));
    progressBar_->setValue(0);
    readSceneriesPaths_->stop();
    readSceneriesPaths_->setInterval(0);
    createButton_->setEnabled(true);
    ShowSkippedAreas();
}

void BuilderWindow::ShowSkippedAreas() {
    const BuildSummary& summary = build_->Summary();
    if (summary.SkippedAreas.empty()) return;
    const auto count = summary.SkippedAreas.size();
    QString text = QString("%1 of %2 scenery areas skipped (no folder):")
                       .arg(count)
                       .arg(summary.AreasUsed + summary.AreasSkipped);
    for (const SkippedArea& area : summary.SkippedAreas)
        text += "\n" + QString::fromStdString(DescribeSkippedArea(area));
    skippedLog_->setPlainText(text);
    // Tall enough for a few areas; a long list scrolls.
    const int lines = std::min<int>(static_cast<int>(count), 8) + 1;
    skippedLog_->setFixedHeight(
        skippedLog_->fontMetrics().lineSpacing() * lines +
        2 * (skippedLog_->frameWidth() + static_cast<int>(skippedLog_->document()->documentMargin())) + 4);
    skippedLog_->setVisible(true);
    resize(width(), std::max(height(), sizeHint().height()));
}

void BuilderWindow::OnCreateClicked() {
    boxes_.Inform(
        "Now the create database file process will begin, this can take a few minutes, please wait");
    readAllAirports_->start();
}

void BuilderWindow::OnReadAllAirports() {
    createButton_->setEnabled(false);
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
    progressBar_->setValue(BarValue(build_->ProgressValue()));
}

void BuilderWindow::FinishBuild() {
    readAllAirports_->stop();
    readAllAirports_->setInterval(0);
    progressBar_->setValue(BarValue(build_->ProgressValue()));
    try {
        build_->Finish();
    } catch (const BuildError& failure) {
        Fail(failure.what());
        return;
    }
    progressBar_->setMinimum(0);
    progressBar_->setValue(0);
    createButton_->setEnabled(true);
    boxes_.ShowTitled(kProgramName, CompletionMessage(build_->Summary()), MessageIcon::Information);
    // The next window opens before this one closes, so that the program never
    // runs without a window.
    emit BuildDone();
    close();
}

}  // namespace tarnwick
