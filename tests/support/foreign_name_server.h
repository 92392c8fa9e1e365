#pragma once
// A pilot's machine whose work as the session's name server, once it has
// taken over from a host that left, is done as a Windows DirectPlay host does
// it rather than by this program's name server: the ADDFORWARD that tells the
// established machines of a joiner carries the joiner's record as the joiner
// wrote it, with only its TCP address filled in (the address the request came
// from and the port its header named) and its UDP address left at 0.0.0.0,
// "the machine this record came from". The name table the joiner gets once
// the machines have acknowledged is the usual one. Everything else (taking
// over, ids, searches) is the protocol core's.
#include <map>
#include <set>

#include "multiplayer/directplay/client_session.h"

namespace tarnwick::testing {

class ForeignNameServer final : public directplay::DirectPlayClient {
   public:
    using DirectPlayClient::DirectPlayClient;

    // How many ADDFORWARDs went out, and how many machines acknowledged them.
    int Forwarded() const { return forwarded_; }
    int Acknowledged() const { return acknowledged_; }

   protected:
    bool HandleRoleMessage(const directplay::Origin& origin, const directplay::SystemFrame& frame) override;

   private:
    struct Joining {
        directplay::Endpoint listener;
        std::set<directplay::PlayerId> waiting;  // machines told, not yet acknowledged
    };
    void Forward(const directplay::Origin& origin, const directplay::SystemFrame& frame,
                 const directplay::AddForwardRequest& request);
    void Acknowledge(const directplay::Origin& origin, const directplay::SystemFrame& frame,
                     const directplay::AddForwardAck& ack);
    void SendNameTable(directplay::PlayerId joiner);

    std::map<directplay::PlayerId, Joining> joining_;
    int forwarded_ = 0;
    int acknowledged_ = 0;
};

}  // namespace tarnwick::testing
