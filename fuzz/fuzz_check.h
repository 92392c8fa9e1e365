#pragma once
// Invariant checks for the fuzz targets (Require: see fuzz_invariant.h).
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "multiplayer/fuzzing/fuzz_invariant.h"

namespace tarnwick::fuzz {

// True when `encoded` is exactly the first encoded.size() bytes of `input`.
inline bool IsPrefixOf(const std::vector<std::uint8_t>& encoded, std::span<const std::uint8_t> input) {
    return encoded.size() <= input.size() && std::equal(encoded.begin(), encoded.end(), input.begin());
}

}  // namespace tarnwick::fuzz
