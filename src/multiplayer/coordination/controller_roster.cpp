#include "multiplayer/coordination/controller_roster.h"

#include <algorithm>
#include <map>

namespace tarnwick::coordination {

std::vector<std::int32_t> RecognizeControllers(const SessionRoster& roster, std::int32_t ownPlayer) {
    std::map<std::int32_t, std::int32_t> machineOf;
    for (const RosterPlayer& player : roster.Players) machineOf[player.Id] = player.Machine;

    std::vector<std::int32_t> controllers;
    for (const RosterGroup& group : roster.Groups) {
        if (group.ShortName != kControllerGroupName) continue;
        for (std::int32_t member : group.Members) {
            const auto machine = machineOf.find(member);
            if (member == ownPlayer || machine == machineOf.end() || machine->second != group.Machine ||
                group.Machine == 0) {
                continue;
            }
            controllers.push_back(member);
        }
    }
    std::sort(controllers.begin(), controllers.end(), LowerPlayerId);
    controllers.erase(std::unique(controllers.begin(), controllers.end()), controllers.end());
    if (controllers.size() > kMaxControllers) controllers.resize(kMaxControllers);
    return controllers;
}

}  // namespace tarnwick::coordination
