#pragma once
// At most a number of events per interval, counted in fixed intervals from
// the first event: what one controller may make this program write (texts,
// notes) or send (answers) however fast it sends.
#include "multiplayer/coordination/actions.h"

namespace tarnwick::coordination {

class RateLimit {
   public:
    RateLimit(int perInterval, Millis interval) : perInterval_(perInterval), interval_(interval) {}

    enum class Verdict {
        Allowed,
        JustExceeded,  // the first event refused in this interval: worth saying once
        Refused,
    };

    Verdict Count(Millis now) {
        if (!started_ || now - start_ >= interval_ || now < start_) {
            started_ = true;
            start_ = now;
            count_ = 0;
            exceeded_ = false;
        }
        if (count_ < perInterval_) {
            ++count_;
            return Verdict::Allowed;
        }
        if (exceeded_) return Verdict::Refused;
        exceeded_ = true;
        return Verdict::JustExceeded;
    }

   private:
    int perInterval_;
    Millis interval_;
    bool started_ = false;
    Millis start_{0};
    int count_ = 0;
    bool exceeded_ = false;
};

}  // namespace tarnwick::coordination
