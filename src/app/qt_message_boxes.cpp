#include "app/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace tarnwick {

MessageAnswer QtMessageBoxes::Show(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return ShowTitled(kMessageTitle, text, icon, buttons);
}

MessageAnswer QtMessageBoxes::ShowTitled(const std::string& title, const std::string& text, MessageIcon icon,
                                         MessageButtons buttons) {
    QMessageBox box(
        icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
        QString::fromStdString(title), QString::fromStdString(text),
        buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
        QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace tarnwick
