#pragma once
// The session objects of the run: a fresh session object with its list of
// connection types, and the result of the last session search. They are
// dropped and made anew at every reset of the connection, so a clean object
// is always ready for the next search.
#include <memory>
#include <string>
#include <vector>

#include "multiplayer/service_providers.h"

namespace tarnwick {

class PlayObjects {
   public:
    explicit PlayObjects(TransportFactory create) : create_(std::move(create)) {}

    // CreatePlayObjects: a new session object and its connection types.
    void Create();
    // ReleasePlayObjects: the search result, the connection types and the
    // session object, in that order. Dropping the object leaves its session.
    void Release();

    bool Exists() const { return play_ != nullptr; }
    // The current session object; SessionError when there is none.
    SessionTransport& Play();
    const std::vector<std::string>& Connections() const { return connections_; }

    // The sessions the last search found, in the order listed.
    std::vector<SessionDescription> Sessions;

   private:
    TransportFactory create_;
    std::unique_ptr<SessionTransport> play_;
    std::vector<std::string> connections_;
};

}  // namespace tarnwick
