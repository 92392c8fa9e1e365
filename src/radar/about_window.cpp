#include "radar/about_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/program_name.h"

namespace tarnwick {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(kAboutWindowName);
    setWindowTitle(QString("About ") + kProgramName);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(kProgramTitleLine, this);
    title->setObjectName(kAboutTitleLabelName);
    QFont font = title->font();
    font.setPointSize(14);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName(kAboutOkButtonName);
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    setMinimumWidth(320);
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        finished_ = true;
        emit Finished();
    }
    event->accept();
}

}  // namespace tarnwick
