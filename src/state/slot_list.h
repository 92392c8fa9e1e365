#pragma once
// A list as the databases keep it: it may never have been sized (stored as a
// bare 0 dimension count), or it holds a number of slots. Growing lists always
// keep one empty slot after their last element.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarnwick {

// The first `count` elements that `list` really holds: none for a count
// below 1, and no more than the list. A record keeps a count field beside
// each list, and a damaged file can make the two disagree.
template <typename T>
std::span<const T> FilledPart(const std::vector<T>& list, std::int32_t count) {
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    return std::span<const T>(list).first(std::min(wanted, list.size()));
}

template <typename T>
class SlotList {
   public:
    bool IsSized() const { return sized_; }
    std::size_t SlotCount() const { return slots_.size(); }
    const std::vector<T>& Slots() const { return slots_; }
    std::span<const T> Filled(std::int32_t count) const { return FilledPart(slots_, count); }
    std::vector<T>& Slots() { return slots_; }
    T& operator[](std::size_t i) { return slots_[i]; }
    const T& operator[](std::size_t i) const { return slots_[i]; }

    // Grows by one slot so that the n-th element lands in slot n - 1 and the
    // last slot stays empty. `filled` is the element count before this one.
    T& Grow(std::size_t filled) {
        if (!sized_) {
            sized_ = true;
            slots_.assign(1, T{});
        }
        if (slots_.size() < filled + 2) slots_.resize(filled + 2);
        return slots_[filled];
    }

    // Sized once to exactly `count` slots.
    void SizeExactly(std::size_t count) {
        sized_ = true;
        slots_.assign(count, T{});
    }

    void Clear() {
        sized_ = false;
        slots_.clear();
    }

    bool operator==(const SlotList&) const = default;

   private:
    bool sized_ = false;
    std::vector<T> slots_;
};

}  // namespace tarnwick
