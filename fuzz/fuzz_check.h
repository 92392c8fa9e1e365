#pragma once
// Invariant checks for the fuzz targets. They stay on in every build type; a
// broken invariant aborts, so libFuzzer keeps the input that broke it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace tarnwick::fuzz {

inline void Require(bool holds, const char* invariant) {
    if (holds) return;
    std::fprintf(stderr, "broken invariant: %s\n", invariant);
    std::abort();
}

// True when `encoded` is exactly the first encoded.size() bytes of `input`.
inline bool IsPrefixOf(const std::vector<std::uint8_t>& encoded, std::span<const std::uint8_t> input) {
    return encoded.size() <= input.size() && std::equal(encoded.begin(), encoded.end(), input.begin());
}

}  // namespace tarnwick::fuzz
