#pragma once
// Calls an entry function with the fuzzer's bytes in the form it takes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace tarnwick::fuzz {

template <typename Entry>
void CallEntry(Entry entry, const std::uint8_t* data, std::size_t size) {
    if constexpr (std::is_invocable_v<Entry, const std::uint8_t*, std::size_t>) {
        entry(data, size);
    } else {
        entry(std::span<const std::uint8_t>(data, size));
    }
}

}  // namespace tarnwick::fuzz
