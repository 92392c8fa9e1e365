#pragma once
// Every message to the user goes through this interface, so that tests can
// read and answer them. All boxes carry the title kMessageTitle.
#include <string>

namespace tarnwick {

inline constexpr const char* kMessageTitle = "Tarnwick Message";

enum class MessageIcon { Information, Warning };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class MessageBoxes {
   public:
    virtual ~MessageBoxes() = default;
    // `text` is UTF-8 (the user-interface edge).
    virtual MessageAnswer Show(const std::string& text, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;

    // The few boxes that carry another title than kMessageTitle.
    virtual MessageAnswer ShowTitled(const std::string& title, const std::string& text, MessageIcon icon,
                                     MessageButtons buttons = MessageButtons::Ok) {
        (void)title;
        return Show(text, icon, buttons);
    }

    void Inform(const std::string& text) { Show(text, MessageIcon::Information); }
    void Warn(const std::string& text) { Show(text, MessageIcon::Warning); }
};

}  // namespace tarnwick
