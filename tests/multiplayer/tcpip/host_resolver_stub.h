#pragma once
// Host names the test answers when it likes, so that no test asks the
// system's name servers and a slow answer is the test's own choice.
#include <cstdint>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/tcpip/host_resolver.h"

namespace tarnwick::testing {

class HostResolverStub final : public HostResolver {
   public:
    HostLookup Lookup(const std::string& name) override {
        asked.push_back(name);
        std::promise<std::optional<std::uint32_t>> answer;
        HostLookup lookup = answer.get_future();
        if (const auto known = answers_.find(name); known != answers_.end()) {
            answer.set_value(known->second);
        } else {
            pending_.emplace(name, std::move(answer));
        }
        return lookup;
    }
    // Answers the lookups of `name` made so far and those to come (nothing:
    // an unknown name).
    void Answer(const std::string& name, std::optional<std::uint32_t> ip) {
        answers_[name] = ip;
        const auto [first, last] = pending_.equal_range(name);
        for (auto waiting = first; waiting != last; ++waiting) waiting->second.set_value(ip);
        pending_.erase(first, last);
    }

    std::vector<std::string> asked;

   private:
    std::map<std::string, std::optional<std::uint32_t>> answers_;
    std::multimap<std::string, std::promise<std::optional<std::uint32_t>>> pending_;
};

}  // namespace tarnwick::testing
