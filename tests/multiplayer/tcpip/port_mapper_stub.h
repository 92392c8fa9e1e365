#pragma once
// A router the test scripts: each request gets the next answer given (the
// last one again once they run out), at once, and every request is kept.
#include <deque>
#include <vector>

#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick::testing {

class PortMapperStub final : public PortMapper {
   public:
    explicit PortMapperStub(std::deque<PortMappingResult> answers) : answers_(std::move(answers)) {}
    PortMapping Map(const PortMappingRequest& request) override {
        maps.push_back(request);
        std::promise<PortMappingResult> answer;
        answer.set_value(answers_.front());
        if (answers_.size() > 1) answers_.pop_front();
        return answer.get_future();
    }
    void Unmap(const PortMappingRequest& request) override { unmaps.push_back(request); }

    std::vector<PortMappingRequest> maps;
    std::vector<PortMappingRequest> unmaps;

   private:
    std::deque<PortMappingResult> answers_;
};

}  // namespace tarnwick::testing
