#include "multiplayer/tcpip/address_history.h"

#include <algorithm>

namespace tarnwick {

std::vector<std::string> WithRecentAddress(std::vector<std::string> recent, std::string_view address,
                                           std::size_t limit) {
    if (address.find_first_not_of(" \t") == std::string_view::npos) return recent;
    std::erase(recent, address);
    recent.insert(recent.begin(), std::string(address));
    if (recent.size() > limit) recent.resize(limit);
    return recent;
}

}  // namespace tarnwick
