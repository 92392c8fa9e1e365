#include "multiplayer/directplay/host_election.h"

namespace tarnwick::directplay {

bool PrecedesAsHost(PlayerId a, PlayerId b) { return a < b; }

std::optional<PlayerId> ElectHost(const NameTable& names) {
    std::optional<PlayerId> elected;
    for (const PlayerId machine : names.SystemPlayers())
        if (!elected || PrecedesAsHost(machine, *elected)) elected = machine;
    return elected;
}

}  // namespace tarnwick::directplay
