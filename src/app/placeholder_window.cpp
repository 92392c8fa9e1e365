#include "app/placeholder_window.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

PlaceholderWindow::PlaceholderWindow(const QString& objectName, const QString& caption, QWidget* parent)
    : QWidget(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("This window is not available in this version yet."), this));
    resize(420, 120);
}

}  // namespace tarnwick
