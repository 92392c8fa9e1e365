#include "radar/aids/label_places.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>

namespace tarnwick {
namespace {

constexpr int kNearPlaces = 8;
constexpr std::int32_t kGapPx = 3;
// The lattice the places away from the aircraft lie on: a step across is
// about a character, a step down half a line.
constexpr std::int32_t kAcrossPx = 12;
constexpr std::int32_t kDownPx = 7;
// Places this close to the aircraft touch its disc and need no leader.
constexpr std::int64_t kTouchingPx2 = 90;
constexpr std::int32_t kCellPx = 32;
// The labels of the most crowded aircraft are placed first, while there is
// still room about them; crowded counts the aircraft within about a data
// block and a leader either way.
constexpr std::int32_t kCrowdXPx = 80;
constexpr std::int32_t kCrowdYPx = 60;
// The lists of places kept for label sizes met, at most; a name's many
// lengths cannot make them grow without end.
constexpr std::size_t kMostSizes = 256;
// How far a wide label slides along, at most, in steps across.
constexpr int kMostAcross = 40;

// The eight places touching the disc: right, above right, below right, left,
// above left, below left, above, below.
ScreenPoint NearPlace(int place, ScreenPoint p, TextExtent size) {
    constexpr std::int32_t r = LabelPlaces::kDiscRadiusPx;
    const std::int32_t w = size.Width;
    const std::int32_t h = size.Height;
    switch (place) {
        case 0:
            return {p.X + r + kGapPx, p.Y - h / 2};
        case 1:
            return {p.X + r, p.Y - r - 1 - h};
        case 2:
            return {p.X + r, p.Y + r + 2};
        case 3:
            return {p.X - r - kGapPx - w, p.Y - h / 2};
        case 4:
            return {p.X - r - w, p.Y - r - 1 - h};
        case 5:
            return {p.X - r - w, p.Y + r + 2};
        case 6:
            return {p.X - w / 2, p.Y - r - 2 - h};
        default:
            return {p.X - w / 2, p.Y + r + 3};
    }
}

PixelBox DiscBox(ScreenPoint p) {
    constexpr std::int32_t r = LabelPlaces::kDiscRadiusPx;
    return {p.X - r, p.Y - r, p.X + r + 1, p.Y + r + 1};
}

bool Overlap(const PixelBox& a, const PixelBox& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The label's box keeps a pixel clear on either side of its text.
PixelBox BoxAt(ScreenPoint topLeft, TextExtent size) {
    return {topLeft.X - 1, topLeft.Y, topLeft.X + size.Width + 1, topLeft.Y + size.Height};
}

// The point of the label's box nearest its aircraft, where the leader ends.
ScreenPoint LeaderEndOn(const PixelBox& box, ScreenPoint p) {
    return {std::max(box.Left + 1, std::min(p.X, box.Right - 2)),
            std::max(box.Top, std::min(p.Y, box.Bottom - 1))};
}

std::int64_t Length2(ScreenPoint from, ScreenPoint to) {
    const std::int64_t dx = to.X - from.X;
    const std::int64_t dy = to.Y - from.Y;
    return dx * dx + dy * dy;
}

bool WithinBound(ScreenPoint from, ScreenPoint to) {
    constexpr std::int64_t most = LabelPlaces::kMaxLeaderPx;
    return Length2(from, to) <= most * most;
}

// Whether the segment touches any pixel of the box (clipped parametrically).
bool Meets(ScreenPoint from, ScreenPoint to, const PixelBox& box) {
    if (box.Right <= box.Left || box.Bottom <= box.Top) return false;
    const double x = from.X;
    const double y = from.Y;
    const double dx = to.X - from.X;
    const double dy = to.Y - from.Y;
    const std::array<double, 4> p{-dx, dx, -dy, dy};
    const std::array<double, 4> q{x - box.Left, box.Right - 1 - x, y - box.Top, box.Bottom - 1 - y};
    double t0 = 0;
    double t1 = 1;
    for (std::size_t k = 0; k < p.size(); ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

int Turn(ScreenPoint a, ScreenPoint b, ScreenPoint c) {
    const std::int64_t cross = std::int64_t{b.X - a.X} * (c.Y - a.Y) - std::int64_t{b.Y - a.Y} * (c.X - a.X);
    return (cross > 0) - (cross < 0);
}

// Each runs across the other; leaders that only share an end (two aircraft on
// one point) do not cross.
bool Cross(ScreenPoint a0, ScreenPoint a1, ScreenPoint b0, ScreenPoint b1) {
    return Turn(a0, a1, b0) * Turn(a0, a1, b1) < 0 && Turn(b0, b1, a0) * Turn(b0, b1, a1) < 0;
}

// The labels' indexes, the most crowded aircraft first, in table order among equals.
std::vector<std::size_t> CrowdedFirst(std::span<const LabelRequest> labels) {
    const std::size_t count = labels.size();
    std::vector<std::size_t> byX(count);
    std::iota(byX.begin(), byX.end(), std::size_t{0});
    std::sort(byX.begin(), byX.end(),
              [&](std::size_t a, std::size_t b) { return labels[a].Aircraft.X < labels[b].Aircraft.X; });
    std::vector<int> crowd(count, 0);
    std::size_t from = 0;
    for (const std::size_t i : byX) {
        const ScreenPoint p = labels[i].Aircraft;
        while (labels[byX[from]].Aircraft.X <= p.X - kCrowdXPx) ++from;
        for (std::size_t k = from; k < count && labels[byX[k]].Aircraft.X < p.X + kCrowdXPx; ++k) {
            if (std::abs(labels[byX[k]].Aircraft.Y - p.Y) < kCrowdYPx) ++crowd[i];
        }
    }
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return crowd[a] > crowd[b]; });
    return order;
}

}  // namespace

ScreenPoint LabelPlaces::DefaultPlace(ScreenPoint aircraft, TextExtent size) {
    return NearPlace(0, aircraft, size);
}

// The near places, then the spots of a lattice around the aircraft: those
// right of it hang from their left edge (the right place moved across and
// down), those left of it from their right edge (the left place moved), so
// that a label keeps its spot when its text grows or shrinks. Kept are the
// spots whose box leaves the disc clear and whose leader is within the bound;
// touching ones (no leader) first, the near places first among them, then by
// the leader's length.
std::optional<LabelPlaces::Candidate> LabelPlaces::Checked(Candidate c, TextExtent size) {
    constexpr ScreenPoint p{0, 0};
    const ScreenPoint near = NearPlace(c.Place, p, size);
    const PixelBox box = BoxAt({near.X + c.Across * kAcrossPx, near.Y + c.Down * kDownPx}, size);
    const ScreenPoint end = LeaderEndOn(box, p);
    if (Overlap(box, DiscBox(p)) || !WithinBound(p, end)) return std::nullopt;
    c.Leader = Length2(p, end) > kTouchingPx2;
    return c;
}

const std::vector<LabelPlaces::Candidate>& LabelPlaces::CandidatesFor(TextExtent size) {
    auto& found = candidates_[{size.Width, size.Height}];
    if (!found.empty()) return found;
    constexpr ScreenPoint p{0, 0};
    struct Ranked {
        Candidate C;
        std::int64_t Length2;
    };
    std::vector<Ranked> ranked;
    const auto add = [&](int place, int across, int down) {
        const std::optional<Candidate> c =
            Checked({static_cast<std::int16_t>(place), static_cast<std::int16_t>(across),
                     static_cast<std::int16_t>(down)},
                    size);
        if (!c) return;
        const ScreenPoint near = NearPlace(c->Place, p, size);
        const PixelBox box = BoxAt({near.X + c->Across * kAcrossPx, near.Y + c->Down * kDownPx}, size);
        ranked.push_back({*c, Length2(p, LeaderEndOn(box, p))});
    };
    for (int place = 0; place < kNearPlaces; ++place) add(place, 0, 0);
    const int acrossMost = std::min(kMostAcross, (size.Width + kMaxLeaderPx) / kAcrossPx + 1);
    const int downMost = std::min(kMostAcross, (size.Height + kMaxLeaderPx) / kDownPx + 1);
    const std::int32_t rightX = NearPlace(0, p, size).X;
    const std::int32_t leftX = NearPlace(3, p, size).X;
    for (int across = -acrossMost; across <= acrossMost; ++across) {
        for (int down = -downMost; down <= downMost; ++down) {
            if (across == 0 && down == 0) continue;
            // By where the label's middle lies: right of the aircraft, or left.
            if (2 * (rightX + across * kAcrossPx) + size.Width > 0) add(0, across, down);
            if (2 * (leftX - across * kAcrossPx) + size.Width <= 0) add(3, -across, down);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        const bool nearA = a.C.Across == 0 && a.C.Down == 0;
        const bool nearB = b.C.Across == 0 && b.C.Down == 0;
        if (a.C.Leader != b.C.Leader) return !a.C.Leader;
        if (nearA != nearB) return nearA;
        if (nearA) return a.C.Place < b.C.Place;
        return a.Length2 < b.Length2;
    });
    for (const Ranked& r : ranked) found.push_back(r.C);
    return found;
}

void LabelPlaces::Taken::Reset(std::int32_t widthPx, std::int32_t heightPx) {
    widthPx_ = widthPx;
    heightPx_ = heightPx;
    columns_ = std::max(1, (widthPx + kCellPx - 1) / kCellPx);
    rows_ = std::max(1, (heightPx + kCellPx - 1) / kCellPx);
    // The cells keep their room from one pass to the next.
    cells_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
    for (auto& cell : cells_) cell.clear();
    boxes_.clear();
    owners_.clear();
    leaders_.clear();
}

// The cells `area` covers, from the first row and column to the last; none
// when it lies wholly off the picture.
std::optional<LabelPlaces::Taken::Cells> LabelPlaces::Taken::CellsOf(const PixelBox& area) const {
    if (area.Right <= 0 || area.Bottom <= 0 || area.Left >= widthPx_ || area.Top >= heightPx_)
        return std::nullopt;
    return Cells{std::clamp(area.Left / kCellPx, 0, columns_ - 1),
                 std::clamp(area.Top / kCellPx, 0, rows_ - 1),
                 std::clamp((area.Right - 1) / kCellPx, 0, columns_ - 1),
                 std::clamp((area.Bottom - 1) / kCellPx, 0, rows_ - 1)};
}

std::size_t LabelPlaces::Taken::CellIndex(std::int32_t row, std::int32_t column) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
}

// Visits the items filed in the cells `area` covers until `visit` says yes.
template <typename Visit>
bool LabelPlaces::Taken::AnyInCells(const PixelBox& area, Visit visit) const {
    const std::optional<Cells> cells = CellsOf(area);
    if (!cells) return false;
    for (std::int32_t row = cells->Top; row <= cells->Bottom; ++row) {
        for (std::int32_t column = cells->Left; column <= cells->Right; ++column) {
            for (const std::uint32_t item : cells_[CellIndex(row, column)]) {
                if (visit(item)) return true;
            }
        }
    }
    return false;
}

// Items partly off the picture are filed under the cells they cover; those
// wholly off it under none.
void LabelPlaces::Taken::File(const PixelBox& area, std::uint32_t item) {
    const std::optional<Cells> cells = CellsOf(area);
    if (!cells) return;
    for (std::int32_t row = cells->Top; row <= cells->Bottom; ++row) {
        for (std::int32_t column = cells->Left; column <= cells->Right; ++column)
            cells_[CellIndex(row, column)].push_back(item);
    }
}

bool LabelPlaces::Taken::Free(const PixelBox& box) const {
    if (box.Left < 0 || box.Top < 0 || box.Right > widthPx_ || box.Bottom > heightPx_) return false;
    return !AnyInCells(box, [&](std::uint32_t item) {
        if ((item & kLeaderBit) != 0) {
            const Leader& leader = leaders_[item & ~kLeaderBit];
            return Meets(leader.From, leader.To, box);
        }
        return Overlap(box, boxes_[item]);
    });
}

LabelPlaces::Taken::Way LabelPlaces::Taken::WayOf(const Leader& leader, std::size_t owner) const {
    bool overBox = false;
    const bool across = AnyInCells(leader.Area(), [&](std::uint32_t item) {
        if ((item & kLeaderBit) != 0) {
            const Leader& other = leaders_[item & ~kLeaderBit];
            return Cross(leader.From, leader.To, other.From, other.To);
        }
        if (!overBox && owners_[item] != owner && Meets(leader.From, leader.To, boxes_[item])) overBox = true;
        return false;
    });
    if (across) return Way::Across;
    return overBox ? Way::OverBox : Way::Clear;
}

void LabelPlaces::Taken::Add(const PixelBox& box, std::optional<std::size_t> owner) {
    const auto index = static_cast<std::uint32_t>(boxes_.size());
    boxes_.push_back(box);
    owners_.push_back(owner);
    File(box, index);
}

void LabelPlaces::Taken::Add(const Leader& leader) {
    const auto index = static_cast<std::uint32_t>(leaders_.size());
    leaders_.push_back(leader);
    File(leader.Area(), index | kLeaderBit);
}

std::vector<LabelPlace> LabelPlaces::Place(std::span<const LabelRequest> labels, std::int32_t widthPx,
                                           std::int32_t heightPx, std::span<const PixelBox> mapTexts,
                                           std::optional<std::size_t> first) {
    taken_.Reset(widthPx, heightPx);
    const std::size_t count = labels.size();
    for (std::size_t i = 0; i < count; ++i) taken_.Add(DiscBox(labels[i].Aircraft), i);
    for (const PixelBox& text : mapTexts) taken_.Add(text, std::nullopt);

    if (candidates_.size() > kMostSizes) candidates_.clear();
    std::vector<const std::vector<Candidate>*> candidates(count);
    for (std::size_t i = 0; i < count; ++i) candidates[i] = &CandidatesFor(labels[i].Size);
    std::vector<std::optional<Candidate>> chosen(count);
    std::vector<bool> overlapping(count, false);
    // Where it was, told again for its size now (a data block grows a line).
    const auto remembered = [&](std::size_t i) -> std::optional<Kept> {
        const auto found = last_.find(labels[i].Player);
        if (found == last_.end()) return std::nullopt;
        const std::optional<Candidate> place = Checked(found->second.Place, labels[i].Size);
        if (!place) return std::nullopt;
        return Kept{*place, found->second.Overlapping};
    };
    const auto topLeftOf = [&](std::size_t i, Candidate c) {
        const ScreenPoint near = NearPlace(c.Place, labels[i].Aircraft, labels[i].Size);
        return ScreenPoint{near.X + c.Across * kAcrossPx, near.Y + c.Down * kDownPx};
    };
    const auto leaderOf = [&](std::size_t i, const PixelBox& box) {
        return Leader{labels[i].Aircraft, LeaderEndOn(box, labels[i].Aircraft)};
    };
    const auto take = [&](std::size_t i, Candidate c) {
        const PixelBox box = BoxAt(topLeftOf(i, c), labels[i].Size);
        taken_.Add(box, i);
        if (c.Leader) taken_.Add(leaderOf(i, box));
        chosen[i] = c;
    };
    // How well a place fits, the best last.
    enum class Fit { No, LeaderAcross, LeaderOverBox, Yes };
    const auto fit = [&](std::size_t i, Candidate c) {
        const PixelBox box = BoxAt(topLeftOf(i, c), labels[i].Size);
        if (!taken_.Free(box)) return Fit::No;
        if (!c.Leader) return Fit::Yes;
        switch (taken_.WayOf(leaderOf(i, box), i)) {
            case Taken::Way::Clear:
                return Fit::Yes;
            case Taken::Way::OverBox:
                return Fit::LeaderOverBox;
            case Taken::Way::Across:
                break;
        }
        return Fit::LeaderAcross;
    };
    // The first place that fits best, among those touching the disc only
    // when `touching`; unless `anyFree`, only a place that fits outright.
    const auto tryPlaces = [&](std::size_t i, bool touching, bool anyFree) {
        Fit best = Fit::No;
        std::optional<Candidate> second;
        for (const Candidate& c : *candidates[i]) {
            if (touching && c.Leader) break;
            const Fit f = fit(i, c);
            if (f == Fit::Yes) {
                take(i, c);
                return true;
            }
            if (f > best) {
                best = f;
                second = c;
            }
        }
        if (!anyFree || !second) return false;
        take(i, *second);
        return true;
    };
    // Beside its aircraft if there is room, else where it was if still free,
    // whatever its leader meets: it met that last time too.
    const auto placeKnown = [&](std::size_t i, Candidate last) {
        if (tryPlaces(i, true, false)) return true;
        if (!last.Leader || fit(i, last) == Fit::No) return false;
        take(i, last);
        return true;
    };

    // Labels that found room last time keep it, so that a pass over unchanged
    // traffic places every label as the pass before: first those beside their
    // aircraft, then those on leaders in the order they found room, the most
    // crowded first. The ones left over lay over others and keep no room for
    // themselves.
    if (first && *first < count) {
        const std::optional<Kept> last = remembered(*first);
        if (!(last && !last->Overlapping && placeKnown(*first, last->Place))) tryPlaces(*first, false, true);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<Kept> last = remembered(i);
        if (chosen[i] || !last || last->Overlapping || last->Place.Leader) continue;
        if (fit(i, last->Place) == Fit::Yes) take(i, last->Place);
    }
    const std::vector<std::size_t> order = CrowdedFirst(labels);
    for (const std::size_t i : order) {
        const std::optional<Kept> last = remembered(i);
        if (chosen[i] || !last || last->Overlapping || !last->Place.Leader) continue;
        placeKnown(i, last->Place);
    }
    std::vector<std::size_t> left;
    for (const std::size_t i : order) {
        if (!chosen[i] && !tryPlaces(i, false, true)) left.push_back(i);
    }
    // No room within the bound: the label lies over others beside its
    // aircraft, where it was or at its default place, rather than going far.
    for (const std::size_t i : left) {
        const std::optional<Kept> last = remembered(i);
        take(i, last && !last->Place.Leader ? last->Place : candidates[i]->front());
        overlapping[i] = true;
    }

    std::map<PlayerKey, Kept> kept;
    std::vector<LabelPlace> places(count);
    for (std::size_t i = 0; i < count; ++i) {
        places[i].TopLeft = topLeftOf(i, *chosen[i]);
        places[i].Leader = chosen[i]->Leader;
        if (places[i].Leader)
            places[i].LeaderEnd = LeaderEndOn(BoxAt(places[i].TopLeft, labels[i].Size), labels[i].Aircraft);
        kept[labels[i].Player] = {*chosen[i], overlapping[i]};
    }
    last_ = std::move(kept);
    return places;
}

}  // namespace tarnwick
