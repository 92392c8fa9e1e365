#pragma once
// Who owns an aircraft, and which controller's message may change that. Each
// aircraft is unowned or owned by one controller; its version counts the
// owner's steps, and every message about it names the version the sender
// had, so that a message meant for another state is never applied to this
// one. These rules judge a message from a known controller against one
// machine's record: apply it, refuse it, or wait, because what makes it
// valid (a release, an offer, a controller) may still be on its way from
// another machine.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "multiplayer/coordination/actions.h"
#include "multiplayer/coordination/messages.h"

namespace tarnwick::coordination {

struct PendingHandoff {
    std::int32_t To = 0;  // the offered controller
    std::uint32_t Version = 0;
    // The owner has asked to withdraw it; the offered controller answers.
    bool CancelAsked = false;
    friend bool operator==(const PendingHandoff&, const PendingHandoff&) = default;
};

struct AircraftRecord {
    std::int32_t Owner = 0;  // a controller's player id; 0 when unowned
    std::uint32_t Version = 0;
    // When this machine saw the owner's claim, while another claim made at
    // the same time may still take it (see JudgeAssume); unset once the
    // aircraft came by a handoff or a report.
    std::optional<Millis> ClaimedAt;
    std::optional<PendingHandoff> Offer;
    StripFields Strip;
    // The pilot has left the session; the strip stays in the bay's finished part.
    bool Finished = false;
};

enum class VerdictKind { Apply, Refuse, Wait };

struct Verdict {
    VerdictKind Kind = VerdictKind::Apply;
    std::string Reason;  // why it is refused or waits, e.g. "it is being handed off"
};

struct RuleContext {
    std::int32_t OwnPlayer = 0;
    Millis Now{0};
    // Claims seen within this time of each other are simultaneous.
    Millis TieWindow{0};
    // A controller this machine knows, itself included.
    std::function<bool(std::int32_t)> IsController;
};

// A claim counts on an unowned aircraft. Two claims made at once settle the
// same way on every machine, whatever order they arrive in: within TieWindow
// of the first claim seen, the claimant with the lower player id (as an
// unsigned number) takes the aircraft, and a later claim is refused, so that
// a "simultaneous" claim forged after the fact cannot take it. A report of an
// aircraft held (MsgAssume::Held) takes this machine's own claim made within
// the window: the program claimed what it had not yet heard was another's.
// A claim on an aircraft owned for longer waits for its release.
Verdict JudgeAssume(const AircraftRecord& record, std::int32_t sender, const MsgAssume& message,
                    const RuleContext& context);
void ApplyAssume(AircraftRecord& record, std::int32_t sender, const MsgAssume& message,
                 const RuleContext& context);

// Release, strip, offer and cancel count only from the owner, at its version,
// and (but for a cancel) while no handoff stands.
Verdict JudgeRelease(const AircraftRecord& record, std::int32_t sender, const MsgRelease& message);
void ApplyRelease(AircraftRecord& record, const MsgRelease& message);

Verdict JudgeStrip(const AircraftRecord& record, std::int32_t sender, const MsgStrip& message);
void ApplyStrip(AircraftRecord& record, const MsgStrip& message);

Verdict JudgeOffer(const AircraftRecord& record, std::int32_t sender, const MsgHandoffOffer& message,
                   const RuleContext& context);
void ApplyOffer(AircraftRecord& record, const MsgHandoffOffer& message);

Verdict JudgeCancel(const AircraftRecord& record, std::int32_t sender, const MsgHandoffCancel& message);
void ApplyCancel(AircraftRecord& record);

// An answer counts only from the offered controller, to the offer standing
// at its version; one that arrives before the offer waits for it.
Verdict JudgeAnswer(const AircraftRecord& record, std::int32_t sender, const MsgHandoffAnswer& message);
void ApplyAnswer(AircraftRecord& record, std::int32_t sender, const MsgHandoffAnswer& message);

// Whether the owner's own claim may still be contested: within the window it
// neither releases nor hands off, so that every machine settles a tie on the
// same state.
bool ClaimUnsettled(const AircraftRecord& record, const RuleContext& context);

}  // namespace tarnwick::coordination
