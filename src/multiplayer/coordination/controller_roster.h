#pragma once
// Which players of the session are Tarnwick controllers. Each Tarnwick makes
// one DirectPlay group of its own named kControllerGroupName and puts its
// player in it; a player is a controller when it belongs to such a group made
// by its own machine. Groups are part of every DirectPlay machine's name
// table, FS2002's included (it keeps groups of its own and finds them by
// name), so nothing but standard system messages reaches an FS2002 machine,
// and a group that goes with its machine takes the controller with it. The
// machine check keeps a player out that another program put into a group it
// made itself.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::coordination {

inline constexpr std::string_view kControllerGroupName = "Tarnwick ATC";

// More are left out (the lowest player ids, as unsigned numbers, are kept), so
// that a session full of would-be controllers cannot make the program keep
// more than this many.
inline constexpr std::size_t kMaxControllers = 32;

// The session as the DirectPlay name table has it: its visible players and
// its groups. A machine is named by its system player's id.
struct RosterPlayer {
    std::int32_t Id = 0;
    std::string Name;  // the friendly name, Windows-1252
    std::int32_t Machine = 0;
};

struct RosterGroup {
    std::int32_t Id = 0;
    std::string ShortName;     // Windows-1252
    std::int32_t Machine = 0;  // the machine that made it
    std::vector<std::int32_t> Members;
};

struct SessionRoster {
    std::vector<RosterPlayer> Players;
    std::vector<RosterGroup> Groups;
};

// The player ids of the controllers in the session other than `ownPlayer`,
// ascending as unsigned numbers, at most kMaxControllers.
std::vector<std::int32_t> RecognizeControllers(const SessionRoster& roster, std::int32_t ownPlayer);

// Player ids compare as the unsigned 32-bit numbers DirectPlay hands out.
inline bool LowerPlayerId(std::int32_t a, std::int32_t b) {
    return static_cast<std::uint32_t>(a) < static_cast<std::uint32_t>(b);
}

}  // namespace tarnwick::coordination
