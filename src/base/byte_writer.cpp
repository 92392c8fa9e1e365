#include "base/byte_writer.h"

#include <bit>
#include <stdexcept>

namespace tarnwick {

void ByteWriter::F64(double value) { Unsigned(std::bit_cast<std::uint64_t>(value), 8); }

void ByteWriter::Text(std::string_view ansi) {
    if (ansi.size() > kMaxTextBytes) throw std::length_error("text longer than 65535 bytes cannot be stored");
    U16(static_cast<std::uint16_t>(ansi.size()));
    Raw(ansi);
}

}  // namespace tarnwick
