#pragma once
// A window that is not built yet: its caption and a line saying so.
#include <QWidget>

namespace tarnwick {

class PlaceholderWindow : public QWidget {
    Q_OBJECT
   public:
    PlaceholderWindow(const QString& objectName, const QString& caption, QWidget* parent = nullptr);
};

}  // namespace tarnwick
