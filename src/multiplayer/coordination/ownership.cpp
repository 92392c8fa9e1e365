#include "multiplayer/coordination/ownership.h"

#include "multiplayer/coordination/controller_roster.h"

namespace tarnwick::coordination {
namespace {

Verdict Apply() { return {VerdictKind::Apply, {}}; }
Verdict Refuse(std::string reason) { return {VerdictKind::Refuse, std::move(reason)}; }
Verdict Wait(std::string reason) { return {VerdictKind::Wait, std::move(reason)}; }

// The checks every message of the owner's passes: it is the sender's, and at
// the version the sender names.
std::optional<Verdict> OwnerCheck(const AircraftRecord& record, std::int32_t sender, std::uint32_t version) {
    if (record.Owner != sender) return Refuse("it is not the sender's");
    if (record.Version != version) {
        return Refuse("it is at version " + std::to_string(record.Version) + ", not " +
                      std::to_string(version));
    }
    return std::nullopt;
}

}  // namespace

bool ClaimUnsettled(const AircraftRecord& record, const RuleContext& context) {
    return record.Owner != 0 && record.ClaimedAt && context.Now - *record.ClaimedAt <= context.TieWindow;
}

Verdict JudgeAssume(const AircraftRecord& record, std::int32_t sender, const MsgAssume& message,
                    const RuleContext& context) {
    if (record.Owner == 0) return Apply();
    if (record.Owner == sender) return message.Held ? Apply() : Refuse("it is the sender's already");
    if (ClaimUnsettled(record, context)) {
        if (message.Held && record.Owner == context.OwnPlayer) return Apply();
        if (LowerPlayerId(sender, record.Owner)) return Apply();
        return Refuse("a controller with a lower player id claimed it at the same time");
    }
    return Wait("another controller owns it");
}

void ApplyAssume(AircraftRecord& record, std::int32_t sender, const MsgAssume& message,
                 const RuleContext& context) {
    const bool takeover = record.Owner != 0 && record.Owner != sender;
    record.Version = message.Version;
    if (record.Owner == sender) return;
    record.Owner = sender;
    record.Offer.reset();
    if (message.Held) {
        record.ClaimedAt.reset();
    } else if (!takeover) {
        record.ClaimedAt = context.Now;
    }
    // A claim that wins a tie keeps the first claim's time: the window is
    // counted from the first claim, whoever wins it.
}

Verdict JudgeRelease(const AircraftRecord& record, std::int32_t sender, const MsgRelease& message) {
    if (record.Owner != sender) return Refuse("it is not the sender's");
    if (record.Offer) return Refuse("it is being handed off");
    if (message.Version != record.Version + 1) {
        return Refuse("version " + std::to_string(message.Version) + " does not follow " +
                      std::to_string(record.Version));
    }
    return Apply();
}

void ApplyRelease(AircraftRecord& record, const MsgRelease& message) {
    record.Owner = 0;
    record.Version = message.Version;
    record.ClaimedAt.reset();
    record.Offer.reset();
}

Verdict JudgeStrip(const AircraftRecord& record, std::int32_t sender, const MsgStrip& message) {
    if (auto refused = OwnerCheck(record, sender, message.Version)) return *refused;
    if (record.Offer) return Refuse("it is being handed off");
    return Apply();
}

void ApplyStrip(AircraftRecord& record, const MsgStrip& message) { record.Strip = message.Fields; }

Verdict JudgeOffer(const AircraftRecord& record, std::int32_t sender, const MsgHandoffOffer& message,
                   const RuleContext& context) {
    if (auto refused = OwnerCheck(record, sender, message.Version)) return *refused;
    if (record.Offer) {
        // The same offer again (a report to a controller that has just arrived).
        if (record.Offer->To == message.To && record.Offer->Version == message.Version) return Apply();
        return Refuse("it is being handed off already");
    }
    if (message.To == sender) return Refuse("it is offered to its own owner");
    if (!context.IsController(message.To)) return Wait("it is offered to a controller not known here");
    return Apply();
}

void ApplyOffer(AircraftRecord& record, const MsgHandoffOffer& message) {
    if (record.Offer) return;
    record.Offer = PendingHandoff{message.To, message.Version, false};
}

Verdict JudgeCancel(const AircraftRecord& record, std::int32_t sender, const MsgHandoffCancel& message) {
    if (auto refused = OwnerCheck(record, sender, message.Version)) return *refused;
    if (!record.Offer || record.Offer->Version != message.Version) return Refuse("no handoff of it stands");
    return Apply();
}

void ApplyCancel(AircraftRecord& record) {
    if (record.Offer) record.Offer->CancelAsked = true;
}

Verdict JudgeAnswer(const AircraftRecord& record, std::int32_t sender, const MsgHandoffAnswer& message) {
    if (record.Owner != 0 && record.Offer && record.Offer->To == sender &&
        record.Offer->Version == message.Version && record.Version == message.Version) {
        return Apply();
    }
    if (record.Owner == sender) return Refuse("it is the sender's already");
    return Wait("no handoff to the sender at version " + std::to_string(message.Version) + " stands here");
}

void ApplyAnswer(AircraftRecord& record, std::int32_t sender, const MsgHandoffAnswer& message) {
    if (message.Accepted) {
        record.Owner = sender;
        record.Version = message.Version + 1;
        record.ClaimedAt.reset();
    }
    record.Offer.reset();
}

}  // namespace tarnwick::coordination
