#include "multiplayer/fuzzing/coordination_fuzzing.h"

#include <array>
#include <string>
#include <vector>

#include "multiplayer/coordination/coordinator.h"
#include "multiplayer/coordination/message_decoder.h"
#include "multiplayer/fuzzing/fuzz_invariant.h"

namespace tarnwick {
namespace {

using namespace coordination;

class FuzzClock : public Clock {
   public:
    Millis Now() const override { return now; }
    Millis now{1000000};
};

constexpr std::int32_t kOwn = 100;
// Two controllers, the second with the lowest id (as unsigned), and a pilot.
constexpr std::array<std::int32_t, 4> kSenders = {200, 5, 300, 400};
const PlayerKey kHeld{301, "HELD"};
const std::array<PlayerKey, 4> kPilots = {PlayerKey{302, "N1"}, PlayerKey{303, "N2"}, PlayerKey{400, "P400"},
                                          PlayerKey{304, "N4"}};

SessionRoster Roster() {
    SessionRoster roster;
    roster.Players = {{kOwn, "Own", 1}, {200, "Alpha", 2}, {5, "Bravo", 3}};
    for (const PlayerKey& pilot : kPilots) roster.Players.push_back({pilot.Id, pilot.Name, pilot.Id + 1000});
    roster.Players.push_back({kHeld.Id, kHeld.Name, 9});
    for (std::int32_t id : {kOwn, 200, 5}) {
        const std::int32_t machine = id == kOwn ? 1 : id == 200 ? 2 : 3;
        roster.Groups.push_back({id + 50000, std::string(kControllerGroupName), machine, {id}});
    }
    return roster;
}

// The kind's fields behind a sound header of version 1.
std::vector<std::uint8_t> Wrapped(std::uint8_t kind, std::span<const std::uint8_t> fields) {
    std::vector<std::uint8_t> bytes = {'T', 'N', 'W', 'K'};
    const auto length = static_cast<std::uint32_t>(fields.size() + 2);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    bytes.push_back(kFormatVersion);
    bytes.push_back(kind);
    bytes.insert(bytes.end(), fields.begin(), fields.end());
    return bytes;
}

void RequireRoundTrip(std::span<const std::uint8_t> bytes) {
    const std::optional<MessageBytes> once = EncodeAgain(DecodeCoordinationMessage(bytes));
    if (!once) return;
    fuzz::Require(once->size() <= kMaxMessageBytes, "an encoded coordination message is within the bound");
    fuzz::Require(EncodeAgain(DecodeCoordinationMessage(*once)) == once,
                  "a coordination message decodes, encodes, decodes the same");
}

void RunCommand(Coordinator& core, std::span<const std::uint8_t> bytes) {
    const std::uint8_t which = bytes.empty() ? 0 : bytes[0];
    // Never the held aircraft: its owner gives it up only by its own choice.
    const PlayerKey& aircraft = kPilots[(bytes.size() > 1 ? bytes[1] : 0) % kPilots.size()];
    const std::string text(bytes.begin() + std::min<std::size_t>(2, bytes.size()), bytes.end());
    switch (which % 10) {
        case 0:
            (void)core.Assume(aircraft);
            break;
        case 1:
            (void)core.Release(aircraft);
            break;
        case 2:
            (void)core.HandOff(aircraft, kSenders[which / 10 % 3]);
            break;
        case 3:
            (void)core.Accept(aircraft);
            break;
        case 4:
            (void)core.Refuse(aircraft);
            break;
        case 5:
            (void)core.CancelHandoff(aircraft);
            break;
        case 6:
            (void)core.SetStripField(aircraft, kStripFields[which / 10 % kStripFields.size()], text);
            break;
        case 7:
            (void)core.Say(text);
            break;
        case 8:
            (void)core.SetPosition(text);
            break;
        default:
            (void)core.MoveStrip(aircraft, which / 10);
            break;
    }
}

void CheckState(const Coordinator& core, const AircraftRecord& heldBefore) {
    std::size_t controllers = 0;
    for (const ControllerInfo& info : core.Controllers()) {
        ++controllers;
        fuzz::Require(info.PlayerId == kOwn || info.PlayerId == 200 || info.PlayerId == 5,
                      "only players in a controllers' group of their own machine are controllers");
    }
    const auto known = [&](std::int32_t id) { return core.FindController(id).has_value(); };
    for (const auto& [aircraft, record] : core.Aircraft()) {
        fuzz::Require(record.Owner == 0 || known(record.Owner), "every owner is a known controller");
        fuzz::Require(!record.Offer || (record.Owner != 0 && known(record.Offer->To)),
                      "every standing handoff is of an owned aircraft to a known controller");
        fuzz::Require(!record.Finished || record.Owner == 0, "a pilot that left is no one's");
    }
    fuzz::Require(core.Aircraft().size() <= kPilots.size() + 1 + core.Bay().Finished().size(),
                  "aircraft records only for the session's pilots and the finished strips");
    fuzz::Require(core.HeldMessages() <= CoordinatorConfig{}.MaxHeldPerController * (controllers - 1),
                  "the messages waiting stay within their bound");
    const AircraftRecord* held = core.FindAircraft(kHeld);
    fuzz::Require(held != nullptr && held->Owner == kOwn && held->Version == heldBefore.Version &&
                      held->Strip == heldBefore.Strip && !held->Offer,
                  "no peer takes, frees, offers or edits the aircraft this controller holds");
}

void CheckActions(Coordinator& core) {
    for (const Action& action : core.TakeActions()) {
        if (const auto* send = std::get_if<action::Send>(&action)) {
            fuzz::Require(send->To == 200 || send->To == 5, "messages go only to controllers");
            fuzz::Require(send->Bytes.size() <= kMaxMessageBytes, "messages stay within the bound");
            fuzz::Require(
                !std::holds_alternative<MalformedCoordinationMessage>(DecodeCoordinationMessage(send->Bytes)),
                "what the controller sends reads");
        }
    }
}

}  // namespace

void FuzzCoordination(std::span<const std::uint8_t> data) {
    FuzzClock clock;
    Coordinator core(clock, kOwn, "Own", "KSEA_TWR");
    core.UpdateRoster(Roster());
    (void)core.SetStripField(kHeld, StripField::Scratchpad, "ILS16R");
    (void)core.Assume(kHeld);
    clock.now += Millis{6000};
    const AircraftRecord heldBefore = *core.FindAircraft(kHeld);
    CheckActions(core);

    std::size_t at = 0;
    while (at < data.size()) {
        const std::uint8_t selector = data[at++];
        std::size_t length = 0;
        for (int i = 0; i < 2 && at < data.size(); ++i) length |= std::size_t{data[at++]} << (8 * i);
        length = std::min(length, data.size() - at);
        const std::span<const std::uint8_t> record = data.subspan(at, length);
        at += length;

        if (selector & 0x80) {
            RunCommand(core, record);
        } else {
            const std::vector<std::uint8_t> message =
                (selector & 0x04) ? std::vector<std::uint8_t>(record.begin(), record.end())
                                  : Wrapped(static_cast<std::uint8_t>(((selector >> 3) & 7) + 1), record);
            RequireRoundTrip(message);
            const bool taken = core.OnMessage(kSenders[selector & 3], message);
            fuzz::Require(taken == IsCoordinationMessage(message),
                          "coordination messages are taken, others left");
        }
        if (selector & 0x40) {
            clock.now += Millis{1000};
            core.OnTimer();
        }
        CheckActions(core);
        CheckState(core, heldBefore);
    }
    clock.now += CoordinatorConfig{}.HoldLimit;
    core.OnTimer();
    CheckActions(core);
    fuzz::Require(core.HeldMessages() == 0 && !core.NextDeadline(), "nothing waits beyond the hold limit");
    CheckState(core, heldBefore);
}

}  // namespace tarnwick
