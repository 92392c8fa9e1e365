#pragma once
// The joined multiplayer session.
namespace tarnwick {

struct SessionState {
    bool SessionConnected = false;
    bool TrafficEnabled = false;
};

}  // namespace tarnwick
