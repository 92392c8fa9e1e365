#pragma once
// Which players not yet in the traffic table to ask at once who they are,
// rather than leave them to the next upkeep pass: a pilot that reports or
// talks before anyone knows it is asked, but at most once per interval, so
// that four reports a second draw one request, not four. The players asked
// are kept for an interval only, and no more than a bounded number at a time,
// so that a peer sending under ever new ids neither grows the memory nor
// draws more requests than that number per interval.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>

namespace tarnwick {

class IdentifyRequests {
   public:
    static constexpr std::chrono::milliseconds kInterval{3000};
    static constexpr std::size_t kMostPlayers = 512;

    // Whether to ask `player` now; the request is noted when so. A clock that
    // went back (a replay sought backwards) counts as the interval passed.
    bool ShouldAsk(std::int32_t player, std::chrono::milliseconds now);
    // `player` was asked now by other means (the upkeep pass, the request
    // to all): what it sends meanwhile asks nothing more.
    void Asked(std::int32_t player, std::chrono::milliseconds now);
    std::size_t Kept() const { return asked_.size(); }

   private:
    bool Recent(std::chrono::milliseconds at, std::chrono::milliseconds now) const {
        return now >= at && now - at < kInterval;
    }
    // Room for one more, after forgetting those asked before the interval.
    bool MakeRoom(std::chrono::milliseconds now);

    std::map<std::int32_t, std::chrono::milliseconds> asked_;
};

}  // namespace tarnwick
