#include "traffic/scope_traffic.h"

namespace tarnwick {

bool ShowsOnScope(const ScopeTraffic& traffic, const PlayerRecord& record) {
    return record.Name != traffic.OwnName && record.Kind == kKindPlayer &&
           record.PlayerId != traffic.OwnPlayerId && (!traffic.Band || traffic.Band->Holds(record.Altitude));
}

}  // namespace tarnwick
