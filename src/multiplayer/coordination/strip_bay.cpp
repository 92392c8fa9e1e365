#include "multiplayer/coordination/strip_bay.h"

#include <algorithm>

namespace tarnwick::coordination {
namespace {

bool Erase(std::vector<PlayerKey>& list, const PlayerKey& aircraft) {
    const auto at = std::find(list.begin(), list.end(), aircraft);
    if (at == list.end()) return false;
    list.erase(at);
    return true;
}

}  // namespace

bool StripBay::Has(const PlayerKey& aircraft) const {
    return std::find(strips_.begin(), strips_.end(), aircraft) != strips_.end();
}

bool StripBay::IsFinished(const PlayerKey& aircraft) const {
    return std::find(finished_.begin(), finished_.end(), aircraft) != finished_.end();
}

bool StripBay::Add(const PlayerKey& aircraft) {
    if (Has(aircraft) || strips_.size() >= kMaxStrips) return false;
    strips_.push_back(aircraft);
    return true;
}

bool StripBay::Remove(const PlayerKey& aircraft) {
    return Erase(strips_, aircraft) || Erase(finished_, aircraft);
}

bool StripBay::Move(const PlayerKey& aircraft, std::size_t index) {
    if (!Erase(strips_, aircraft)) return false;
    strips_.insert(strips_.begin() + static_cast<std::ptrdiff_t>(std::min(index, strips_.size())), aircraft);
    return true;
}

std::vector<PlayerKey> StripBay::Finish(const PlayerKey& aircraft) {
    std::vector<PlayerKey> forgotten;
    if (!Erase(strips_, aircraft)) return forgotten;
    finished_.insert(finished_.begin(), aircraft);
    while (finished_.size() > kMaxFinished) {
        forgotten.push_back(finished_.back());
        finished_.pop_back();
    }
    return forgotten;
}

}  // namespace tarnwick::coordination
