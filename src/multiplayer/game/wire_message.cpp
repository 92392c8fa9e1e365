#include "multiplayer/game/wire_message.h"

namespace tarnwick {

std::string MessageReader::ReadBytes(std::int64_t count) {
    if (count < 0) throw MalformedMessage("a negative byte count");
    Need(static_cast<std::size_t>(count));
    std::string bytes(static_cast<std::size_t>(count), '\0');
    for (char& c : bytes) c = static_cast<char>(reader_.U8());
    return bytes;
}

void MessageReader::ThrowShort(std::size_t count) const {
    throw MalformedMessage("the message ends at byte " + std::to_string(reader_.Offset()) + ", " +
                           std::to_string(count) + " more were needed");
}

}  // namespace tarnwick
