#include "multiplayer/coordination/wire_fields.h"

namespace tarnwick::coordination {

bool IsTextByte(std::uint8_t byte) {
    if (byte < 0x20 || byte == 0x7F) return false;
    switch (byte) {
        case 0x81:
        case 0x8D:
        case 0x8F:
        case 0x90:
        case 0x9D:
            return false;
        default:
            return true;
    }
}

std::string TextProblem(std::string_view what, std::string_view text, std::size_t maxBytes, bool required) {
    if (required && text.empty()) return std::string(what) + " is empty";
    if (text.size() > maxBytes) {
        return std::string(what) + " is " + std::to_string(text.size()) + " bytes, at most " +
               std::to_string(maxBytes) + " are allowed";
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsTextByte(static_cast<std::uint8_t>(text[i]))) {
            return std::string(what) + " holds the control byte " +
                   std::to_string(static_cast<unsigned char>(text[i])) + " at " + std::to_string(i);
        }
    }
    return {};
}

std::string FitText(std::string_view text, std::size_t maxBytes) {
    std::string fitted;
    for (char c : text.substr(0, maxBytes))
        fitted.push_back(IsTextByte(static_cast<std::uint8_t>(c)) ? c : '?');
    return fitted;
}

std::string ReadText(ByteReader& reader, std::string_view what, std::size_t maxBytes, bool required) {
    const std::uint8_t length = reader.U8();
    const auto bytes = reader.Bytes(length);
    std::string text(bytes.begin(), bytes.end());
    if (std::string problem = TextProblem(what, text, maxBytes, required); !problem.empty()) {
        throw FieldError(problem);
    }
    return text;
}

void WriteText(ByteWriter& writer, std::string_view what, std::string_view text, std::size_t maxBytes,
               bool required) {
    if (std::string problem = TextProblem(what, text, maxBytes, required); !problem.empty()) {
        throw FieldError(problem);
    }
    writer.U8(static_cast<std::uint8_t>(text.size()));
    writer.Raw(text);
}

PlayerKey ReadAircraft(ByteReader& reader) {
    PlayerKey aircraft;
    aircraft.Id = reader.I32();
    aircraft.Name = ReadText(reader, "the aircraft's name", kMaxAircraftNameBytes);
    return aircraft;
}

void WriteAircraft(ByteWriter& writer, const PlayerKey& aircraft) {
    writer.I32(aircraft.Id);
    WriteText(writer, "the aircraft's name", aircraft.Name, kMaxAircraftNameBytes);
}

}  // namespace tarnwick::coordination
