#include "multiplayer/coordination/coordinator.h"

#include <algorithm>
#include <iterator>
#include <type_traits>
#include <utility>

#include "multiplayer/coordination/message_decoder.h"
#include "multiplayer/coordination/wire_fields.h"

namespace tarnwick::coordination {
namespace {

const PlayerKey& AircraftOf(const MsgAssume& m) { return m.Aircraft; }
const PlayerKey& AircraftOf(const MsgRelease& m) { return m.Aircraft; }
const PlayerKey& AircraftOf(const MsgStrip& m) { return m.Aircraft; }
const PlayerKey& AircraftOf(const MsgHandoffOffer& m) { return m.Aircraft; }
const PlayerKey& AircraftOf(const MsgHandoffAnswer& m) { return m.Aircraft; }
const PlayerKey& AircraftOf(const MsgHandoffCancel& m) { return m.Aircraft; }

// What the message is, in a note: "claim", "release" ...
const char* KindWord(const MsgAssume& m) { return m.Held ? "report" : "claim"; }
const char* KindWord(const MsgRelease&) { return "release"; }
const char* KindWord(const MsgStrip&) { return "strip"; }
const char* KindWord(const MsgHandoffOffer&) { return "handoff offer"; }
const char* KindWord(const MsgHandoffAnswer&) { return "handoff answer"; }
const char* KindWord(const MsgHandoffCancel&) { return "handoff withdrawal"; }

Verdict Judge(const AircraftRecord& r, std::int32_t from, const MsgAssume& m, const RuleContext& c) {
    return JudgeAssume(r, from, m, c);
}
Verdict Judge(const AircraftRecord& r, std::int32_t from, const MsgRelease& m, const RuleContext&) {
    return JudgeRelease(r, from, m);
}
Verdict Judge(const AircraftRecord& r, std::int32_t from, const MsgStrip& m, const RuleContext&) {
    return JudgeStrip(r, from, m);
}
Verdict Judge(const AircraftRecord& r, std::int32_t from, const MsgHandoffOffer& m, const RuleContext& c) {
    return JudgeOffer(r, from, m, c);
}
Verdict Judge(const AircraftRecord& r, std::int32_t from, const MsgHandoffAnswer& m, const RuleContext&) {
    return JudgeAnswer(r, from, m);
}
Verdict Judge(const AircraftRecord& r, std::int32_t from, const MsgHandoffCancel& m, const RuleContext&) {
    return JudgeCancel(r, from, m);
}

void Apply(AircraftRecord& r, std::int32_t from, const MsgAssume& m, const RuleContext& c) {
    ApplyAssume(r, from, m, c);
}
void Apply(AircraftRecord& r, std::int32_t, const MsgRelease& m, const RuleContext&) { ApplyRelease(r, m); }
void Apply(AircraftRecord& r, std::int32_t, const MsgStrip& m, const RuleContext&) { ApplyStrip(r, m); }
void Apply(AircraftRecord& r, std::int32_t, const MsgHandoffOffer& m, const RuleContext&) {
    ApplyOffer(r, m);
}
void Apply(AircraftRecord& r, std::int32_t from, const MsgHandoffAnswer& m, const RuleContext&) {
    ApplyAnswer(r, from, m);
}
void Apply(AircraftRecord& r, std::int32_t, const MsgHandoffCancel&, const RuleContext&) { ApplyCancel(r); }

template <typename Message>
const PlayerKey& AircraftOfAny(const Message& message) {
    return std::visit([](const auto& m) -> const PlayerKey& { return AircraftOf(m); }, message);
}

template <typename Message>
const char* KindWordOfAny(const Message& message) {
    return std::visit([](const auto& m) { return KindWord(m); }, message);
}

}  // namespace

Coordinator::Coordinator(const Clock& clock, std::int32_t ownPlayer, const std::string& ownName,
                         const std::string& position, CoordinatorConfig config)
    : clock_(clock),
      config_(config),
      own_(ownPlayer),
      ownName_(FitText(ownName, kMaxNicknameBytes)),
      position_(FitText(position, kMaxPositionBytes)),
      strangerNotes_(config.NotesPerInterval, config.LogInterval) {}

// ---- what the session tells ----

void Coordinator::UpdateRoster(const SessionRoster& roster) {
    playerNames_.clear();
    for (const RosterPlayer& player : roster.Players) playerNames_[player.Id] = player.Name;
    const std::vector<std::int32_t> recognized = RecognizeControllers(roster, own_);
    const std::set<std::int32_t> recognizedSet(recognized.begin(), recognized.end());

    std::vector<std::int32_t> departed;
    for (const auto& [id, controller] : controllers_) {
        if (!recognizedSet.contains(id)) departed.push_back(id);
    }
    for (std::int32_t id : departed) ControllerLeft(id);

    // Pilots whose names a message cannot carry cannot be coordinated.
    std::set<PlayerKey> live;
    for (const RosterPlayer& player : roster.Players) {
        if (player.Id == own_ || recognizedSet.contains(player.Id)) continue;
        if (!TextProblem("", player.Name, kMaxAircraftNameBytes).empty()) continue;
        live.insert({player.Id, player.Name});
    }
    std::vector<PlayerKey> left;
    std::set_difference(pilots_.begin(), pilots_.end(), live.begin(), live.end(), std::back_inserter(left));
    for (const PlayerKey& aircraft : left) PilotLeft(aircraft);
    for (const PlayerKey& aircraft : live) {
        if (pilots_.contains(aircraft)) continue;
        // The same player back: its finished strip makes way for a new one.
        if (bay_.IsFinished(aircraft)) bay_.Remove(aircraft);
        aircraft_.erase(aircraft);
        pilots_.insert(aircraft);
        changed_ = true;
    }

    for (std::int32_t id : recognized) {
        if (!controllers_.contains(id)) ControllerArrived(id);
    }
    for (auto& [id, controller] : controllers_) {
        const auto name = playerNames_.find(id);
        if (name != playerNames_.end() && name->second != controller.Name) {
            controller.Name = name->second;
            changed_ = true;
        }
    }
    RetryHeld();
    Finish({});
}

bool Coordinator::OnMessage(std::int32_t from, std::span<const std::uint8_t> bytes) {
    if (!IsCoordinationMessage(bytes)) return false;
    const auto found = controllers_.find(from);
    if (found == controllers_.end()) {
        Note(nullptr, from,
             "A coordination message from " + Label(from) + ", who is not a controller, skipped.");
        Finish({});
        return true;
    }
    Controller& sender = found->second;
    CoordinationMessage message = DecodeCoordinationMessage(bytes);
    std::visit(
        [&](auto&& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, UnknownFormatVersion>) {
                Note(&sender, from,
                     "A message of format version " + std::to_string(m.Version) + " from " + Label(from) +
                         " skipped: this program reads version " + std::to_string(kFormatVersion) + ".");
            } else if constexpr (std::is_same_v<T, UnknownKind>) {
                Note(&sender, from,
                     "A message of unknown kind " + std::to_string(m.Kind) + " from " + Label(from) +
                         " skipped.");
            } else if constexpr (std::is_same_v<T, MalformedCoordinationMessage>) {
                Note(&sender, from,
                     "A malformed message from " + Label(from) + " skipped: " + m.Reason + ".");
            } else if constexpr (std::is_same_v<T, MsgHello>) {
                OnHello(from, sender, m);
            } else if constexpr (std::is_same_v<T, MsgText>) {
                OnText(from, sender, m);
            } else {
                Receive(from, sender, std::forward<decltype(m)>(m));
            }
        },
        std::move(message));
    Finish({});
    return true;
}

void Coordinator::OnTimer() {
    const Millis now = clock_.Now();
    for (auto& [id, controller] : controllers_) {
        auto& held = controller.Held;
        for (auto it = held.begin(); it != held.end();) {
            if (now - it->Arrived < config_.HoldLimit) {
                ++it;
                continue;
            }
            Note(&controller, id,
                 Label(id) + "'s " + KindWordOfAny(it->Message) + " of " +
                     Describe(AircraftOfAny(it->Message)) + " refused after waiting: " + it->Reason + ".");
            it = held.erase(it);
        }
    }
    RetryHeld();
    Finish({});
}

std::optional<Millis> Coordinator::NextDeadline() const {
    std::optional<Millis> next;
    for (const auto& [id, controller] : controllers_) {
        for (const HeldMessage& held : controller.Held) {
            const Millis due = held.Arrived + config_.HoldLimit;
            if (!next || due < *next) next = due;
        }
    }
    return next;
}

std::vector<Action> Coordinator::TakeActions() { return std::exchange(actions_, {}); }

// ---- the controllers ----

void Coordinator::ControllerArrived(std::int32_t id) {
    const auto name = playerNames_.find(id);
    controllers_.emplace(id, Controller(name != playerNames_.end() ? name->second : std::string(), config_));
    SendState(id, true);
    changed_ = true;
}

void Coordinator::ControllerLeft(std::int32_t id) {
    const std::string label = Label(id);
    std::vector<std::string> freed;
    for (auto& [aircraft, record] : aircraft_) {
        if (record.Finished) continue;
        if (record.Offer && record.Offer->To == id) {
            record.Offer.reset();
            Line("The handoff of " + Describe(aircraft) + " to " + label + " has ended: " + label +
                 " has left.");
        }
        if (record.Owner != id) continue;
        // A handoff accepted before its owner left, whose offer never reached
        // this machine: the answer says who took the aircraft.
        std::optional<std::int32_t> taker;
        for (auto& [otherId, other] : controllers_) {
            if (otherId == id || taker) continue;
            for (auto it = other.Held.begin(); it != other.Held.end(); ++it) {
                const auto* answer = std::get_if<MsgHandoffAnswer>(&it->Message);
                if (answer && answer->Accepted && answer->Aircraft == aircraft &&
                    answer->Version == record.Version) {
                    taker = otherId;
                    other.Held.erase(it);
                    break;
                }
            }
        }
        record.ClaimedAt.reset();
        record.Offer.reset();
        if (taker) {
            record.Owner = *taker;
            ++record.Version;
            Line(Label(*taker) + " accepted " + Describe(aircraft) + " from " + label + ".");
        } else {
            record.Owner = 0;
            freed.push_back(Describe(aircraft));
        }
    }
    controllers_.erase(id);
    std::string line = "Controller " + label + " has left";
    if (!freed.empty()) {
        line += "; ";
        for (std::size_t i = 0; i < freed.size(); ++i) line += (i > 0 ? ", " : "") + freed[i];
        line += freed.size() == 1 ? " is unowned now" : " are unowned now";
    }
    Emit(action::ChatLine{line + "."});
    changed_ = true;
}

void Coordinator::PilotLeft(const PlayerKey& aircraft) {
    pilots_.erase(aircraft);
    if (bay_.Has(aircraft)) {
        for (const PlayerKey& forgotten : bay_.Finish(aircraft)) aircraft_.erase(forgotten);
        AircraftRecord& record = aircraft_[aircraft];
        record.Owner = 0;
        record.ClaimedAt.reset();
        record.Offer.reset();
        record.Finished = true;
    } else {
        aircraft_.erase(aircraft);
    }
    changed_ = true;
}

bool Coordinator::IsController(std::int32_t id) const { return id == own_ || controllers_.contains(id); }

bool Coordinator::IsLivePilot(const PlayerKey& aircraft) const { return pilots_.contains(aircraft); }

void Coordinator::OnHello(std::int32_t from, Controller& sender, const MsgHello& message) {
    const std::string before = Label(from);
    const bool first = !sender.Introduced;
    const bool moved = sender.Position != message.Position;
    sender.Introduced = true;
    sender.Position = message.Position;
    sender.Nickname = message.Nickname;
    if (first) {
        Line("Controller " + Label(from) + (message.Nickname.empty() ? "" : " (" + message.Nickname + ")") +
             " is on.");
    } else if (moved) {
        Line(before + " is " + Label(from) + " now.");
    }
    changed_ = true;
    if (!message.AnswerWanted) return;
    const Millis now = clock_.Now();
    if (sender.LastAnswer && now - *sender.LastAnswer < config_.AnswerInterval) {
        Note(&sender, from, Label(from) + " asked for an answer again so soon; not answered.");
        return;
    }
    sender.LastAnswer = now;
    SendState(from, false);
}

void Coordinator::OnText(std::int32_t from, Controller& sender, const MsgText& message) {
    switch (sender.Texts.Count(clock_.Now())) {
        case RateLimit::Verdict::Allowed:
            Line(Label(from) + ": " + message.Line);
            break;
        case RateLimit::Verdict::JustExceeded:
            Note(&sender, from, "Texts from " + Label(from) + " come too fast; some are left out.");
            break;
        case RateLimit::Verdict::Refused:
            break;
    }
}

// ---- messages about aircraft ----

void Coordinator::Receive(std::int32_t from, Controller& sender, AircraftMessage message) {
    const PlayerKey& aircraft = AircraftOfAny(message);
    const bool behind = std::any_of(sender.Held.begin(), sender.Held.end(), [&](const HeldMessage& held) {
        return AircraftOfAny(held.Message) == aircraft;
    });
    std::string reason = "an earlier message about it waits";
    if (!behind) {
        const Verdict verdict = Try(from, message);
        if (verdict.Kind == VerdictKind::Apply) {
            RetryHeld();
            return;
        }
        if (verdict.Kind == VerdictKind::Refuse) {
            Note(&sender, from,
                 Label(from) + "'s " + KindWordOfAny(message) + " of " + Describe(aircraft) +
                     " refused: " + verdict.Reason + ".");
            return;
        }
        reason = verdict.Reason;
    }
    if (sender.Held.size() >= config_.MaxHeldPerController) {
        Note(&sender, from,
             Label(from) + "'s " + KindWordOfAny(message) + " of " + Describe(aircraft) +
                 " refused: " + std::to_string(sender.Held.size()) + " of its messages wait already.");
        return;
    }
    sender.Held.push_back({clock_.Now(), std::move(message), std::move(reason)});
}

Verdict Coordinator::Try(std::int32_t from, const AircraftMessage& message) {
    const PlayerKey& aircraft = AircraftOfAny(message);
    if (IsController(aircraft.Id)) return {VerdictKind::Refuse, "it names a controller, not an aircraft"};
    if (!IsLivePilot(aircraft)) {
        const auto found = aircraft_.find(aircraft);
        if (found != aircraft_.end() && found->second.Finished) {
            return {VerdictKind::Refuse, "the pilot has left the session"};
        }
        return {VerdictKind::Wait, "the aircraft is not in the session here"};
    }
    const AircraftRecord unknown;
    const auto found = aircraft_.find(aircraft);
    const AircraftRecord& current = found != aircraft_.end() ? found->second : unknown;
    const RuleContext context = Context();
    Verdict verdict = std::visit([&](const auto& m) { return Judge(current, from, m, context); }, message);
    if (verdict.Kind != VerdictKind::Apply) return verdict;
    AircraftRecord* record = Record(aircraft);
    if (record == nullptr) return {VerdictKind::Refuse, "this program keeps no more aircraft"};
    const AircraftRecord before = *record;
    std::visit([&](const auto& m) { Apply(*record, from, m, context); }, message);
    Applied(from, message, before, *record);
    return verdict;
}

void Coordinator::Applied(std::int32_t from, const AircraftMessage& message, const AircraftRecord& before,
                          const AircraftRecord& after) {
    changed_ = true;
    const PlayerKey& aircraft = AircraftOfAny(message);
    const std::string name = Describe(aircraft);
    const std::string sender = Label(from);
    if (const auto* assume = std::get_if<MsgAssume>(&message)) {
        if (before.Owner == from) return;
        if (before.Owner == 0) {
            Line(sender + (assume->Held ? " holds " : " assumed ") + name + ".");
        } else if (assume->Held) {
            Line(name + " is " + sender + "'s: it held " + name + " before this program knew it.");
        } else {
            Line(name + " is " + sender + "'s: " + sender + " and " + Label(before.Owner) +
                 " assumed it at once, and the lower player id takes it.");
        }
    } else if (std::holds_alternative<MsgRelease>(message)) {
        Line(sender + " released " + name + ".");
    } else if (const auto* offer = std::get_if<MsgHandoffOffer>(&message)) {
        if (before.Offer) return;
        Line(offer->To == own_ ? sender + " offers you " + name + "."
                               : sender + " offers " + name + " to " + Label(offer->To) + ".");
    } else if (std::holds_alternative<MsgHandoffCancel>(message)) {
        Line(sender + " withdraws its handoff of " + name + ".");
        if (after.Offer && after.Offer->To == own_) {
            // Withdrawn before this controller answered: the answer is a refusal.
            AircraftRecord& record = aircraft_.at(aircraft);
            Broadcast(Encode(MsgHandoffAnswer{aircraft, record.Offer->Version, false}));
            record.Offer.reset();
            Line(Label(own_) + " refused " + name + ".");
        }
    } else if (const auto* answer = std::get_if<MsgHandoffAnswer>(&message)) {
        Line(answer->Accepted ? sender + " accepted " + name + " from " + Label(before.Owner) + "."
                              : sender + " refused " + name + ".");
    }
}

void Coordinator::RetryHeld() {
    bool progress = true;
    while (progress) {
        progress = false;
        for (auto& [id, controller] : controllers_) {
            std::set<PlayerKey> waiting;
            auto& held = controller.Held;
            for (auto it = held.begin(); it != held.end();) {
                const PlayerKey& aircraft = AircraftOfAny(it->Message);
                if (waiting.contains(aircraft)) {
                    ++it;
                    continue;
                }
                const Verdict verdict = Try(id, it->Message);
                if (verdict.Kind == VerdictKind::Wait) {
                    it->Reason = verdict.Reason;
                    waiting.insert(aircraft);
                    ++it;
                    continue;
                }
                if (verdict.Kind == VerdictKind::Refuse) {
                    Note(&controller, id,
                         Label(id) + "'s " + KindWordOfAny(it->Message) + " of " + Describe(aircraft) +
                             " refused: " + verdict.Reason + ".");
                }
                it = held.erase(it);
                progress = true;
            }
        }
    }
}

AircraftRecord* Coordinator::Record(const PlayerKey& aircraft) {
    const auto found = aircraft_.find(aircraft);
    if (found != aircraft_.end()) return &found->second;
    if (aircraft_.size() >= config_.MaxAircraft) return nullptr;
    return &aircraft_[aircraft];
}

// ---- the controller's commands ----

CommandResult Coordinator::Finish(CommandResult result) {
    if (changed_) Emit(action::StateChanged{});
    changed_ = false;
    return result;
}

std::variant<AircraftRecord*, CommandResult> Coordinator::CommandRecord(const PlayerKey& aircraft) {
    if (IsController(aircraft.Id)) return Refused(Label(aircraft.Id) + " is a controller, not an aircraft.");
    if (!IsLivePilot(aircraft)) return Refused(Describe(aircraft) + " is not in the session.");
    AircraftRecord* record = Record(aircraft);
    if (record == nullptr) return Refused("This program keeps no more aircraft.");
    return record;
}

CommandResult Coordinator::SetPosition(const std::string& position) {
    if (std::string problem = TextProblem("The position", position, kMaxPositionBytes); !problem.empty()) {
        return Refused(problem + ".");
    }
    if (position == position_) return {};
    const std::string before = Label(own_);
    position_ = position;
    Broadcast(Encode(MsgHello{position_, ownName_, false}));
    Line(before + " is " + Label(own_) + " now.");
    changed_ = true;
    return Finish({});
}

CommandResult Coordinator::Assume(const PlayerKey& aircraft) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (record.Owner == own_) return Refused(Describe(aircraft) + " is yours already.");
    if (record.Owner != 0) return Refused(Describe(aircraft) + " is " + Label(record.Owner) + "'s.");
    record.Owner = own_;
    ++record.Version;
    record.ClaimedAt = clock_.Now();
    record.Offer.reset();
    Broadcast(Encode(MsgAssume{aircraft, record.Version, false}));
    Broadcast(Encode(MsgStrip{aircraft, record.Version, record.Strip}));
    bay_.Add(aircraft);
    Line(Label(own_) + " assumed " + Describe(aircraft) + ".");
    changed_ = true;
    RetryHeld();
    return Finish({});
}

CommandResult Coordinator::Release(const PlayerKey& aircraft) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (record.Owner != own_) return Refused(Describe(aircraft) + " is not yours.");
    if (record.Offer)
        return Refused(Describe(aircraft) + " is being handed off; withdraw the handoff first.");
    if (ClaimUnsettled(record, Context())) {
        return Refused(Describe(aircraft) + " was assumed a moment ago; release it in a few seconds.");
    }
    ++record.Version;
    record.Owner = 0;
    record.ClaimedAt.reset();
    Broadcast(Encode(MsgRelease{aircraft, record.Version}));
    Line(Label(own_) + " released " + Describe(aircraft) + ".");
    changed_ = true;
    RetryHeld();
    return Finish({});
}

CommandResult Coordinator::HandOff(const PlayerKey& aircraft, std::int32_t toController) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (record.Owner != own_) return Refused(Describe(aircraft) + " is not yours.");
    if (!controllers_.contains(toController))
        return Refused("No other controller has player id " + std::to_string(toController) + ".");
    if (record.Offer) {
        return Refused(Describe(aircraft) + " is being handed off to " + Label(record.Offer->To) +
                       " already.");
    }
    if (ClaimUnsettled(record, Context())) {
        return Refused(Describe(aircraft) + " was assumed a moment ago; hand it off in a few seconds.");
    }
    record.Offer = PendingHandoff{toController, record.Version, false};
    Broadcast(Encode(MsgHandoffOffer{aircraft, record.Version, toController}));
    Line(Label(own_) + " offers " + Describe(aircraft) + " to " + Label(toController) + ".");
    changed_ = true;
    return Finish({});
}

CommandResult Coordinator::Accept(const PlayerKey& aircraft) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (!record.Offer || record.Offer->To != own_)
        return Refused("No handoff of " + Describe(aircraft) + " to you stands.");
    const std::int32_t from = record.Owner;
    Broadcast(Encode(MsgHandoffAnswer{aircraft, record.Version, true}));
    record.Owner = own_;
    ++record.Version;
    record.ClaimedAt.reset();
    record.Offer.reset();
    bay_.Add(aircraft);
    Line(Label(own_) + " accepted " + Describe(aircraft) + " from " + Label(from) + ".");
    changed_ = true;
    RetryHeld();
    return Finish({});
}

CommandResult Coordinator::Refuse(const PlayerKey& aircraft) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (!record.Offer || record.Offer->To != own_)
        return Refused("No handoff of " + Describe(aircraft) + " to you stands.");
    Broadcast(Encode(MsgHandoffAnswer{aircraft, record.Version, false}));
    record.Offer.reset();
    Line(Label(own_) + " refused " + Describe(aircraft) + ".");
    changed_ = true;
    RetryHeld();
    return Finish({});
}

CommandResult Coordinator::CancelHandoff(const PlayerKey& aircraft) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (record.Owner != own_ || !record.Offer)
        return Refused("You are handing off no " + Describe(aircraft) + ".");
    if (record.Offer->CancelAsked) {
        return Refused("The handoff of " + Describe(aircraft) + " is being withdrawn already; " +
                       Label(record.Offer->To) + " answers.");
    }
    // The offer ends with the offered controller's answer, whose program
    // refuses a withdrawn offer unless it was accepted first: one answer
    // settles it the same on every machine.
    record.Offer->CancelAsked = true;
    Broadcast(Encode(MsgHandoffCancel{aircraft, record.Version}));
    Line(Label(own_) + " withdraws its handoff of " + Describe(aircraft) + ".");
    changed_ = true;
    return Finish({});
}

CommandResult Coordinator::EditStrip(const PlayerKey& aircraft, const StripFields& fields) {
    if (std::string problem = StripProblem(fields); !problem.empty()) return Refused(problem + ".");
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    AircraftRecord& record = *std::get<AircraftRecord*>(found);
    if (record.Owner != 0 && record.Owner != own_) {
        return Refused(Describe(aircraft) + " is " + Label(record.Owner) +
                       "'s; only its owner changes its strip.");
    }
    if (record.Owner == own_ && record.Offer) {
        return Refused(Describe(aircraft) + " is being handed off; its strip changes after the answer.");
    }
    if (!bay_.Has(aircraft) && !bay_.Add(aircraft)) return Refused("The strip bay is full.");
    if (record.Strip != fields) {
        record.Strip = fields;
        if (record.Owner == own_) Broadcast(Encode(MsgStrip{aircraft, record.Version, fields}));
    }
    changed_ = true;
    return Finish({});
}

CommandResult Coordinator::SetStripField(const PlayerKey& aircraft, StripField field,
                                         std::string_view value) {
    const AircraftRecord* record = FindAircraft(aircraft);
    StripFields fields = record != nullptr ? record->Strip : StripFields{};
    if (std::string problem = coordination::SetStripField(fields, field, value); !problem.empty()) {
        return Refused(problem + ".");
    }
    return EditStrip(aircraft, fields);
}

CommandResult Coordinator::Say(const std::string& line) {
    if (std::string problem = TextProblem("The line", line, kMaxTextLineBytes, true); !problem.empty()) {
        return Refused(problem + ".");
    }
    Broadcast(Encode(MsgText{line}));
    Line(Label(own_) + ": " + line);
    return Finish({});
}

CommandResult Coordinator::AddStrip(const PlayerKey& aircraft) {
    auto found = CommandRecord(aircraft);
    if (auto* refused = std::get_if<CommandResult>(&found)) return *refused;
    if (bay_.Has(aircraft)) return {};
    if (!bay_.Add(aircraft)) return Refused("The strip bay is full.");
    changed_ = true;
    return Finish({});
}

CommandResult Coordinator::RemoveStrip(const PlayerKey& aircraft) {
    const bool finished = bay_.IsFinished(aircraft);
    if (!bay_.Remove(aircraft)) return Refused("No strip of " + Describe(aircraft) + " is in the bay.");
    if (finished) aircraft_.erase(aircraft);
    changed_ = true;
    return Finish({});
}

CommandResult Coordinator::MoveStrip(const PlayerKey& aircraft, std::size_t index) {
    if (!bay_.Move(aircraft, index)) return Refused("No strip of " + Describe(aircraft) + " is in the bay.");
    changed_ = true;
    return Finish({});
}

// ---- what the windows and tools read ----

std::vector<ControllerInfo> Coordinator::Controllers() const {
    std::map<std::int32_t, int> owned;
    for (const auto& [aircraft, record] : aircraft_) {
        if (!record.Finished && record.Owner != 0) ++owned[record.Owner];
    }
    std::vector<ControllerInfo> list;
    list.push_back({own_, ownName_, position_, ownName_, owned[own_], true});
    std::vector<std::int32_t> ids;
    for (const auto& [id, controller] : controllers_) ids.push_back(id);
    std::sort(ids.begin(), ids.end(), LowerPlayerId);
    for (std::int32_t id : ids) {
        const Controller& controller = controllers_.at(id);
        list.push_back({id, controller.Name, controller.Position, controller.Nickname, owned[id], false});
    }
    return list;
}

std::optional<ControllerInfo> Coordinator::FindController(std::int32_t playerId) const {
    for (ControllerInfo& info : Controllers()) {
        if (info.PlayerId == playerId) return std::move(info);
    }
    return std::nullopt;
}

std::optional<std::int32_t> Coordinator::ControllerAtPosition(std::string_view position) const {
    std::optional<std::int32_t> match;
    int count = 0;
    for (const ControllerInfo& info : Controllers()) {
        if (info.Position == position) {
            match = info.PlayerId;
            ++count;
        }
    }
    return count == 1 ? match : std::nullopt;
}

std::string Coordinator::Label(std::int32_t playerId) const {
    if (playerId == own_ && !position_.empty()) return position_;
    if (playerId == own_ && !ownName_.empty()) return ownName_;
    if (const auto found = controllers_.find(playerId); found != controllers_.end()) {
        if (!found->second.Position.empty()) return found->second.Position;
        if (!found->second.Name.empty()) return found->second.Name;
    }
    if (const auto name = playerNames_.find(playerId); name != playerNames_.end() && !name->second.empty()) {
        return name->second;
    }
    return "player " + std::to_string(playerId);
}

const AircraftRecord* Coordinator::FindAircraft(const PlayerKey& aircraft) const {
    const auto found = aircraft_.find(aircraft);
    return found != aircraft_.end() ? &found->second : nullptr;
}

std::size_t Coordinator::HeldMessages() const {
    std::size_t count = 0;
    for (const auto& [id, controller] : controllers_) count += controller.Held.size();
    return count;
}

// ---- helpers ----

RuleContext Coordinator::Context() const {
    return {own_, clock_.Now(), config_.TieWindow, [this](std::int32_t id) { return IsController(id); }};
}

void Coordinator::Note(Controller* source, std::int32_t sourceId, const std::string& text) {
    RateLimit& limit = source != nullptr ? source->Notes : strangerNotes_;
    switch (limit.Count(clock_.Now())) {
        case RateLimit::Verdict::Allowed:
            Emit(action::Note{text});
            break;
        case RateLimit::Verdict::JustExceeded:
            Emit(action::Note{source != nullptr ? "Further notes about messages from " + Label(sourceId) +
                                                      " are left out for a while."
                                                : "Further notes about messages from players who are not "
                                                  "controllers are left out for a while."});
            break;
        case RateLimit::Verdict::Refused:
            break;
    }
}

void Coordinator::Line(const std::string& text) { Emit(action::ControllerLine{text}); }

void Coordinator::Send(std::int32_t to, MessageBytes bytes) { Emit(action::Send{to, std::move(bytes)}); }

void Coordinator::Broadcast(const MessageBytes& bytes) {
    for (const auto& [id, controller] : controllers_) Send(id, bytes);
}

void Coordinator::SendState(std::int32_t to, bool answerWanted) {
    Send(to, Encode(MsgHello{position_, ownName_, answerWanted}));
    for (const auto& [aircraft, record] : aircraft_) {
        if (record.Finished || record.Owner != own_) continue;
        Send(to, Encode(MsgAssume{aircraft, record.Version, true}));
        Send(to, Encode(MsgStrip{aircraft, record.Version, record.Strip}));
        if (record.Offer) {
            Send(to, Encode(MsgHandoffOffer{aircraft, record.Version, record.Offer->To}));
            if (record.Offer->CancelAsked) Send(to, Encode(MsgHandoffCancel{aircraft, record.Version}));
        }
    }
}

std::string Coordinator::Describe(const PlayerKey& aircraft) const {
    return aircraft.Name.empty() ? "player " + std::to_string(aircraft.Id) : aircraft.Name;
}

}  // namespace tarnwick::coordination
