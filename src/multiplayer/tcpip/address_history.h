#pragma once
// The host addresses the user typed before, most recent first, so the TCP/IP
// connection's prompt can offer them again. Where they are kept is the
// keeper's business (the user's configuration for the program, nowhere for
// the tools).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

inline constexpr std::size_t kRememberedAddresses = 10;

// `recent` with `address` moved (or added) to the front, without repeats and
// at most `limit` long. Blank addresses are not worth remembering.
std::vector<std::string> WithRecentAddress(std::vector<std::string> recent, std::string_view address,
                                           std::size_t limit = kRememberedAddresses);

class AddressHistory {
   public:
    virtual ~AddressHistory() = default;
    // Most recent first; UTF-8 as typed.
    virtual std::vector<std::string> Recent() const = 0;
    virtual void Remember(std::string_view address) = 0;
};

}  // namespace tarnwick
