#pragma once
// The fields coordination messages are built from, each with its one reading
// and writing: bounded texts and the naming of an aircraft. A text is a u8
// length and that many Windows-1252 bytes, none of them a control character:
// what a controller's peer sends ends up in logs and on strips, where a line
// break or an escape could pass for something the program wrote itself.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "state/traffic_table.h"

namespace tarnwick::coordination {

// A field that breaks its rules: too long, a forbidden byte, a value out of
// range. The decoder turns it into a malformed message; the encoder throws it
// for fields the program should have checked before.
class FieldError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// The bounds of every text field, in bytes.
inline constexpr std::size_t kMaxPositionBytes = 16;
inline constexpr std::size_t kMaxNicknameBytes = 32;
inline constexpr std::size_t kMaxAircraftNameBytes = 64;
inline constexpr std::size_t kMaxScratchpadBytes = 16;
inline constexpr std::size_t kMaxRouteBytes = 128;
inline constexpr std::size_t kMaxRemarksBytes = 128;
inline constexpr std::size_t kMaxTextLineBytes = 255;

// A byte a coordination text may hold: printable ASCII, and the Windows-1252
// characters above 0x7F, leaving out the five bytes that code page leaves
// undefined (they stand for control characters).
bool IsTextByte(std::uint8_t byte);

// Empty when `text` may go out as a field named `what` of at most `maxBytes`
// bytes (and at least one when `required`); otherwise why not, in a sentence
// part such as "the scratchpad is 20 bytes, at most 16 are allowed".
std::string TextProblem(std::string_view what, std::string_view text, std::size_t maxBytes,
                        bool required = false);

// A text made fit to go out: forbidden bytes become "?", and it ends at
// `maxBytes`. For texts the program takes from elsewhere, such as its
// player's friendly name.
std::string FitText(std::string_view text, std::size_t maxBytes);

// Reads a text field; FieldError when it breaks its bounds, EndOfData when the
// bytes end first.
std::string ReadText(ByteReader& reader, std::string_view what, std::size_t maxBytes, bool required = false);
// Writes one; FieldError for a text the decoder would refuse.
void WriteText(ByteWriter& writer, std::string_view what, std::string_view text, std::size_t maxBytes,
               bool required = false);

// An aircraft as the traffic table keys it: its player id and its name.
PlayerKey ReadAircraft(ByteReader& reader);
void WriteAircraft(ByteWriter& writer, const PlayerKey& aircraft);

}  // namespace tarnwick::coordination
