#pragma once
// One player or group of a session as the session's enumerations list it.
#include <cstdint>
#include <string>

namespace tarnwick {

struct SessionMember {
    std::string ShortName;  // Windows-1252 bytes
    std::int32_t Id = 0;
};

}  // namespace tarnwick
