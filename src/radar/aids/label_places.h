#pragma once
// Label placement: each aircraft's label takes the first free place among a
// few around its symbol, free meaning inside the picture and clear of every
// aircraft's disc and of the labels placed before it. Eight places touch the
// disc; two columns of places a little away, to the right and to the left,
// take the labels of a crowd and are tied to their aircraft by a leader line.
// A label keeps its place from one redraw to the next while that place stays
// free, and comes back beside its aircraft as soon as there is room again.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "radar/radar_view.h"
#include "radar/text_metrics.h"
#include "state/traffic_table.h"

namespace tarnwick {

struct LabelRequest {
    PlayerKey Player;
    ScreenPoint Aircraft;  // the centre of its disc
    TextExtent Size;
};

struct LabelPlace {
    ScreenPoint TopLeft;
    // A line from the aircraft to LeaderEnd, on the label's edge, when the
    // label does not touch its disc.
    bool Leader = false;
    ScreenPoint LeaderEnd;
};

class LabelPlaces {
   public:
    // The disc the labels keep clear of: the aircraft symbol's radius.
    static constexpr std::int32_t kDiscRadiusPx = 5;

    // The places for `labels`, in their order. The label at `first` (the
    // aircraft under the pointer) is placed before all others, then those
    // whose last place is still free, then the rest in order. A label with
    // no free place keeps its last place, or else takes its first.
    std::vector<LabelPlace> Place(std::span<const LabelRequest> labels, std::int32_t widthPx,
                                  std::int32_t heightPx, std::optional<std::size_t> first = std::nullopt);

    // How many places a label may try.
    static int CandidateCount();

   private:
    struct Box {
        std::int32_t Left, Top, Right, Bottom;  // right and bottom excluded
    };

    bool Free(const Box& box) const;
    void Take(const Box& box);
    void ResetGrid(std::int32_t widthPx, std::int32_t heightPx);

    std::map<PlayerKey, int> last_;
    // The boxes taken so far, found through a grid of cells over the picture.
    std::vector<Box> boxes_;
    std::vector<std::vector<std::uint32_t>> cells_;
    std::int32_t columns_ = 0;
    std::int32_t rows_ = 0;
    std::int32_t widthPx_ = 0;
    std::int32_t heightPx_ = 0;
};

}  // namespace tarnwick
