#pragma once
// One entry for fuzzing everything that reads untrusted DirectPlay bytes: the
// decoders, the TCP reassembler, and a joined client and a running host fed
// the bytes as stream data and as a datagram. libFuzzer's
// LLVMFuzzerTestOneInput can call it as it is.
#include <cstddef>
#include <cstdint>

namespace tarnwick::directplay {

int FuzzDirectPlayMessage(const std::uint8_t* data, std::size_t size);

}  // namespace tarnwick::directplay
