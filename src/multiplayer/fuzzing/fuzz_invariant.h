#pragma once
// What the fuzz entries and targets check for every input. The check stays on
// in every build type; a broken invariant aborts, so libFuzzer keeps the input
// that broke it.
#include <cstdio>
#include <cstdlib>

namespace tarnwick::fuzz {

inline void Require(bool holds, const char* invariant) {
    if (holds) return;
    std::fprintf(stderr, "broken invariant: %s\n", invariant);
    std::abort();
}

}  // namespace tarnwick::fuzz
