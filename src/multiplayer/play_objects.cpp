#include "multiplayer/play_objects.h"

namespace tarnwick {

void PlayObjects::Create() {
    play_ = create_();
    connections_ = play_->ConnectionTypes();
}

void PlayObjects::Release() {
    Sessions.clear();
    connections_.clear();
    play_.reset();
}

SessionTransport& PlayObjects::Play() {
    if (!play_) throw SessionError("the session objects are released");
    return *play_;
}

}  // namespace tarnwick
