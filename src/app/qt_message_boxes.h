#pragma once
#include <QWidget>

#include "base/message_boxes.h"

namespace tarnwick {

// Modal Qt message boxes, parented to the active window when there is one.
class QtMessageBoxes : public MessageBoxes {
   public:
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowTitled(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override;
};

}  // namespace tarnwick
