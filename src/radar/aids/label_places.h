#pragma once
// Label placement: each aircraft's label takes the first free place among a
// few around its symbol, free meaning inside the picture and clear of every
// aircraft's disc, of the texts the map writes (airport names, runway
// numbers...) and of the labels and leader lines placed before it. Eight
// places touch the disc; places further out, nearest first, take the labels
// that find no room there and are tied to their aircraft by a short leader
// line, never longer than a bound: a label with no room within it stays at its
// default place beside its aircraft. A label keeps its place from one redraw
// to the next while that place stays free, and comes back beside its aircraft
// as soon as there is room again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <utility>
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
    // The longest leader, from the aircraft's centre to the label's edge:
    // about three lines of the scope's text, a data block and a half. A label
    // this far off still reads as its aircraft's at a glance; much further it
    // sits beside other aircraft and reads as theirs. Much nearer and a thick
    // crowd's labels find no room: at 40 px more than twice as many are left
    // overlapping.
    static constexpr std::int32_t kMaxLeaderPx = 48;

    // Where a label goes when nothing moves it: right of its disc, level with it.
    static ScreenPoint DefaultPlace(ScreenPoint aircraft, TextExtent size);

    // The places for `labels`, in their order, clear of the boxes of
    // `mapTexts` too. The label at `first` (the aircraft under the pointer)
    // is placed before all others, then those whose last place is still free,
    // then the rest, the most crowded aircraft first. A place whose leader
    // runs over a text, a disc or a label is taken only when no other place
    // is free, and one whose leader crosses another leader only when no other
    // is left. The labels with no free place come last, over the others: each
    // keeps its last place if that was beside its aircraft, or else takes its
    // default place.
    std::vector<LabelPlace> Place(std::span<const LabelRequest> labels, std::int32_t widthPx,
                                  std::int32_t heightPx, std::span<const PixelBox> mapTexts = {},
                                  std::optional<std::size_t> first = std::nullopt);

   private:
    // A place: one of the eight near places moved by whole steps of a lattice.
    struct Candidate {
        std::int16_t Place = 0;
        std::int16_t Across = 0;
        std::int16_t Down = 0;
        // Set by Checked: the place does not touch the disc.
        bool Leader = false;
    };
    // The place for a label of `size`, with its leader told, unless it covers
    // the label's own disc or its leader is longer than the bound.
    static std::optional<Candidate> Checked(Candidate c, TextExtent size);
    // A label's places in the order tried: those touching its disc, then
    // those on leaders, the shortest first.
    const std::vector<Candidate>& CandidatesFor(TextExtent size);

    struct Leader {
        ScreenPoint From, To;
        // The pixels its line may touch.
        PixelBox Area() const {
            return {std::min(From.X, To.X), std::min(From.Y, To.Y), std::max(From.X, To.X) + 1,
                    std::max(From.Y, To.Y) + 1};
        }
    };

    // Placed boxes and leaders, found through a grid of cells over the picture.
    class Taken {
       public:
        void Reset(std::int32_t widthPx, std::int32_t heightPx);
        // Inside the picture, on no box and under no leader.
        bool Free(const PixelBox& box) const;
        // How a leader lies: clear, over a box that is not its own aircraft's
        // disc (a disc, a text, a label), or across another leader, the worst.
        enum class Way { Clear, OverBox, Across };
        Way WayOf(const Leader& leader, std::size_t owner) const;
        // `owner`: the label whose disc or box it is; none for the map's texts.
        void Add(const PixelBox& box, std::optional<std::size_t> owner);
        void Add(const Leader& leader);

       private:
        static constexpr std::uint32_t kLeaderBit = 0x80000000u;
        struct Cells {
            std::int32_t Left, Top, Right, Bottom;  // all included
        };
        std::optional<Cells> CellsOf(const PixelBox& area) const;
        std::size_t CellIndex(std::int32_t row, std::int32_t column) const;
        template <typename Visit>
        bool AnyInCells(const PixelBox& area, Visit visit) const;
        void File(const PixelBox& area, std::uint32_t item);

        std::vector<PixelBox> boxes_;
        std::vector<std::optional<std::size_t>> owners_;
        std::vector<Leader> leaders_;
        std::vector<std::vector<std::uint32_t>> cells_;
        std::int32_t columns_ = 0;
        std::int32_t rows_ = 0;
        std::int32_t widthPx_ = 0;
        std::int32_t heightPx_ = 0;
    };

    // Each label's place in the last pass, and whether it lay over others there.
    struct Kept {
        Candidate Place;
        bool Overlapping = false;
    };
    std::map<PlayerKey, Kept> last_;
    Taken taken_;
    // By label size; a session meets a few dozen sizes.
    std::map<std::pair<std::int32_t, std::int32_t>, std::vector<Candidate>> candidates_;
};

}  // namespace tarnwick
