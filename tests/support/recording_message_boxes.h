#pragma once
// Message boxes for tests: records each box and answers with a queued answer
// (OK when nothing is queued).
#include <deque>
#include <string>
#include <vector>

#include "base/message_boxes.h"

namespace tarnwick::testing {

struct ShownMessage {
    std::string Text;
    MessageIcon Icon;
    MessageButtons Buttons;
    std::string Title = kMessageTitle;
};

class RecordingMessageBoxes : public MessageBoxes {
   public:
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
        shown.push_back({text, icon, buttons, kMessageTitle});
        if (answers.empty()) return MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    MessageAnswer ShowTitled(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override {
        const MessageAnswer answer = Show(text, icon, buttons);
        shown.back().Title = title;
        return answer;
    }

    std::vector<ShownMessage> shown;
    std::deque<MessageAnswer> answers;
};

}  // namespace tarnwick::testing
