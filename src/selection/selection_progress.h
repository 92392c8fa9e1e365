#pragma once
// Reports the steps of the loading and of the gathering so that a window can
// show them as they happen.
#include <string_view>

namespace tarnwick {

class SelectionProgress {
   public:
    virtual ~SelectionProgress() = default;
    virtual void Started(int /*maximum*/) {}
    virtual void Status(std::string_view /*text*/) {}
    virtual void Advanced() {}
};

}  // namespace tarnwick
