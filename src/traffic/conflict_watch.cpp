#include "traffic/conflict_watch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "base/rounding.h"
#include "geo/local_offset.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

// Where each aircraft is in the table, by its key.
std::map<PlayerKey, const PlayerRecord*> ByKey(const TrafficTable& table) {
    std::map<PlayerKey, const PlayerRecord*> found;
    for (const PlayerRecord& entry : table.Entries()) found.emplace(KeyOf(entry), &entry);
    return found;
}

// "1:05", or "1:02:05" past an hour.
std::string Duration(milliseconds length) {
    const long long seconds = std::max<long long>(0, length.count() / 1000);
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    }
    return text;
}

}  // namespace

std::size_t ConflictWatch::Update(const TrafficTable& table, std::span<const ConflictPair> pairs,
                                  milliseconds now) {
    // A replay sent back to an earlier moment: what was listed has not
    // happened yet, and would otherwise stay until its future moment passed.
    if (lastUpdate_ && now < *lastUpdate_) watched_.clear();
    lastUpdate_ = now;
    // Ended first: a pair back after 10 s clear is a new alert.
    const auto where = ByKey(table);
    std::erase_if(watched_, [&](const Watched& w) {
        return now - w.LastSeen >= kClearFor || !where.contains(w.Alert.First) ||
               !where.contains(w.Alert.Second);
    });
    std::vector<Watched> started;
    const auto entries = table.Entries();
    for (const ConflictPair& pair : pairs) {
        if (pair.First >= entries.size() || pair.Second >= entries.size()) continue;
        const PlayerKey first = KeyOf(entries[pair.First]);
        const PlayerKey second = KeyOf(entries[pair.Second]);
        const auto same = [&](const Watched& w) {
            return w.Alert.First == first && w.Alert.Second == second;
        };
        if (const auto known = std::find_if(watched_.begin(), watched_.end(), same);
            known != watched_.end()) {
            known->LastSeen = now;
        } else if (std::none_of(started.begin(), started.end(), same)) {
            started.push_back({{first, second, 0.0, 0, now, false}, now});
        }
    }
    watched_.insert(watched_.end(), started.begin(), started.end());
    for (Watched& w : watched_) {
        const PlayerRecord& a = *where.at(w.Alert.First);
        const PlayerRecord& b = *where.at(w.Alert.Second);
        w.Alert.DistanceNm =
            geo::LengthNm(geo::OffsetBetween(a.Latitude, a.Longitude, b.Latitude, b.Longitude));
        w.Alert.HeightApartFt = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::llabs(std::int64_t{a.Altitude} - b.Altitude), INT32_MAX));
        w.Alert.Clear = w.LastSeen != now;
    }
    return started.size();
}

std::vector<ConflictAlert> ConflictWatch::Alerts() const {
    std::vector<ConflictAlert> alerts;
    for (const Watched& w : watched_) alerts.push_back(w.Alert);
    // Started later first; those that started together in table order.
    std::stable_sort(alerts.begin(), alerts.end(),
                     [](const ConflictAlert& a, const ConflictAlert& b) { return a.Since > b.Since; });
    return alerts;
}

std::size_t WatchConflicts(ConflictWatch& watch, const ScopeTraffic& traffic, const MotionHistory& motion,
                           const ChosenArea& area, const RadarAids& aids, milliseconds now) {
    if (!aids.Conflicts) {
        watch.Clear();
        return 0;
    }
    const std::vector<ConflictPair> pairs =
        FindConflicts(traffic, motion, ConflictLimitsOf(aids), ConflictInhibitions(aids, area));
    return watch.Update(traffic.Table, pairs, now);
}

std::string AlertLine(const ConflictAlert& alert, milliseconds now) {
    const auto tenths = static_cast<long long>(RoundHalfEven(alert.DistanceNm * 10.0));
    char distance[48];
    std::snprintf(distance, sizeof distance, "%lld.%lld nm", tenths / 10, tenths % 10);
    return alert.First.Name + " " + alert.Second.Name + "  " + distance + "  " +
           std::to_string(alert.HeightApartFt) + " ft  for " + Duration(now - alert.Since) +
           (alert.Clear ? "  clear" : "");
}

}  // namespace tarnwick
