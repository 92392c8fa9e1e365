#include "radar/aids/label_places.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr int kNearPlaces = 8;
// Each column: level with the aircraft, then a row up and a row down, and so on.
constexpr int kColumnRows = 11;
constexpr std::int32_t kGapPx = 3;
// From the aircraft to the near edge of a column.
constexpr std::int32_t kColumnOffsetPx = 24;
constexpr std::int32_t kRowGapPx = 1;
constexpr std::int32_t kCellPx = 32;

// The cells are kept row by row; row and column lie inside the grid.
std::size_t CellIndex(std::int32_t row, std::int32_t column, std::int32_t columns) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
           static_cast<std::size_t>(column);
}

struct Candidate {
    ScreenPoint TopLeft;
    bool Leader = false;
};

Candidate CandidateAt(int index, ScreenPoint p, TextExtent size) {
    constexpr std::int32_t r = LabelPlaces::kDiscRadiusPx;
    const std::int32_t w = size.Width;
    const std::int32_t h = size.Height;
    switch (index) {
        case 0:
            return {{p.X + r + kGapPx, p.Y - h / 2}};
        case 1:
            return {{p.X + r, p.Y - r - 1 - h}};
        case 2:
            return {{p.X + r, p.Y + r + 2}};
        case 3:
            return {{p.X - r - kGapPx - w, p.Y - h / 2}};
        case 4:
            return {{p.X - r - w, p.Y - r - 1 - h}};
        case 5:
            return {{p.X - r - w, p.Y + r + 2}};
        case 6:
            return {{p.X - w / 2, p.Y - r - 2 - h}};
        case 7:
            return {{p.X - w / 2, p.Y + r + 3}};
        default:
            break;
    }
    const int k = index - kNearPlaces;
    const bool right = k < kColumnRows;
    const int step = right ? k : k - kColumnRows;
    // 0, 1, 2, 3, 4 ... become rows 0, -1, +1, -2, +2 ...
    const int row = (step + 1) / 2 * (step % 2 == 1 ? -1 : 1);
    const std::int32_t x = right ? p.X + kColumnOffsetPx : p.X - kColumnOffsetPx - w;
    return {{x, p.Y - h / 2 + row * (h + kRowGapPx)}, true};
}

bool Overlap(std::int32_t a0, std::int32_t a1, std::int32_t b0, std::int32_t b1) {
    return a0 < b1 && b0 < a1;
}

}  // namespace

int LabelPlaces::CandidateCount() { return kNearPlaces + 2 * kColumnRows; }

void LabelPlaces::ResetGrid(std::int32_t widthPx, std::int32_t heightPx) {
    widthPx_ = widthPx;
    heightPx_ = heightPx;
    columns_ = std::max(1, (widthPx + kCellPx - 1) / kCellPx);
    rows_ = std::max(1, (heightPx + kCellPx - 1) / kCellPx);
    // The cells keep their room from one pass to the next.
    cells_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
    for (auto& cell : cells_) cell.clear();
    boxes_.clear();
}

bool LabelPlaces::Free(const Box& box) const {
    if (box.Left < 0 || box.Top < 0 || box.Right > widthPx_ || box.Bottom > heightPx_) return false;
    const std::int32_t c0 = box.Left / kCellPx;
    const std::int32_t c1 = std::min(columns_ - 1, (box.Right - 1) / kCellPx);
    const std::int32_t r0 = box.Top / kCellPx;
    const std::int32_t r1 = std::min(rows_ - 1, (box.Bottom - 1) / kCellPx);
    for (std::int32_t row = r0; row <= r1; ++row) {
        for (std::int32_t column = c0; column <= c1; ++column) {
            for (const std::uint32_t i : cells_[CellIndex(row, column, columns_)]) {
                const Box& other = boxes_[i];
                if (Overlap(box.Left, box.Right, other.Left, other.Right) &&
                    Overlap(box.Top, box.Bottom, other.Top, other.Bottom)) {
                    return false;
                }
            }
        }
    }
    return true;
}

void LabelPlaces::Take(const Box& box) {
    const auto index = static_cast<std::uint32_t>(boxes_.size());
    boxes_.push_back(box);
    if (box.Right <= 0 || box.Bottom <= 0 || box.Left >= widthPx_ || box.Top >= heightPx_) return;
    // Boxes partly off the picture are filed under the cells they cover.
    const std::int32_t c0 = std::clamp(box.Left / kCellPx, 0, columns_ - 1);
    const std::int32_t c1 = std::clamp((box.Right - 1) / kCellPx, 0, columns_ - 1);
    const std::int32_t r0 = std::clamp(box.Top / kCellPx, 0, rows_ - 1);
    const std::int32_t r1 = std::clamp((box.Bottom - 1) / kCellPx, 0, rows_ - 1);
    for (std::int32_t row = r0; row <= r1; ++row) {
        for (std::int32_t column = c0; column <= c1; ++column)
            cells_[CellIndex(row, column, columns_)].push_back(index);
    }
}

std::vector<LabelPlace> LabelPlaces::Place(std::span<const LabelRequest> labels, std::int32_t widthPx,
                                           std::int32_t heightPx, std::optional<std::size_t> first) {
    ResetGrid(widthPx, heightPx);
    constexpr std::int32_t r = kDiscRadiusPx;
    for (const LabelRequest& label : labels) {
        const ScreenPoint p = label.Aircraft;
        Take({p.X - r, p.Y - r, p.X + r + 1, p.Y + r + 1});
    }

    const std::size_t count = labels.size();
    std::vector<int> chosen(count, -1);
    const auto remembered = [&](std::size_t i) -> std::optional<int> {
        const auto found = last_.find(labels[i].Player);
        if (found == last_.end()) return std::nullopt;
        return found->second;
    };
    const auto boxOf = [&](std::size_t i, int candidate) {
        const Candidate c = CandidateAt(candidate, labels[i].Aircraft, labels[i].Size);
        return Box{c.TopLeft.X - 1, c.TopLeft.Y, c.TopLeft.X + labels[i].Size.Width + 1,
                   c.TopLeft.Y + labels[i].Size.Height};
    };
    const auto tryTake = [&](std::size_t i, int candidate) {
        const Box box = boxOf(i, candidate);
        if (!Free(box)) return false;
        Take(box);
        chosen[i] = candidate;
        return true;
    };
    const auto tryRange = [&](std::size_t i, int from, int to) {
        for (int candidate = from; candidate < to; ++candidate) {
            if (tryTake(i, candidate)) return true;
        }
        return false;
    };
    const int all = CandidateCount();
    // Beside its aircraft if there is room, else where it was if still free.
    const auto placeKnown = [&](std::size_t i, int last) {
        if (last < kNearPlaces) return tryTake(i, last);
        return tryRange(i, 0, kNearPlaces) || tryTake(i, last);
    };

    if (first && *first < count) {
        const std::optional<int> last = remembered(*first);
        if (!(last && placeKnown(*first, *last))) tryRange(*first, 0, all);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<int> last = remembered(i);
        if (chosen[i] < 0 && last && *last < kNearPlaces) tryTake(i, *last);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<int> last = remembered(i);
        if (chosen[i] < 0 && last && *last >= kNearPlaces) placeKnown(i, *last);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (chosen[i] >= 0 || tryRange(i, 0, all)) continue;
        // Nowhere free: it overlaps, where it was or beside its aircraft.
        chosen[i] = remembered(i).value_or(0);
        Take(boxOf(i, chosen[i]));
    }

    std::map<PlayerKey, int> kept;
    std::vector<LabelPlace> places(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Candidate c = CandidateAt(chosen[i], labels[i].Aircraft, labels[i].Size);
        places[i].TopLeft = c.TopLeft;
        places[i].Leader = c.Leader;
        if (c.Leader) {
            const Box box = boxOf(i, chosen[i]);
            const ScreenPoint p = labels[i].Aircraft;
            // The point of the label's box nearest its aircraft.
            places[i].LeaderEnd = {std::max(box.Left + 1, std::min(p.X, box.Right - 2)),
                                   std::max(box.Top, std::min(p.Y, box.Bottom - 1))};
        }
        kept[labels[i].Player] = chosen[i];
    }
    last_ = std::move(kept);
    return places;
}

}  // namespace tarnwick
