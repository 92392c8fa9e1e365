#pragma once
// An entry for fuzzing the capture reader: the bytes after the first follow a
// pcap file header of the link type the first byte picks, so that the fuzzer
// works on the packets rather than on the file's magic. It returns for every
// input and checks that what it read writes as a recording that reads back
// whole; a crash, a sanitizer report or an abort is a fault.
#include <cstdint>
#include <span>

namespace tarnwick {

void FuzzCaptureReader(std::span<const std::uint8_t> data);

}  // namespace tarnwick
